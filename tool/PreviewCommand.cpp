// Everything shown comes from the plug-in's own code: the decoded config with its windows' values,
// the window rule, and the patterns that build the notification and the chat line.
#include "tool/PreviewCommand.h"

#include <fmt/format.h>

#include "plugin/config/Config.h"
#include "plugin/config/Windows.h"
#include "plugin/host/Framework.h"
#include "plugin/messaging/Patterns.h"
#include "plugin/rates/Reminders.h"
#include "tool/Calendar.h"
#include "tool/CheckCommand.h"
#include "tool/Simulation.h"
#include "tool/Timeline.h"
#include "util/Utf.h"

namespace qvtool {

namespace {

using namespace qv;

std::string Utf8(const std::wstring& wide) { return util::WideToUtf8(wide); }

void PrintHeading(const PreviewOptions& options, const Config& config, const WeekCalendar& calendar,
                  const EvaluationTiming& timing, bool timesOfDay, Output& output)
{
    std::ostream& out = output.out;
    out << output.outStyle.Paint(fmt::format("Preview of {} for a server started {}, {} day{}", options.config,
                                             FormatReadable(options.serverStart), options.days,
                                             options.days == 1 ? "" : "s"),
                                 Tone::Bold)
        << "\n";
    if (config.Zone) out << fmt::format("Every time is in {} (the config's TimeZone).\n", config.Zone->Name);
    out << DescribeTiming(timing, timesOfDay, config.ExactSwitching, options.verbose) << "\n";
    out << fmt::format("Started at {}, the plug-in first evaluates at {}.\n\n", FormatReadable(options.serverStart),
                       FormatReadable(calendar.firstEvaluation));
}

// The midnight that ends day i. Each costs the C library a look at the zone's file, so the calendar's
// own are used where it has them.
Seconds DayEnd(const WeekCalendar& calendar, std::size_t i)
{
    return i + 1 < calendar.days.size() ? calendar.days[i + 1].midnight : NextLocalMidnight(calendar.days[i].midnight);
}

void PrintCalendar(const CheckReport& report, const PreviewOptions& options, const WeekCalendar& calendar,
                   const EvaluationTiming& timing, Output& output)
{
    const Style& style = output.outStyle;
    std::ostream& out = output.out;
    PrintHeading(options, *report.config, calendar, timing, false, output);
    out << fmt::format("Weekend rates on {} (StartDay {}, EndDay {})\n\n",
                       OpenDaysText(report.config->StartDay, report.config->EndDay), report.config->StartDay,
                       report.config->EndDay);

    auto change = calendar.switches.begin();
    for (std::size_t i = 0; i < calendar.days.size(); ++i) {
        const CalendarDay& day = calendar.days[i];
        const Seconds end = DayEnd(calendar, i);
        std::string moment;
        for (; change != calendar.switches.end() && change->when < end; ++change) {
            moment = fmt::format("{} at {}", change->toWeekend ? "switch on" : "switch back",
                                 FormatIso(change->when).substr(11));
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

std::string Name(const Window* window) { return std::string(window->Id.DisplayName()); }

std::string Names(const std::vector<const Window*>& windows)
{
    std::vector<std::string> names;
    for (const Window* window : windows) names.push_back(Name(window));
    return JoinedWithAnd(names);
}

std::string ReminderShown(const Config& config, const Window* window, std::int32_t minutes)
{
    const std::wstring pattern = ReminderPattern(config);
    const std::optional<std::wstring> formatted = FormatReminder(pattern, minutes, Framework::Utf8Decode(Name(window)));
    return Utf8(formatted.value_or(pattern));
}

// What the plug-in does at one evaluation: "switch on     Evening", "reminder      \"...\"".
struct Happening {
    Seconds when;
    std::string what;
};

std::vector<Happening> Happenings(const Config& config, const WeekCalendar& calendar, const Style& style)
{
    std::vector<Happening> happenings;
    for (const SwitchMoment& change : calendar.switches) {
        std::string what;
        if (!change.window) {
            what = fmt::format("switch back   normal rates ({} over)", Name(change.previous));
        } else {
            what = fmt::format("{}{}", change.previous ? "switch to     " : "switch on     ",
                               style.Paint(Name(change.window), Tone::Good));
            if (change.previous) what += fmt::format(" (from {})", Name(change.previous));
            if (!change.alsoOpen.empty()) {
                what += fmt::format(", which wins over {}, open too", Names(change.alsoOpen));
            }
        }
        happenings.push_back({change.when, std::move(what)});
    }
    for (const ReminderMoment& reminder : calendar.reminders) {
        happenings.push_back({reminder.when, fmt::format("reminder      \"{}\"",
                                                         ReminderShown(config, reminder.window, reminder.minutes))});
    }
    // A switch and a reminder at one evaluation come in the plug-in's order: the switch first.
    std::stable_sort(happenings.begin(), happenings.end(),
                     [](const Happening& a, const Happening& b) { return a.when < b.when; });
    return happenings;
}

void PrintWindowCalendar(const Config& config, const PreviewOptions& options, const WeekCalendar& calendar,
                         const EvaluationTiming& timing, Output& output)
{
    const Style& style = output.outStyle;
    std::ostream& out = output.out;
    PrintHeading(options, config, calendar, timing, true, output);
    out << "Windows, in the order that decides which is in force (the first open one):\n";
    const std::string weekly = Name(&config.Weekly);
    std::size_t width = weekly.size();
    for (const Window& schedule : config.Schedules) width = std::max(width, schedule.Id.ScheduleName().size());
    for (const Window& schedule : config.Schedules) {
        out << fmt::format("  {:<{}}   {}\n", schedule.Id.ScheduleName(), width, ScheduleText(schedule));
    }
    out << fmt::format("  {:<{}}   {}\n\n", weekly, width, WeeklyWindowText(config));

    const std::vector<Happening> happenings = Happenings(config, calendar, style);
    auto next = happenings.begin();
    const Window* inForce = nullptr;
    auto switches = calendar.switches.begin();
    for (std::size_t i = 0; i < calendar.days.size(); ++i) {
        const CalendarDay& day = calendar.days[i];
        for (; switches != calendar.switches.end() && switches->when < day.midnight; ++switches) {
            inForce = switches->window;
        }
        out << fmt::format("  {} {}   {}\n", ShortWeekdayName(day.weekday), FormatDate(day.midnight),
                           inForce ? style.Paint(Name(inForce) + " rates", Tone::Good) : std::string("normal rates"));
        for (const Seconds end = DayEnd(calendar, i); next != happenings.end() && next->when < end; ++next) {
            out << fmt::format("      {}   {}\n", FormatIso(next->when).substr(11), next->what);
        }
    }
    if (calendar.switches.empty()) out << "  No window comes into force in these days.\n";
    out << "\n";
}

void PrintWindows(const CheckReport& report, Output& output)
{
    const Config& config = *report.config;
    if (config.Schedules.empty()) return;
    std::ostream& out = output.out;
    const Style& style = output.outStyle;
    out << style.Paint("Windows' rates and texts", Tone::Bold)
        << " (texts a window does not set are the main section's, below)\n";
    for (const Window& schedule : config.Schedules) {
        out << "  " << style.Paint(schedule.Id.ScheduleName(), Tone::Good) << "\n";
        out << "    rates: " << WindowRatesText(schedule) << "\n";
        const auto text = [&](const char* label, const std::optional<FString>& own,
                              const std::optional<MessageColor>& color) {
            if (!own && !color) return;
            std::string line = own ? "\"" + own->ToUtf8() + "\"" : std::string("the main section's text");
            if (color) {
                line = style.PaintRgb(line, color->R, color->G, color->B) +
                       fmt::format(" in colour {}", FormatColor({color->R, color->G, color->B, color->A}));
            }
            out << fmt::format("    {:<20}{}\n", label, line);
        };
        text("switch on:", schedule.EnabledMessage, schedule.EnabledColor);
        text("switch back:", schedule.DisabledMessage, schedule.DisabledColor);
        text("message of the day:", schedule.WeekendMOTD, std::nullopt);
    }
    out << "\n";
}

void PrintReminders(const Config& settings, Output& output)
{
    if (settings.Reminders.empty()) return;
    output.out << output.outStyle.Paint("Reminders", Tone::Bold)
               << fmt::format(" {} minutes before a window comes into force, at the first evaluation at or after "
                              "that moment, as {} in the window's switch-on colour:\n  \"{}\"\n\n",
                              LeadsText(settings.Reminders),
                              settings.Notification && settings.Chatbox ? "notification and chat line"
                              : settings.Notification                   ? "notification"
                              : settings.Chatbox                        ? "chat line"
                                                 : "nothing (Notification and Chatbox are false)",
                              Utf8(ReminderPattern(settings)));
}

void PrintMultipliers(const CheckReport& report, Output& output)
{
    std::ostream& out = output.out;
    const WindowRates& rates = report.config->Weekly.Rates;
    out << output.outStyle.Paint("Weekend multipliers", Tone::Bold)
        << " (written when the weekend starts; the values in force before come back when it ends"
        << (report.config->RelativeRates ? "; x2 is twice the server's normal value" : "") << ")\n";
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        const MultiplierRow& entry = WeekendMultiplierTable[row];
        const float value = rates.Values[row];
        std::string shown = value == 0.0f ? std::string("unchanged")
                                          : fmt::format("{}{:g}", rates.Relative.test(row) ? "x" : "", value);
        if (entry.WholeNumber && !rates.Own.test(row)) shown += "  (not set)";
        out << fmt::format("  {:<34} {}\n", entry.Key, shown);
    }
    out << "\n";
}

void PrintMessageOfTheDay(const Config& settings, Output& output)
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

void PrintAnnouncement(const Config& settings, bool on, Output& output)
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
    const CheckReport report = CheckBeforeUse(options.config, output.err, output.errStyle);
    if (report.HasErrors()) return kConfigErrors;
    const Config& settings = *report.config;
    const EvaluationTiming timing = StandInTiming();
    const WeekCalendar calendar = BuildCalendar(settings, options.serverStart, options.days, timing);

    // A file of whole days keeps its calendar of days; times, schedules and reminders need moments.
    if (UsesTimesOfDay(settings) || !settings.Reminders.empty()) {
        PrintWindowCalendar(settings, options, calendar, timing, output);
        PrintWindows(report, output);
        PrintReminders(settings, output);
    } else {
        PrintCalendar(report, options, calendar, timing, output);
    }
    PrintMultipliers(report, output);
    PrintMessageOfTheDay(settings, output);
    PrintAnnouncement(settings, true, output);
    PrintAnnouncement(settings, false, output);
    if (!settings.StatusCommand.empty()) {
        output.out << "\n"
                   << output.outStyle.Paint("Status command", Tone::Bold)
                   << fmt::format(": any player who types {} is told which rates are on and until when, or which "
                                  "window comes next\n",
                                  settings.StatusCommand);
    }
    return kSuccess;
}

} // namespace qvtool
