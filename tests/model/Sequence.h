// The actions of the model test and random sequences of them. Every action stands on its own
// (players are picked among those connected when it runs), so dropping any of them while
// shrinking a failing sequence leaves a sequence that still runs.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "tests/model/Model.h"

namespace model {

enum class ActionType {
    Timer,        // count calls
    TimerToCheck, // up to the model's next evaluation, plus offset (-1, 0 or +1)
    GameModeAway,
    GameModeBack,
    DaysPass, // count days and seconds
    WriteConfig,
    RemoveConfig,
    ChatReload,    // from a connected player, picked by pick
    ConsoleReload, // from a connected player
    ServerConsoleReload,
    Toggle,        // from a connected player
    ChatOther,     // a chat line that is no command
    SetMultiplier, // row, value
    SetMotd,       // text
    Join,          // player
    Leave,         // a connected player
    SetAdmin,      // a connected player with a character, flag
    Unload,
    Load,
    // Only in sequences with windows:
    ClockTo,   // the clock set so that the next evaluation falls at a moment near a boundary
    ClockBack, // the clocks go back by seconds, as they do one night in autumn
    Status,    // a chat line naming the status command (text), from a connected player
};

struct Action {
    ActionType type = ActionType::Timer;
    int count = 0;
    int offset = 0;           // TimerToCheck: calls; ClockTo: seconds from the moment
    std::int64_t seconds = 0; // ClockTo: the moment, as a second of the week or (flag) a wall time
    std::uint32_t pick = 0;
    std::size_t row = 0;
    float value = 0.0f;
    bool flag = false;
    std::string text; // the chat line, or the message of the day
    Player player;
    std::shared_ptr<const ConfigFile> config;
};

struct Sequence {
    std::uint64_t seed = 0;
    // Configs with the optional members (times, schedules, reminders, a status command) and actions
    // that set the clock near the windows' boundaries.
    bool windows = false;
    int year = 2026;
    int month = 1;
    int day = 1;
    int hour = 12;
    std::vector<Action> actions;
};

// A sequence from its seed: a start date, a config, two players and a load, then length random actions.
// Without windows a seed gives the sequence it always has.
Sequence MakeSequence(std::uint64_t seed, std::size_t length, bool windows = false);

std::string Describe(const Action& action);
std::string Describe(const Sequence& sequence);

} // namespace model
