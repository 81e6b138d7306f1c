// Member names are part of the tool's interface: scripts and tests read them.
#include "tool/JsonEvents.h"

#include <cstdlib>

#include <fmt/format.h>
#include <nlohmann/json.hpp>

namespace qvtool {

namespace {

using json = nlohmann::ordered_json;

// The float's shortest form: 0.2f as 0.2, not as the double 0.20000000298023224.
json Number(float value)
{
    if (value != value || value - value != 0.0f) return fmt::format("{}", value); // nan and inf are not JSON numbers
    return std::strtod(fmt::format("{}", value).c_str(), nullptr);
}

json Color(const std::array<float, 4>& color)
{
    json components = json::array();
    for (float component : color) components.push_back(Number(component));
    return components;
}

json FieldObject(const Fields& fields)
{
    json object = json::object();
    for (const auto& [name, value] : fields) object[name] = Number(value);
    return object;
}

const char* Name(EventKind kind)
{
    switch (kind) {
    case EventKind::Start:
        return "start";
    case EventKind::Load:
        return "load";
    case EventKind::Unload:
        return "unload";
    case EventKind::Join:
        return "join";
    case EventKind::Leave:
        return "leave";
    case EventKind::Say:
        return "say";
    case EventKind::Console:
        return "console";
    case EventKind::Config:
        return "config";
    case EventKind::GameMode:
        return "gamemode";
    case EventKind::Rates:
        return "rates";
    case EventKind::Motd:
        return "motd";
    case EventKind::Notification:
        return "notification";
    case EventKind::Chat:
        return "chat";
    case EventKind::Reply:
        return "reply";
    case EventKind::Log:
        return "log";
    case EventKind::End:
        return "end";
    }
    return "unknown";
}

} // namespace

std::string EventToJsonLine(const Event& event)
{
    json line;
    line["time"] = FormatIso(event.time);
    line["event"] = Name(event.kind);
    switch (event.kind) {
    case EventKind::Start:
        line["config"] = event.file;
        line["days"] = event.number;
        break;
    case EventKind::Load:
        line["library"] = event.file;
        break;
    case EventKind::Unload:
    case EventKind::End:
        break;
    case EventKind::Join:
        line["player"] = event.player;
        line["admin"] = event.flag;
        break;
    case EventKind::Leave:
        line["player"] = event.player;
        break;
    case EventKind::Say:
    case EventKind::Console:
        if (event.kind == EventKind::Say || !event.player.empty()) line["player"] = event.player;
        line["text"] = event.text;
        line["command"] = event.flag;
        break;
    case EventKind::Config:
        line["file"] = event.file;
        break;
    case EventKind::GameMode:
        line["present"] = event.flag;
        break;
    case EventKind::Rates:
        line["state"] = event.state;
        line["fields"] = FieldObject(event.after);
        line["before"] = FieldObject(event.before);
        break;
    case EventKind::Motd:
        line["text"] = event.text;
        break;
    case EventKind::Notification:
        line["player"] = event.player;
        line["text"] = event.text;
        line["color"] = Color(event.color);
        line["scale"] = Number(event.scale);
        line["duration"] = Number(event.duration);
        break;
    case EventKind::Chat:
        line["player"] = event.player;
        line["sender"] = event.sender;
        line["text"] = event.text;
        break;
    case EventKind::Reply:
        line["player"] = event.player;
        line["text"] = event.text;
        line["color"] = Color(event.color);
        break;
    case EventKind::Log:
        line["level"] = event.level;
        line["logger"] = event.sender;
        line["text"] = event.text;
        break;
    }
    // Replace rather than fail on text that is not valid UTF-8: the line must always come out.
    return line.dump(-1, ' ', false, json::error_handler_t::replace);
}

} // namespace qvtool
