// Everything shown comes from the plug-in's own code: the decoded settings and weekend values,
// the window rule, and the patterns that build the notification and the chat line.
#include "tool/PreviewCommand.h"

#include <cmath>

#include <fmt/format.h>

#include "plugin/config/PluginSettings.h"
#include "plugin/config/TypedReads.h"
#include "plugin/host/Utf16.h"
#include "plugin/messaging/Patterns.h"
#include "tool/Calendar.h"
#include "tool/CheckCommand.h"
#include "tool/Simulation.h"
#include "tool/Timeline.h"

namespace qvtool {

namespace {

std::string Utf8(const std::wstring& wide) { return Utf16::ToUtf8(Utf16::FromWide(wide)); }

void PrintCalendar(const CheckReport& report, const PreviewOptions& options, const WeekCalendar& calendar,
                   const EvaluationTiming& timing, Output& output)
{
    const Style& style = output.outStyle;
    std::ostream& out = output.out;
    out << style.Paint(fmt::format("Preview of {} for a server started {}, {} days", options.config,
                                   FormatReadable(options.serverStart), options.days),
                       Tone::Bold)
        << "\n";
    out << DescribeTiming(timing) << "\n";
    out << fmt::format("Started at {}, the plug-in first evaluates at {}.\n\n", FormatReadable(options.serverStart),
                       FormatReadable(calendar.firstEvaluation));
    out << fmt::format("Weekend rates on {} (StartDay {}, EndDay {})\n\n",
                       OpenDaysText(report.settings->StartDay, report.settings->EndDay), report.settings->StartDay,
                       report.settings->EndDay);

    for (const CalendarDay& day : calendar.days) {
        std::string moment;
        for (const SwitchMoment& change : calendar.switches) {
            if (StartOfLocalDay(change.when) != day.midnight) continue;
            moment = fmt::format("{} at {}", change.toWeekend ? "switch on" : "switch back",
                                 FormatIso(change.when).substr(11));
        }
        std::string line =
            fmt::format("  {} {}   {}   {}", ShortWeekdayName(day.weekday), FormatDate(day.midnight),
                        day.weekendRates ? style.Paint("weekend", Tone::Good) : std::string("normal "), moment);
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << '\n';
    }
    if (!calendar.everOpen) out << "  The window is open on no weekday: the weekend rates never switch on.\n";
    out << "\n";
}

void PrintMultipliers(const CheckReport& report, Output& output)
{
    std::ostream& out = output.out;
    out << output.outStyle.Paint("Weekend multipliers", Tone::Bold)
        << " (written when the weekend starts; the values in force before come back when it ends)\n";
    ConfigProblems ignored;
    const nlohmann::json* section = FindSection(report.document, ignored);
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        const MultiplierRow& entry = WeekendMultiplierTable[row];
        const float value = (*report.weekend)[row];
        std::string shown = value == 0.0f ? std::string("unchanged") : fmt::format("{:g}", value);
        const nlohmann::json* member = FindMember(*section, entry.Key);
        if (entry.WholeNumber && member == nullptr) shown += "  (not set)";
        if (entry.WholeNumber && member != nullptr && member->is_number_float() &&
            std::trunc(member->get<double>()) != member->get<double>()) {
            shown += fmt::format("  (configured {}, read as a whole number)", member->dump());
        }
        out << fmt::format("  {:<34} {}\n", entry.Key, shown);
    }
    out << "\n";
}

void PrintMessageOfTheDay(const Settings& settings, Output& output)
{
    std::ostream& out = output.out;
    out << output.outStyle.Paint("Message of the day", Tone::Bold) << "\n";
    if (!settings.MOTDChangeEnabled) {
        out << "  not changed (MOTDChangeEnabled is false)\n\n";
        return;
    }
    out << fmt::format("  weekend: \"{}\"\n  normal:  \"{}\"\n\n", settings.WeekendMOTD.ToUtf8(),
                       settings.NormalMOTD.ToUtf8());
}

void PrintAnnouncement(const Settings& settings, bool on, Output& output)
{
    std::ostream& out = output.out;
    const Style& style = output.outStyle;
    const MessageColor& color = on ? settings.EnabledColor : settings.DisabledColor;
    const std::wstring text = (on ? settings.EnabledMessage : settings.DisabledMessage).ToWide();
    out << style.Paint(on ? "When the weekend rates switch on" : "When they switch back", Tone::Bold)
        << ", every connected player sees:\n";
    if (settings.Notification) {
        const std::optional<std::wstring> formatted = FormatPattern(std::wstring_view(text));
        const std::string shown = Utf8(formatted.value_or(text));
        out << fmt::format("  notification: {}\n                in colour {}, scale 1.2, for 8 s{}\n",
                           style.PaintRgb("\"" + shown + "\"", color.R, color.G, color.B),
                           FormatColor({color.R, color.G, color.B, color.A}),
                           formatted ? "" : " (not a valid pattern: shown as written)");
    } else {
        out << "  no notification (Notification is false)\n";
    }
    if (settings.Chatbox) {
        const std::string line = Utf8(FormatChatLine(color, text));
        out << fmt::format("  chat line:    [{}] {}\n", settings.ServerName.ToUtf8(), RenderRichColor(line, style));
        if (style.Colour()) out << fmt::format("                as sent: {}\n", line);
    } else {
        out << "  no chat line (Chatbox is false)\n";
    }
}

} // namespace

int RunPreview(const PreviewOptions& options, Output& output)
{
    const CheckReport report = CheckConfig(options.config);
    PrintDiagnostics(report, output.err, output.errStyle);
    if (report.HasErrors()) {
        PrintVerdict(report, output.err, output.errStyle);
        return kConfigErrors;
    }
    const EvaluationTiming timing = StandInTiming();
    const WeekCalendar calendar =
        BuildCalendar(report.settings->StartDay, report.settings->EndDay, options.serverStart, options.days, timing);

    PrintCalendar(report, options, calendar, timing, output);
    PrintMultipliers(report, output);
    PrintMessageOfTheDay(*report.settings, output);
    PrintAnnouncement(*report.settings, true, output);
    PrintAnnouncement(*report.settings, false, output);
    return kSuccess;
}

} // namespace qvtool
