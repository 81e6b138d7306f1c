// The windows of a config together: which of them is in force at a time, when that changes next,
// and what a window shows players with the main section's texts where it has none of its own.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "plugin/config/Config.h"
#include "plugin/schedule/Timetable.h"

namespace qv {

// The order of precedence of config's windows, as Config::Precedence holds it: the higher Priority
// first; among equal ones the entries of Schedules in file order, then the weekly window.
std::vector<std::size_t> PrecedenceOf(const Config& config);

// The config's windows in order of precedence. Valid while the config is.
Timetable TimetableOf(const Config& config);
// The window at a place of TimetableOf(config), and the place of a window of config there.
const Window& WindowAt(const Config& config, std::size_t place);
std::size_t PlaceOf(const Config& config, const Window& window);
// The config's windows in order of precedence.
std::vector<const Window*> WindowsInOrder(const Config& config);
// Whether the windows' priorities differ, so that the order is not simply the default one.
bool UsesPriorities(const Config& config);

// The first open window in order of precedence; else none.
const Window* WindowInForceAt(const Config& config, WallTime wall);
// The window of that identity in config, or none when there is none (any more).
const Window* FindWindow(const Config& config, const WindowId& id);

struct WindowChange {
    WallTime At;
    const Window* InForce = nullptr; // from At on; none: normal rates
};
// The first moment after now at which the window in force differs from the one in force at now;
// nothing when it never does.
std::optional<WindowChange> NextChange(const Config& config, WallTime now);

// A window coming into force: from At on it is the window in force, and it was not the second before.
struct Coming {
    const Window* InForce = nullptr;
    WallTime At;
};
// Each window's first coming into force after from and no later than until, in time order. A window
// that another one before it in order of precedence beats for all the time it is open does not come.
std::vector<Coming> ComingsIntoForce(const Config& config, WallTime from, WallTime until);

// Whether the time of day plays a part: a time in the weekly window, or any schedule.
bool UsesTimesOfDay(const Config& config);

// What a window shows: its own texts and colours where it has them, the main section's otherwise,
// with the key each message came from (for warnings).
struct WindowLook {
    const FString* EnabledMessage;
    const FString* DisabledMessage;
    const FString* WeekendMOTD;
    MessageColor EnabledColor;
    MessageColor DisabledColor;
    std::string EnabledMessageKey;
    std::string DisabledMessageKey;
};
WindowLook LookOf(const Config& config, const Window& window);

// The place of a schedule among Schedules; the weekly window has none.
std::optional<std::size_t> ScheduleIndex(const Config& config, const Window& window);

} // namespace qv
