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

json ColorArray(const Rgba& color)
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
    line["config"] = start.Config;
    line["days"] = start.Days;
    if (!start.Zone.empty()) line["zone"] = start.Zone;
}
void Members(json& line, const events::Load& load) { line["library"] = load.Library; }
void Members(json&, const events::Unload&) {}
void Members(json& line, const events::Join& join)
{
    line["player"] = join.Player;
    line["admin"] = join.Admin;
}
void Members(json& line, const events::Leave& leave) { line["player"] = leave.Player; }
void Members(json& line, const events::Say& say)
{
    line["player"] = say.Player;
    line["text"] = say.Text;
    line["command"] = say.Command;
}
void Members(json& line, const events::Console& console)
{
    if (!console.Player.empty()) line["player"] = console.Player;
    line["text"] = console.Text;
    line["command"] = console.Command;
}
void Members(json& line, const events::Rcon& rcon)
{
    line["text"] = rcon.Text;
    line["command"] = rcon.Command;
    line["answer"] = rcon.Answer;
}
void Members(json& line, const events::Config& config) { line["file"] = config.File; }
void Members(json& line, const events::GameMode& gameMode) { line["present"] = gameMode.Present; }
void Members(json& line, const events::Rates& rates)
{
    // "state" says "weekend" for every window's values, as it always has, for the scripts that read
    // it; "rates" says it without naming the weekly window.
    line["state"] = rates.Boosted ? "weekend" : "normal";
    line["rates"] = rates.Boosted ? "boosted" : "normal";
    line["fields"] = FieldObject(rates.After);
    line["before"] = FieldObject(rates.Before);
    if (!rates.Window.empty()) line["window"] = rates.Window;
    if (!rates.Lowered.empty()) line["lowered"] = rates.Lowered;
}
void Members(json& line, const events::Reminder& reminder)
{
    line["window"] = reminder.Window;
    line["minutes"] = reminder.Minutes;
}
void Members(json& line, const events::Motd& motd) { line["text"] = motd.Text; }
void Members(json& line, const events::Notification& notification)
{
    line["player"] = notification.Player;
    line["text"] = notification.Text;
    line["color"] = ColorArray(notification.Color);
    line["scale"] = Number(notification.Scale);
    line["duration"] = Number(notification.Duration);
}
void Members(json& line, const events::Chat& chat)
{
    line["player"] = chat.Player;
    line["sender"] = chat.Sender;
    line["text"] = chat.Text;
}
void Members(json& line, const events::Reply& reply)
{
    line["player"] = reply.Player;
    line["text"] = reply.Text;
    line["color"] = ColorArray(reply.Color);
}
void Members(json& line, const events::Log& log)
{
    line["level"] = log.Level;
    line["logger"] = log.Logger;
    line["text"] = log.Text;
}
void Members(json&, const events::End&) {}

} // namespace

std::string EventToJsonLine(const Event& event, const qv::LocalClock& clock)
{
    json line;
    line["time"] = FormatIsoWithOffset(clock, event.Time);
    line["event"] = EventName(event);
    std::visit([&line](const auto& what) { Members(line, what); }, event.What);
    // Replace rather than fail on text that is not valid UTF-8: the line must always come out.
    return line.dump(-1, ' ', false, json::error_handler_t::replace);
}

} // namespace qvtool
