// One window of a config, the main section's weekly window or an entry of "Schedules": who it is,
// when it is open, what it writes and what it shows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "plugin/config/WeekendValues.h"
#include "plugin/host/Clock.h"
#include "plugin/host/Colors.h"
#include "plugin/host/FString.h"
#include "plugin/schedule/WindowTimes.h"

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
    // A schedule's own welcome for players who join while it is in force; empty: none for it.
    std::optional<FString> JoinMessage;
    // A schedule's own choices for its rates, as written: whether its values multiply the normal
    // ones (absent: as the main section's do), and whether it takes the main section's values for
    // the multipliers it does not set (absent: it does).
    std::optional<bool> RelativeRates;
    std::optional<bool> InheritRates;
};

} // namespace qv
