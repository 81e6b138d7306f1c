// The windows of a config, the main section's weekly window and the entries of "Schedules": which
// of them is in force at a time, when that changes next, and what each window shows players.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "plugin/config/Calendar.h"
#include "plugin/config/PluginSettings.h"

// A window by its place in the config: the main section's weekly window, or Schedules[i] for i >= 0.
inline constexpr int kWeeklyWindow = -1;

// "" for the weekly window, the schedule's name otherwise. Windows are remembered by name, since a
// reload may reorder or remove the schedules.
const std::string& WindowName(const Settings& settings, int window);
// The window of that name, or nothing when there is none (any more).
std::optional<int> FindWindow(const Settings& settings, std::string_view name);
// For players and the log: "Weekend" for the weekly window, the schedule's name otherwise.
std::string DisplayName(const Settings& settings, int window);

bool IsOpen(const Settings& settings, int window, const LocalTime& now);
// The first open entry of Schedules in file order; else the weekly window when it is open; else none.
std::optional<int> WindowInForce(const Settings& settings, const LocalTime& now);

struct WindowChange {
    WallSeconds At = 0;
    std::optional<int> Window; // in force from At on; none: normal rates
};
// The first moment after now at which the window in force differs from the one in force at now;
// nothing when it never does.
std::optional<WindowChange> NextChange(const Settings& settings, WallSeconds now);

// Whether the time of day plays a part: a time in the weekly window, or any schedule.
bool UsesTimesOfDay(const Settings& settings);

// What a window shows: its own texts and colours where it has them, the main section's otherwise,
// with the key each came from (for warnings).
struct WindowLook {
    const FString* EnabledMessage;
    const FString* DisabledMessage;
    const FString* WeekendMOTD;
    MessageColor EnabledColor;
    MessageColor DisabledColor;
    std::string EnabledMessageKey;
    std::string DisabledMessageKey;
};
WindowLook LookOf(const Settings& settings, int window);
