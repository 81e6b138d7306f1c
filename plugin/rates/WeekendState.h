// Everything the plug-in remembers about the weekend between host calls, in one place: the
// schedule's call count and flag, the toggle's flag, the snapshot of the normal values, the window
// in force, and the reminders already sent.
#pragma once

#include <cstdint>
#include <string>

#include "plugin/config/Calendar.h"
#include "plugin/config/WeekendValues.h"
#include "plugin/host/ArkApi.h"
#include "plugin/rates/Reminders.h"

struct WeekendState {
    // Counted timer calls since the last evaluation; calls while there is no game mode do not count.
    std::int32_t CheckCallCount = 0;
    bool FirstCheckDone = false;
    // True while a weekend that the schedule switched on (or took over) is in force.
    bool ScheduledWeekendActive = false;
    // True from a switch-on made by the toggle command until its switch back.
    bool ManualWeekendActive = false;
    // True from a successful switch-on until the switch back: the snapshot is only taken while
    // the normal values are in force, so it always holds the true normal values.
    bool WeekendValuesInForce = false;
    // The values in force before the weekend switch that is in force now.
    MultiplierValues SavedMultipliers{};
    // The game mode those values were saved from and the weekend values written into.
    const AShooterGameMode* SwitchedGameMode = nullptr;
    // The window whose values are in force: "" for the main section's (the weekly window, or a
    // weekend switched on by hand), a schedule's name otherwise.
    std::string WindowName;

    // The wall-clock time of the last evaluation that looked at times of day: the hour the clocks
    // repeat in autumn is not lived twice.
    WallSeconds LastEvaluation = 0;
    // The reminders already sent, by the opening they were about.
    ReminderMemory Reminders;
};

// Lives from the library's load to its unload; a reload of the config leaves it alone.
extern WeekendState Weekend;

// Back to the state of a freshly loaded library, for code that runs the plug-in's functions
// without loading and unloading the library (tests, the fuzz target).
void ResetWeekendState();
