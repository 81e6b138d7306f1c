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
};

struct Action {
    ActionType type = ActionType::Timer;
    int count = 0;
    int offset = 0;
    std::int64_t seconds = 0;
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
    int year = 2026;
    int month = 1;
    int day = 1;
    int hour = 12;
    std::vector<Action> actions;
};

// A sequence from its seed: a start date, a config, two players and a load, then length random actions.
Sequence MakeSequence(std::uint64_t seed, std::size_t length);

std::string Describe(const Action& action);
std::string Describe(const Sequence& sequence);

} // namespace model
