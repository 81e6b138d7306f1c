// Everything the plug-in remembers about the boosted rates between host calls, in one place: the
// schedule's call count, who put a window's values in force and which, the snapshot of the normal
// values, and the reminders already sent.
#pragma once

#include <cstdint>

#include "plugin/config/Calendar.h"
#include "plugin/config/WeekendValues.h"
#include "plugin/config/Window.h"
#include "plugin/host/ArkApi.h"
#include "plugin/rates/Reminders.h"

namespace qv {

// Who the boosted values in force belong to. The schedule switches back only what it switched on;
// the toggle only what an administrator switched on.
enum class Owner {
    Nobody,        // the normal values are in force
    Schedule,      // a window the schedule opened, or took over from an administrator
    Administrator, // the main section's values, by the toggle
};

struct WeekendState {
    // Counted timer calls since the last evaluation; calls while there is no game mode do not count.
    std::int32_t CheckCallCount = 0;
    bool FirstCheckDone = false;

    Owner Boost = Owner::Nobody;
    // While somebody owns the boost: the window whose values are in force, the values its switch
    // wrote (0: the game's own left), the values in force before it (the snapshot, taken only
    // while the normal values were in force, so it always holds the true normal values), and the
    // game mode all of this concerns.
    WindowId InForce = WindowId::Weekly();
    MultiplierValues Written{};
    MultiplierValues SavedMultipliers{};
    const AShooterGameMode* SwitchedGameMode = nullptr;

    // The wall-clock time of the last evaluation that looked at times of day: the hour the clocks
    // repeat in autumn is not lived twice.
    WallSeconds LastEvaluation = 0;
    // The reminders already sent, by the opening they were about.
    ReminderMemory Reminders;

    // A weekend that the schedule switched on (or took over) is in force.
    bool ScheduledWeekendActive() const { return Boost == Owner::Schedule; }
    // A weekend that an administrator switched on with the toggle is in force.
    bool ManualWeekendActive() const { return Boost == Owner::Administrator; }
    bool BoostedValuesInForce() const { return Boost != Owner::Nobody; }
};

// Lives from the library's load to its unload; a reload of the config leaves it alone.
extern WeekendState Weekend;

// Back to the state of a freshly loaded library, for code that runs the plug-in's functions
// without loading and unloading the library (tests, the fuzz target).
void ResetWeekendState();

} // namespace qv
