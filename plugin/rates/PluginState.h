// Everything the plug-in remembers between host calls, in one object: the config in force, who owns
// the boosted values and what they replaced, what the schedule remembers between its evaluations,
// and the names registered with the host. The host callbacks reach it as State; the decisions
// (Decisions.h) read it, and only the executor (Executor.h), the reload's commit and the
// registrations change it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "plugin/config/Config.h"
#include "plugin/config/WeekendValues.h"
#include "plugin/config/Window.h"
#include "plugin/host/ArkApi.h"
#include "plugin/rates/PendingWelcomes.h"
#include "plugin/rates/Reminders.h"

namespace qv {

// Who the boosted values in force belong to. The schedule switches back only what it switched on;
// the toggle only what an administrator switched on.
enum class Owner {
    Nobody,        // the normal values are in force
    Schedule,      // a window the schedule opened, or took over from an administrator
    Administrator, // the main section's values, by the toggle
};

inline constexpr Instant kNeverDue = Instant::max();

// The boosted values in force, while somebody owns them: the window whose values they are, the
// values its switch wrote (0: the game's own left), the values in force before it (the snapshot,
// taken only while the normal values were in force, so it always holds the true normal values),
// and the game mode all of this concerns.
struct BoostState {
    Owner OwnedBy = Owner::Nobody;
    WindowId InForce = WindowId::Weekly();
    MultiplierValues Written{};
    MultiplierValues Saved{};
    const AShooterGameMode* GameMode = nullptr;

    // A weekend that the schedule switched on (or took over) is in force.
    bool Scheduled() const { return OwnedBy == Owner::Schedule; }
    // A weekend that an administrator switched on with the toggle is in force.
    bool Manual() const { return OwnedBy == Owner::Administrator; }
    bool Active() const { return OwnedBy != Owner::Nobody; }
};

// What the schedule remembers between its evaluations.
struct ScheduleMemory {
    // Counted timer calls since the last evaluation; calls while there is no game mode do not count.
    std::int32_t CallCount = 0;
    bool FirstCheckDone = false;
    // The latest wall-clock time an evaluation that looked at times of day decided by: the hour the
    // clocks repeat in autumn is not lived twice.
    std::optional<WallTime> LatestDecision;
    // The reminders already sent, by the opening they were about.
    ReminderMemory Reminders;
    // With ExactSwitching: the instant of the next switch or reminder, at which a timer call
    // evaluates whatever the count says; kNeverDue otherwise.
    Instant NextDue = kNeverDue;
};

struct PluginState {
    // The initial settings until a file is taken, then the last one taken whole.
    Config Settings;
    BoostState Boost;
    ScheduleMemory Schedule;
    // The status command as the host has it registered: it follows the config in force, unless the
    // host refused the last change. Empty: none.
    std::string StatusCommand;
    // The RCON commands as the host has them registered, by their row in the RCON table (RconCommands.cpp):
    // they follow the config in force the same way. Empty: none registered for that row.
    std::vector<std::string> RconCommands;
    // Players who joined while boosted rates were in force, until their welcome is due.
    PendingWelcomes Welcomes;
    // The earlier of Schedule.NextDue and Welcomes.NextDue: an idle timer call compares the clock
    // with this one instant. Whoever changes either of them calls RefreshWakeAt.
    Instant WakeAt = kNeverDue;
};

inline void RefreshWakeAt(PluginState& state)
{
    state.WakeAt = std::min(state.Schedule.NextDue, state.Welcomes.NextDue);
}

// Lives from the library's load to its unload; a reload of the config changes only its settings.
extern PluginState State;

} // namespace qv
