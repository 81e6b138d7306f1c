// What a simulation reports: one event for each thing that happened, in the order it happened,
// printed as a timeline or as JSON lines.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tool/DateTime.h"

namespace qvtool {

enum class EventKind {
    Start, // file: the config; number: the days simulated
    Load,  // file: the library
    Unload,
    Join,         // player; flag: administrator
    Leave,        // player
    Say,          // player, text; flag: a chat command took it
    Console,      // player (empty at the server), text; flag: a console command took it
    Config,       // file: what replaced config.json
    GameMode,     // flag: present
    Rates,        // state, before, after
    Motd,         // text
    Notification, // player, text, color, scale, duration
    Chat,         // player, sender, text
    Reply,        // player, text, color
    Log,          // level, sender: the logger ("Quorvandelle", or the host's), text
    End,
};

using Fields = std::vector<std::pair<std::string, float>>;

struct Event {
    Seconds time = 0;
    EventKind kind = EventKind::Log;
    std::string player;
    std::string text;
    std::string sender;
    std::string level;
    std::string state; // "weekend" or "normal"
    std::string file;
    std::array<float, 4> color{};
    float scale = 0.0f;
    float duration = 0.0f;
    bool flag = false;
    int number = 0;
    Fields before;
    Fields after;
};

using EventSink = std::function<void(const Event&)>;

} // namespace qvtool
