// The actions an administrator scripts for a simulation or types at the console, one a line.
#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "tool/DateTime.h"

namespace qvtool {

enum class ActionKind {
    // Script and console.
    Join,       // join NAME [admin]
    Leave,      // leave NAME
    Say,        // say NAME TEXT
    Console,    // console [NAME] TEXT: NAME is a player's only when such a player is connected
    Config,     // config FILE
    Unload,     // unload
    Load,       // load
    NoGameMode, // nogamemode ON|OFF
    Rcon,       // rcon TEXT: a command line arriving over RCON
    // Console only.
    Advance, // advance DURATION
    Rates,
    Players,
    Inbox, // inbox NAME
    Help,
    Quit,
};

struct Action {
    ActionKind Kind = ActionKind::Help;
    std::string Name;    // the player, or the file of "config"
    std::string Text;    // what is said or entered; for "console" and "rcon" everything after the word
    bool Flag = false;   // admin for "join", ON for "nogamemode"
    Seconds Duration{0}; // "advance"
};

struct ParseFailure {
    std::string Message;
};

// One action without its time. Console-only actions are refused unless allowed.
std::variant<Action, ParseFailure> ParseAction(std::string_view line, bool consoleActions);

struct TimedAction {
    Instant When;
    Action What;
    int Line = 0;
};

// "TIME ACTION" a line, after a byte-order mark if there is one; TIME is "+DURATION" after the
// start ("+2d", "+1h30m") or a local "YYYY-MM-DDTHH:MM[:SS]" on clock. Blank lines and lines
// starting with '#' are skipped. The result is in time order, lines with the same time in file
// order. Failures name the line.
std::variant<std::vector<TimedAction>, ParseFailure> ParseScript(std::string_view text, const qv::LocalClock& clock,
                                                                 Instant start, Instant end);

// Editors on Windows start UTF-8 files with a byte-order mark; it is no part of the first line.
std::string_view WithoutByteOrderMark(std::string_view text);

// The actions with their arguments, one a line, for "help" and --help.
std::string ActionSummary(bool consoleActions);

} // namespace qvtool
