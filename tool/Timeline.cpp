// The timeline reads left to right: when, what kind, who, then what they saw.
#include "tool/Timeline.h"

#include <fmt/format.h>

namespace qvtool {

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string Head(const Event& event, const char* kind, const Style& style, Tone tone = Tone::Plain)
{
    return fmt::format("{}  {}", style.Paint(FormatReadable(event.time), Tone::Dim),
                       style.Paint(fmt::format("{:<12}", kind), tone));
}

std::string RatesLines(const Event& event, const Style& style)
{
    std::string lines =
        fmt::format("{} {}\n", Head(event, "rates", style, Tone::Accent),
                    style.Paint(event.state == "weekend" ? "weekend rates in force" : "normal rates back",
                                event.state == "weekend" ? Tone::Good : Tone::Bold));
    for (std::size_t i = 0; i < event.after.size(); ++i) {
        const auto& [name, after] = event.after[i];
        const float before = i < event.before.size() ? event.before[i].second : after;
        const std::string change =
            before == after ? fmt::format("{:g}  (unchanged)", after)
                            : fmt::format("{:g} -> {}", before, style.Paint(fmt::format("{:g}", after), Tone::Bold));
        lines += fmt::format("{:>25}    {:<34} {}\n", "", name, change);
    }
    return lines;
}

} // namespace

std::string FormatColor(const std::array<float, 4>& color)
{
    return fmt::format("{:g}, {:g}, {:g}, {:g}", color[0], color[1], color[2], color[3]);
}

std::string FormatTimelineEvent(const Event& event, const Style& style)
{
    switch (event.kind) {
    case EventKind::Start:
        if (event.number == 0) return fmt::format("{} {}\n", Head(event, "start", style, Tone::Bold), event.file);
        return fmt::format("{} {}, {} day{}\n", Head(event, "start", style, Tone::Bold), event.file, event.number,
                           event.number == 1 ? "" : "s");
    case EventKind::Load:
        return fmt::format("{} {} (its Load runs)\n", Head(event, "load", style, Tone::Bold), event.file);
    case EventKind::Unload:
        return fmt::format("{} the plug-in library\n", Head(event, "unload", style, Tone::Bold));
    case EventKind::Join:
        return fmt::format("{} {}{}\n", Head(event, "join", style), event.player, event.flag ? " (administrator)" : "");
    case EventKind::Leave:
        return fmt::format("{} {}\n", Head(event, "leave", style), event.player);
    case EventKind::Say:
        return fmt::format("{} {}: {}{}\n", Head(event, "say", style), event.player, event.text,
                           event.flag ? "" : "  (no chat command)");
    case EventKind::Console:
        return fmt::format("{} {}: {}{}\n", Head(event, "console", style),
                           event.player.empty() ? std::string("server") : event.player, event.text,
                           event.flag ? "" : "  (no console command)");
    case EventKind::Config:
        return fmt::format("{} config.json replaced by {}\n", Head(event, "config", style), event.file);
    case EventKind::GameMode:
        return fmt::format("{} {}\n", Head(event, "gamemode", style),
                           event.flag ? "the game mode is back" : "no game mode");
    case EventKind::Rates:
        return RatesLines(event, style);
    case EventKind::Motd:
        return fmt::format("{} {}\n", Head(event, "motd", style, Tone::Accent), Quoted(event.text));
    case EventKind::Notification:
        return fmt::format("{} {}: {}  (colour {}; scale {:g}, {:g} s)\n", Head(event, "notification", style),
                           event.player,
                           style.PaintRgb(Quoted(event.text), event.color[0], event.color[1], event.color[2]),
                           FormatColor(event.color), event.scale, event.duration);
    case EventKind::Chat:
        return fmt::format("{} {}: [{}] {}\n", Head(event, "chat", style), event.player, event.sender,
                           RenderRichColor(event.text, style));
    case EventKind::Reply:
        return fmt::format("{} {}: {}  (colour {})\n", Head(event, "reply", style), event.player,
                           style.PaintRgb(Quoted(event.text), event.color[0], event.color[1], event.color[2]),
                           FormatColor(event.color));
    case EventKind::Log: {
        const Tone tone = event.level == "error" || event.level == "critical" ? Tone::Error
                          : event.level == "warning"                          ? Tone::Warning
                                                                              : Tone::Dim;
        // The plug-in's own records need no name; the host's do.
        const std::string source =
            event.sender == "Quorvandelle" || event.sender.empty() ? "" : "[" + event.sender + "] ";
        return fmt::format("{} {}{}\n", Head(event, ("log " + event.level).c_str(), style, tone), source, event.text);
    }
    case EventKind::End:
        return fmt::format("{} the simulation ends\n", Head(event, "end", style, Tone::Bold));
    }
    return {};
}

} // namespace qvtool
