// One window of a config, the main section's weekly window or an entry of "Schedules": who it is,
// when it is open, what it writes and what it shows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "plugin/config/Calendar.h"
#include "plugin/config/WeekendValues.h"
#include "plugin/host/Clock.h"
#include "plugin/host/Colors.h"
#include "plugin/host/FString.h"

namespace qv {

// A window's name is shown to players and written in the log: short, and printable.
inline constexpr std::size_t kLongestWindowName = 64;

// A window as the plug-in remembers it between evaluations and across reloads, which may reorder
// or remove the schedules: the main section's weekly window, or the schedule of a name.
class WindowId {
public:
    // The weekly window.
    WindowId() = default;
    static WindowId Weekly() { return WindowId(); }
    static WindowId Schedule(std::string name) { return WindowId(std::move(name)); }

    bool IsWeekly() const { return weekly_; }
    // The schedule's name as written (UTF-8); empty for the weekly window.
    const std::string& ScheduleName() const { return name_; }
    // For players and the log: "Weekend" for the weekly window, the schedule's name otherwise.
    std::string_view DisplayName() const;

    friend bool operator==(const WindowId& a, const WindowId& b)
    {
        return a.weekly_ == b.weekly_ && a.name_ == b.name_;
    }
    friend bool operator!=(const WindowId& a, const WindowId& b) { return !(a == b); }

private:
    explicit WindowId(std::string name) : weekly_(false), name_(std::move(name)) {}

    bool weekly_ = true;
    std::string name_;
};

// The main section's window: from StartDay at StartTime up to EndDay at EndTime, every week.
struct WeekdayRule {
    std::int32_t StartDay = 0;
    std::int32_t StartMinute = 0;
    std::int32_t EndDay = 0;
    std::int32_t EndMinute = 0;
};
// A weekly schedule: open on each day of Days from From, for the length up to Until (past midnight
// when Until is at or before From).
struct WeeklyHours {
    std::uint8_t Days = 0; // bit d for weekday d (0 = Sunday)
    std::int32_t From = 0; // minutes after midnight
    std::int32_t Until = 0;
};
// A dated schedule: open from Start up to End.
struct DatedSpan {
    WallSeconds Start = 0;
    WallSeconds End = 0;
};
using WindowTimes = std::variant<WeekdayRule, WeeklyHours, DatedSpan>;

struct Window {
    WindowId Id;
    WindowTimes Times;
    WindowRates Rates;
    // A schedule's own texts and colours; absent ones are the main section's.
    std::optional<FString> EnabledMessage;
    std::optional<FString> DisabledMessage;
    std::optional<FString> WeekendMOTD;
    std::optional<MessageColor> EnabledColor;
    std::optional<MessageColor> DisabledColor;
    // A schedule's own choices for its rates, as written: whether its values multiply the normal
    // ones (absent: as the main section's do), and whether it takes the main section's values for
    // the multipliers it does not set (absent: it does).
    std::optional<bool> RelativeRates;
    std::optional<bool> InheritRates;
};

bool IsOpen(const Window& window, const LocalTime& now);

} // namespace qv
