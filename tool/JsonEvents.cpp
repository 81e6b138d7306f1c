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

json ColorArray(const Color& color)
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

// The members after "time" and "event", in the order they are printed.
void Members(json& line, const events::Start& start)
{
    line["config"] = start.config;
    line["days"] = start.days;
    if (!start.zone.empty()) line["zone"] = start.zone;
}
void Members(json& line, const events::Load& load) { line["library"] = load.library; }
void Members(json&, const events::Unload&) {}
void Members(json& line, const events::Join& join)
{
    line["player"] = join.player;
    line["admin"] = join.admin;
}
void Members(json& line, const events::Leave& leave) { line["player"] = leave.player; }
void Members(json& line, const events::Say& say)
{
    line["player"] = say.player;
    line["text"] = say.text;
    line["command"] = say.command;
}
void Members(json& line, const events::Console& console)
{
    if (!console.player.empty()) line["player"] = console.player;
    line["text"] = console.text;
    line["command"] = console.command;
}
void Members(json& line, const events::Rcon& rcon)
{
    line["text"] = rcon.text;
    line["command"] = rcon.command;
    line["answer"] = rcon.answer;
}
void Members(json& line, const events::Config& config) { line["file"] = config.file; }
void Members(json& line, const events::GameMode& gameMode) { line["present"] = gameMode.present; }
void Members(json& line, const events::Rates& rates)
{
    // "state" says "weekend" for every window's values, as it always has, for the scripts that read
    // it; "rates" says it without naming the weekly window.
    line["state"] = rates.boosted ? "weekend" : "normal";
    line["rates"] = rates.boosted ? "boosted" : "normal";
    line["fields"] = FieldObject(rates.after);
    line["before"] = FieldObject(rates.before);
    if (!rates.window.empty()) line["window"] = rates.window;
    if (!rates.lowered.empty()) line["lowered"] = rates.lowered;
}
void Members(json& line, const events::Reminder& reminder)
{
    line["window"] = reminder.window;
    line["minutes"] = reminder.minutes;
}
void Members(json& line, const events::Motd& motd) { line["text"] = motd.text; }
void Members(json& line, const events::Notification& notification)
{
    line["player"] = notification.player;
    line["text"] = notification.text;
    line["color"] = ColorArray(notification.color);
    line["scale"] = Number(notification.scale);
    line["duration"] = Number(notification.duration);
}
void Members(json& line, const events::Chat& chat)
{
    line["player"] = chat.player;
    line["sender"] = chat.sender;
    line["text"] = chat.text;
}
void Members(json& line, const events::Reply& reply)
{
    line["player"] = reply.player;
    line["text"] = reply.text;
    line["color"] = ColorArray(reply.color);
}
void Members(json& line, const events::Log& log)
{
    line["level"] = log.level;
    line["logger"] = log.logger;
    line["text"] = log.text;
}
void Members(json&, const events::End&) {}

} // namespace

std::string EventToJsonLine(const Event& event)
{
    json line;
    line["time"] = FormatIso(event.time);
    line["event"] = EventName(event);
    std::visit([&line](const auto& what) { Members(line, what); }, event.what);
    // Replace rather than fail on text that is not valid UTF-8: the line must always come out.
    return line.dump(-1, ' ', false, json::error_handler_t::replace);
}

} // namespace qvtool
