// What a simulation reports: one event for each thing that happened, in the order it happened,
// printed as a timeline or as JSON lines. Each kind is a type of its own whose fields mean one
// thing; its kName is the name both printers show ("event" in JSON, the timeline's second column),
// spelled nowhere else.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "tool/DateTime.h"

namespace qvtool {

using Fields = std::vector<std::pair<std::string, float>>;
// Red, green, blue, alpha as the game received them.
using Rgba = std::array<float, 4>;

namespace events {

struct Start {
    static constexpr const char* kName = "start";
    std::string Config;
    int Days = 0;     // 0: as long as a person drives it
    std::string Zone; // the config's TimeZone, in which every time is told; empty: the local time
};
struct Load {
    static constexpr const char* kName = "load";
    std::string Library;
};
struct Unload {
    static constexpr const char* kName = "unload";
};
struct Join {
    static constexpr const char* kName = "join";
    std::string Player;
    bool Admin = false;
};
struct Leave {
    static constexpr const char* kName = "leave";
    std::string Player;
};
struct Say {
    static constexpr const char* kName = "say";
    std::string Player;
    std::string Text;
    bool Command = false; // a chat command took the line
};
struct Console {
    static constexpr const char* kName = "console";
    std::string Player; // empty: entered at the server
    std::string Text;
    bool Command = false; // a console command took the line
};
struct Rcon {
    static constexpr const char* kName = "rcon";
    std::string Text;     // the command line as it arrived
    bool Command = false; // an RCON command took the line
    // What the connection was sent back, one reply a line: the command's, or the game's own when
    // no command took the line.
    std::string Answer;
};
struct Config {
    static constexpr const char* kName = "config";
    std::string File; // what replaced config.json
};
struct GameMode {
    static constexpr const char* kName = "gamemode";
    bool Present = false;
};
struct Rates {
    static constexpr const char* kName = "rates";
    bool Boosted = false; // a window's values are in force; false: the server's normal values are back
    Fields Before;
    Fields After;
    // The window the switch is about: the one whose values came into force, or, when the normal
    // values are back, the one whose values ended: the main section's "Name" for the weekly window,
    // "Weekend" without one; empty when the plug-in's log did not say.
    std::string Window;
    // While a window is in force: the multipliers it makes slower than the server's normal values
    // (a rate lower, or an interval or period higher), in table order.
    std::vector<std::string> Lowered;
};
struct Reminder {
    static constexpr const char* kName = "reminder";
    std::string Window;
    std::int32_t Minutes = 0; // as the players were told
};
struct Motd {
    static constexpr const char* kName = "motd";
    std::string Text;
};
struct Notification {
    static constexpr const char* kName = "notification";
    std::string Player;
    std::string Text;
    Rgba Color{};
    float Scale = 0.0f;
    float Duration = 0.0f;
};
struct Chat {
    static constexpr const char* kName = "chat";
    std::string Player;
    std::string Sender;
    std::string Text;
};
struct Reply {
    static constexpr const char* kName = "reply";
    std::string Player;
    std::string Text;
    Rgba Color{};
};
struct Log {
    static constexpr const char* kName = "log";
    std::string Level;
    std::string Logger; // "Quorvandelle", or the host's
    std::string Text;
};
struct End {
    static constexpr const char* kName = "end";
};

} // namespace events

using EventData =
    std::variant<events::Start, events::Load, events::Unload, events::Join, events::Leave, events::Say, events::Console,
                 events::Rcon, events::Config, events::GameMode, events::Rates, events::Reminder, events::Motd,
                 events::Notification, events::Chat, events::Reply, events::Log, events::End>;

struct Event {
    Instant Time;
    EventData What;
};

inline const char* EventName(const Event& event)
{
    return std::visit([](const auto& what) { return std::decay_t<decltype(what)>::kName; }, event.What);
}

using EventSink = std::function<void(const Event&)>;

} // namespace qvtool
