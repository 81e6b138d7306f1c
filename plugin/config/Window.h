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
// What the weekly window is called when the main section gives it no "Name".
inline constexpr std::string_view kWeeklyWindowName = "Weekend";

// A window as the plug-in remembers it between evaluations and across reloads, which may reorder
// or remove the schedules: the main section's weekly window, or the schedule of a name. The weekly
// window is one window whatever the main section calls it; its name is only what it is shown as.
class WindowId {
public:
    // The weekly window.
    WindowId() = default;
    // The weekly window, shown as name; "Weekend" when the name is empty.
    static WindowId Weekly(std::string name = {}) { return WindowId(true, std::move(name)); }
    static WindowId Schedule(std::string name) { return WindowId(false, std::move(name)); }

    bool IsWeekly() const { return weekly_; }
    // The schedule's name as written (UTF-8); empty for the weekly window.
    const std::string& ScheduleName() const { return weekly_ ? kNone : name_; }
    // For players and the log, the one place a window's name is made: the schedule's name, the
    // main section's "Name" for the weekly window, or "Weekend" when it has none.
    std::string_view DisplayName() const;
    // The weekly window under a name of the main section's other than "Weekend".
    bool RenamedWeekly() const { return weekly_ && !name_.empty() && name_ != kWeeklyWindowName; }

    friend bool operator==(const WindowId& a, const WindowId& b)
    {
        return a.weekly_ == b.weekly_ && (a.weekly_ || a.name_ == b.name_);
    }
    friend bool operator!=(const WindowId& a, const WindowId& b) { return !(a == b); }

private:
    WindowId(bool weekly, std::string name) : weekly_(weekly), name_(std::move(name)) {}

    static inline const std::string kNone;
    bool weekly_ = true;
    std::string name_;
};

// Which window is in force where several are open: the one of the higher "Priority"; among equal
// ones, the schedules in file order, then the weekly window.
struct WindowPriority {
    std::int32_t Value = 0;
};
inline constexpr std::int32_t kHighestPriority = 1000;
inline constexpr std::int32_t kLowestPriority = -1000;

// The main section's "Name" for the weekly window, as written; empty when it has none.
struct WeeklyName {
    std::string Text;
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
    WindowPriority Priority = {};
};

} // namespace qv
