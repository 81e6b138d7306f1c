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
    Line(const Event& event, const Style& style, const qv::LocalClock& clock)
        : event_(event), style_(style), clock_(clock)
    {
    }

    std::string operator()(const events::Start& start) const
    {
        const std::string zone = start.Zone.empty() ? std::string() : ", times in " + start.Zone;
        if (start.Days == 0) return Text(Tone::Bold, start.Config + zone);
        return Text(Tone::Bold,
                    fmt::format("{}, {} day{}{}", start.Config, start.Days, start.Days == 1 ? "" : "s", zone));
    }
    std::string operator()(const events::Load& load) const
    {
        return Text(Tone::Bold, load.Library + " (its Load runs)");
    }
    std::string operator()(const events::Unload&) const { return Text(Tone::Bold, "the plug-in library"); }
    std::string operator()(const events::Join& join) const
    {
        return Text(Tone::Plain, join.Player + (join.Admin ? " (administrator)" : ""));
    }
    std::string operator()(const events::Leave& leave) const { return Text(Tone::Plain, leave.Player); }
    std::string operator()(const events::Say& say) const
    {
        return Text(Tone::Plain,
                    fmt::format("{}: {}{}", say.Player, say.Text, say.Command ? "" : "  (no chat command)"));
    }
    std::string operator()(const events::Console& console) const
    {
        return Text(Tone::Plain, fmt::format("{}: {}{}", console.Player.empty() ? "server" : console.Player,
                                             console.Text, console.Command ? "" : "  (no console command)"));
    }
    std::string operator()(const events::Rcon& rcon) const
    {
        // An answer of several replies continues below, under the rates' column.
        std::string answer = Quoted(rcon.Answer);
        for (std::size_t at = answer.find('\n'); at != std::string::npos; at = answer.find('\n', at + 1)) {
            answer.insert(at + 1, std::string(29, ' '));
        }
        return Text(Tone::Plain,
                    fmt::format("{}{} -> {}", rcon.Text, rcon.Command ? "" : "  (no RCON command)", answer));
    }
    std::string operator()(const events::Config& config) const
    {
        return Text(Tone::Plain, "config.json replaced by " + config.File);
    }
    std::string operator()(const events::GameMode& gameMode) const
    {
        return Text(Tone::Plain, gameMode.Present ? "the game mode is back" : "no game mode");
    }
    std::string operator()(const events::Rates& rates) const
    {
        // The weekly window's lines read as they always have; those of a schedule, or of a weekly window
        // the main section names, name their window.
        const bool schedule = !rates.Window.empty() && rates.Window != qv::WindowId::Weekly().DisplayName();
        const std::string what =
            rates.Boosted
                ? (schedule ? rates.Window + " rates in force" : "weekend rates in force")
                : (schedule ? "normal rates back (" + rates.Window + " over)" : std::string("normal rates back"));
        std::string lines = Text(Tone::Accent, style_.Paint(what, rates.Boosted ? Tone::Good : Tone::Bold));
        for (std::size_t i = 0; i < rates.After.size(); ++i) {
            const auto& [name, after] = rates.After[i];
            const float before = i < rates.Before.size() ? rates.Before[i].second : after;
            std::string change = before == after ? fmt::format("{:g}  (unchanged)", after)
                                                 : fmt::format("{:g} -> {}", before,
                                                               style_.Paint(fmt::format("{:g}", after), Tone::Bold));
            if (std::find(rates.Lowered.begin(), rates.Lowered.end(), name) != rates.Lowered.end()) {
                change += style_.Paint("  (lowers the server's normal rate)", Tone::Warning);
            }
            lines += fmt::format("{:>25}    {:<34} {}\n", "", name, change);
        }
        return lines;
    }
    std::string operator()(const events::Reminder& reminder) const
    {
        return Text(Tone::Accent, reminder.Window + " in " + util::WideToUtf8(qv::TimeLeft(reminder.Minutes)));
    }
    std::string operator()(const events::Motd& motd) const { return Text(Tone::Accent, Quoted(motd.Text)); }
    std::string operator()(const events::Notification& shown) const
    {
        return Text(Tone::Plain, fmt::format("{}: {}  (colour {}; scale {:g}, {:g} s)", shown.Player,
                                             Painted(Quoted(shown.Text), shown.Color), FormatColor(shown.Color),
                                             shown.Scale, shown.Duration));
    }
    std::string operator()(const events::Chat& chat) const
    {
        return Text(Tone::Plain,
                    fmt::format("{}: [{}] {}", chat.Player, chat.Sender, RenderRichColor(chat.Text, style_)));
    }
    std::string operator()(const events::Reply& reply) const
    {
        return Text(Tone::Plain, fmt::format("{}: {}  (colour {})", reply.Player,
                                             Painted(Quoted(reply.Text), reply.Color), FormatColor(reply.Color)));
    }
    std::string operator()(const events::Log& log) const
    {
        const Tone tone = log.Level == "error" || log.Level == "critical" ? Tone::Error
                          : log.Level == "warning"                        ? Tone::Warning
                                                                          : Tone::Dim;
        // The plug-in's own records need no name; the host's do.
        const std::string source = log.Logger == "Quorvandelle" || log.Logger.empty() ? "" : "[" + log.Logger + "] ";
        return Text(tone, source + log.Text, " " + log.Level);
    }
    std::string operator()(const events::End&) const { return Text(Tone::Bold, "the simulation ends"); }

private:
    const Event& event_;
    const Style& style_;
    const qv::LocalClock& clock_;

    std::string Text(Tone tone, const std::string& text, const std::string& kindSuffix = {}) const
    {
        return fmt::format("{}  {} {}\n", style_.Paint(FormatReadable(clock_, event_.Time), Tone::Dim),
                           style_.Paint(fmt::format("{:<12}", EventName(event_) + kindSuffix), tone), text);
    }
    std::string Painted(const std::string& text, const Rgba& color) const
    {
        return style_.PaintRgb(text, color[0], color[1], color[2]);
    }
};

} // namespace

std::string FormatColor(const Rgba& color)
{
    return fmt::format("{:g}, {:g}, {:g}, {:g}", color[0], color[1], color[2], color[3]);
}

std::string FormatTimelineEvent(const Event& event, const Style& style, const qv::LocalClock& clock)
{
    return std::visit(Line(event, style, clock), event.What);
}

} // namespace qvtool
