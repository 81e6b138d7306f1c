// What the plug-in decides to do, as values: at an evaluation of the schedule, at the toggle, after a
// load of the config and at unload. Each decision is a pure function of the config, the state and the
// time (and of what the host reported), so that tests and the tool can check it without a host; the
// executor (Executor.h) carries it out. An evaluation also moves on the schedule's memory it is
// handed, and touches nothing else.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "plugin/config/Config.h"
#include "plugin/host/Colors.h"
#include "plugin/log/PluginLog.h"
#include "plugin/rates/PluginState.h"
#include "plugin/rates/SwitchRecords.h"

namespace qv {

namespace action {

// From the normal values into a window's: a snapshot of the values in force, then the window's.
struct SwitchOn {
    WindowId Window;
    Owner By = Owner::Schedule;
    SwitchEvent Record = SwitchEvent::OnBySchedule;
};
// From the values of the window in force to another window's, keeping the snapshot.
struct Move {
    WindowId Window;
    SwitchEvent Record = SwitchEvent::MovedBySchedule;
};
// A window opened while an administrator's weekend is in force: the schedule owns it from now on. A
// window that looks like the main section's keeps the values in force; another one brings its own.
struct TakeOver {
    WindowId Window;
    bool SameLook = true;
};
// The values in force into a game mode that replaced the one that held them, unannounced: the window
// was announced already.
struct Reinstate {
    WindowId Window;
};
// Back to the normal values, announced as the end of the window in force.
struct SwitchBack {
    SwitchEvent Record = SwitchEvent::BackBySchedule;
};
// The normal values back without a word: the library is going.
struct RestoreOnUnload {};
struct Remind {
    WindowId Window;
    std::int32_t Minutes = 0;
};
// To a player who joined while the window was in force, and still is: its JoinMessage, with the
// minutes its rates have left (none: no end the plug-in knows).
struct Welcome {
    AShooterPlayerController* Player = nullptr;
    WindowId Window;
    std::optional<std::int32_t> MinutesLeft;
};
// A reload renamed the window in force and changed nothing else of it.
struct Rename {
    WindowId To;
};
struct Log {
    LogLevel Level = LogLevel::Info;
    std::string Text;
};
// To the player who gave the command.
struct Reply {
    ByteColor Color{255, 255, 255};
    std::wstring Text; // a message pattern
};

} // namespace action

using Action =
    std::variant<action::SwitchOn, action::Move, action::TakeOver, action::Reinstate, action::SwitchBack,
                 action::RestoreOnUnload, action::Remind, action::Rename, action::Log, action::Reply, action::Welcome>;
using ActionList = std::vector<Action>;

// What the host reports that a decision depends on.
struct HostFacts {
    // Boosted values are in force, but the game mode that holds them is no longer the current one:
    // the new one holds the server's normal values.
    bool GameModeReplaced = false;
};

struct Evaluation {
    ActionList Actions;
    // The wall-clock time decided by, and the window in force by it (none: normal rates).
    WallTime Decided;
    const Window* ByClock = nullptr;
    // The next moment a reminder may fall due; nothing without reminders.
    std::optional<Instant> NextReminder;
};

// An evaluation of the schedule at now: the window in force by the clock against the one the game
// holds, and the reminders due. memory moves on to what it is once the actions are done; with
// ExactSwitching its NextDue is the next moment of a switch or reminder. Throws when the clock's
// time has no local date, and then, as on any failure, memory is left as it was.
Evaluation DecideEvaluation(const Config& config, const BoostState& boost, ScheduleMemory& memory, Instant now,
                            const HostFacts& facts);

// The wall-clock time the schedule decides by at the instant now, whose wall-clock time is wall,
// with what it has seen. When the clocks go back, the repeated hours would close and reopen a window
// whose end falls in them; the decision keeps to the latest time an evaluation saw until the clock
// has caught up. With a TimeZone the hold is as long as the zone's own step back, whatever its size;
// on the host's clock, whose changes are not known ahead, up to an hour. With whole days only the
// weekday counts, as it always has.
WallTime DecisionTime(const Config& config, const ScheduleMemory& memory, Instant now, WallTime wall);
// How far the config's clock went back at its latest change before now, when that change set it
// back; zero otherwise. On the host's clock, an hour: the longest step back any zone of the host
// made when that rule was set.
Seconds LongestHold(const Config& config, Instant now);

// With ExactSwitching, the instant at which an evaluation at now, which decided by the wall-clock
// time wall, is followed by another: the next change of the window in force, or reminder, the next
// moment a reminder falls due. And the first such instant after the library loads, before any
// evaluation (reminders due at once wait for the first one). kNeverDue for nothing.
Instant NextDueAfter(const Config& config, Instant now, WallTime wall, std::optional<Instant> reminder);
Instant FirstDueAfterLoad(const Config& config, Instant now);

// The schedule's memory once config is taken at now: at start-up, with ExactSwitching, the first
// moment due is worked out; after a reload the next call evaluates. The reminders withheld may be
// told again.
ScheduleMemory MemoryAfterLoad(const Config& config, ScheduleMemory memory, Instant now, bool reload);

// A reload from before to after that renames the window in force, and changes nothing else of it
// (times, values, texts, colours), or gives the weekly window in force another "Name": the new
// name, so that the window is not announced again.
std::optional<WindowId> RenamedWindowInForce(const Config& before, const Config& after, const BoostState& boost);

// The toggle, asked by an administrator at now: the main section's values on, or the normal values
// back, or a reply that the schedule has a window in force.
ActionList DecideToggle(const Config& config, const BoostState& boost, const ScheduleMemory& memory, Instant now);

// At unload: the normal values back when boosted ones are in force.
ActionList DecideUnload(const BoostState& boost);

} // namespace qv
