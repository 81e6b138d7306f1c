// The timeline reads left to right: when, what kind, who, then what they saw.
#include "tool/Timeline.h"

#include <algorithm>

#include <fmt/format.h>

#include "plugin/config/Window.h"
#include "plugin/messaging/Patterns.h"
#include "util/Utf.h"

namespace qvtool {

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// When and what kind, then the line's own text.
class Line {
public:
    Line(const Event& event, const Style& style) : event_(event), style_(style) {}

    std::string operator()(const events::Start& start) const
    {
        const std::string zone = start.zone.empty() ? std::string() : ", times in " + start.zone;
        if (start.days == 0) return Text(Tone::Bold, start.config + zone);
        return Text(Tone::Bold,
                    fmt::format("{}, {} day{}{}", start.config, start.days, start.days == 1 ? "" : "s", zone));
    }
    std::string operator()(const events::Load& load) const
    {
        return Text(Tone::Bold, load.library + " (its Load runs)");
    }
    std::string operator()(const events::Unload&) const { return Text(Tone::Bold, "the plug-in library"); }
    std::string operator()(const events::Join& join) const
    {
        return Text(Tone::Plain, join.player + (join.admin ? " (administrator)" : ""));
    }
    std::string operator()(const events::Leave& leave) const { return Text(Tone::Plain, leave.player); }
    std::string operator()(const events::Say& say) const
    {
        return Text(Tone::Plain,
                    fmt::format("{}: {}{}", say.player, say.text, say.command ? "" : "  (no chat command)"));
    }
    std::string operator()(const events::Console& console) const
    {
        return Text(Tone::Plain, fmt::format("{}: {}{}", console.player.empty() ? "server" : console.player,
                                             console.text, console.command ? "" : "  (no console command)"));
    }
    std::string operator()(const events::Rcon& rcon) const
    {
        // An answer of several replies continues below, under the rates' column.
        std::string answer = Quoted(rcon.answer);
        for (std::size_t at = answer.find('\n'); at != std::string::npos; at = answer.find('\n', at + 1)) {
            answer.insert(at + 1, std::string(29, ' '));
        }
        return Text(Tone::Plain,
                    fmt::format("{}{} -> {}", rcon.text, rcon.command ? "" : "  (no RCON command)", answer));
    }
    std::string operator()(const events::Config& config) const
    {
        return Text(Tone::Plain, "config.json replaced by " + config.file);
    }
    std::string operator()(const events::GameMode& gameMode) const
    {
        return Text(Tone::Plain, gameMode.present ? "the game mode is back" : "no game mode");
    }
    std::string operator()(const events::Rates& rates) const
    {
        // The weekly window's lines read as they always have; a schedule's name its window.
        const bool schedule = !rates.window.empty() && rates.window != qv::WindowId::Weekly().DisplayName();
        const std::string what =
            rates.boosted
                ? (schedule ? rates.window + " rates in force" : "weekend rates in force")
                : (schedule ? "normal rates back (" + rates.window + " over)" : std::string("normal rates back"));
        std::string lines = Text(Tone::Accent, style_.Paint(what, rates.boosted ? Tone::Good : Tone::Bold));
        for (std::size_t i = 0; i < rates.after.size(); ++i) {
            const auto& [name, after] = rates.after[i];
            const float before = i < rates.before.size() ? rates.before[i].second : after;
            std::string change = before == after ? fmt::format("{:g}  (unchanged)", after)
                                                 : fmt::format("{:g} -> {}", before,
                                                               style_.Paint(fmt::format("{:g}", after), Tone::Bold));
            if (std::find(rates.lowered.begin(), rates.lowered.end(), name) != rates.lowered.end()) {
                change += style_.Paint("  (lowers the server's normal rate)", Tone::Warning);
            }
            lines += fmt::format("{:>25}    {:<34} {}\n", "", name, change);
        }
        return lines;
    }
    std::string operator()(const events::Reminder& reminder) const
    {
        return Text(Tone::Accent, reminder.window + " in " + util::WideToUtf8(qv::TimeLeft(reminder.minutes)));
    }
    std::string operator()(const events::Motd& motd) const { return Text(Tone::Accent, Quoted(motd.text)); }
    std::string operator()(const events::Notification& shown) const
    {
        return Text(Tone::Plain, fmt::format("{}: {}  (colour {}; scale {:g}, {:g} s)", shown.player,
                                             Painted(Quoted(shown.text), shown.color), FormatColor(shown.color),
                                             shown.scale, shown.duration));
    }
    std::string operator()(const events::Chat& chat) const
    {
        return Text(Tone::Plain,
                    fmt::format("{}: [{}] {}", chat.player, chat.sender, RenderRichColor(chat.text, style_)));
    }
    std::string operator()(const events::Reply& reply) const
    {
        return Text(Tone::Plain, fmt::format("{}: {}  (colour {})", reply.player,
                                             Painted(Quoted(reply.text), reply.color), FormatColor(reply.color)));
    }
    std::string operator()(const events::Log& log) const
    {
        const Tone tone = log.level == "error" || log.level == "critical" ? Tone::Error
                          : log.level == "warning"                        ? Tone::Warning
                                                                          : Tone::Dim;
        // The plug-in's own records need no name; the host's do.
        const std::string source = log.logger == "Quorvandelle" || log.logger.empty() ? "" : "[" + log.logger + "] ";
        return Text(tone, source + log.text, " " + log.level);
    }
    std::string operator()(const events::End&) const { return Text(Tone::Bold, "the simulation ends"); }

private:
    const Event& event_;
    const Style& style_;

    std::string Text(Tone tone, const std::string& text, const std::string& kindSuffix = {}) const
    {
        return fmt::format("{}  {} {}\n", style_.Paint(FormatReadable(event_.time), Tone::Dim),
                           style_.Paint(fmt::format("{:<12}", EventName(event_) + kindSuffix), tone), text);
    }
    std::string Painted(const std::string& text, const Color& color) const
    {
        return style_.PaintRgb(text, color[0], color[1], color[2]);
    }
};

} // namespace

std::string FormatColor(const Color& color)
{
    return fmt::format("{:g}, {:g}, {:g}, {:g}", color[0], color[1], color[2], color[3]);
}

std::string FormatTimelineEvent(const Event& event, const Style& style)
{
    return std::visit(Line(event, style), event.what);
}

} // namespace qvtool
