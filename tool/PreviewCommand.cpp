// Everything shown comes from the plug-in's own code: the decoded config with its windows' values,
// the window rule, and the patterns that build the notification and the chat line.
#include "tool/PreviewCommand.h"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include "plugin/config/Config.h"
#include "plugin/config/JoinMessages.h"
#include "plugin/config/Windows.h"
#include "plugin/host/Framework.h"
#include "plugin/messaging/Patterns.h"
#include "tool/Calendar.h"
#include "tool/CheckCommand.h"
#include "tool/Simulation.h"
#include "tool/Timeline.h"
#include "util/CivilDate.h"
#include "util/Utf.h"

namespace qvtool {

namespace {

using namespace qv;

std::string Utf8(const std::wstring& wide) { return util::WideToUtf8(wide); }

void PrintHeading(const PreviewOptions& options, const CheckReport& report, const WeekCalendar& calendar,
                  const EvaluationTiming& timing, bool timesOfDay, Output& output)
{
    const Config& config = *report.Config;
    const LocalClock clock = ClockOf(config);
    std::ostream& out = output.Out;
    out << output.OutStyle.Paint(fmt::format("Preview of {} for a server started {}, {} day{}", options.Config,
                                             FormatReadable(clock, options.ServerStart), options.Days,
                                             options.Days == 1 ? "" : "s"),
                                 Tone::Bold)
        << "\n";
    // What follows is what the plug-in does without the misspelt member, which may be far from meant.
    if (const std::string misspelt = MisspeltText(report); !misspelt.empty()) {
        out << output.OutStyle.Paint("Warning: ", Tone::Warning) << "the plug-in " << misspelt
            << "; what follows is what it does without it.\n";
    }
    if (config.Zone) {
        out << fmt::format("Every time is in {} (the config's TimeZone).\n", config.Zone->Name);
    } else {
        out << ZoneNote(config) << "\n";
    }
    out << DescribeTiming(timing, timesOfDay, config.ExactSwitching, options.Verbose) << "\n";
    out << fmt::format("Started at {}, the plug-in first evaluates at {}.\n\n",
                       FormatReadable(clock, options.ServerStart), FormatReadable(clock, calendar.FirstEvaluation));
}

// The midnight that ends day i. Each costs the host's runtime several looks at the zone's file, so
// the calendar's own are used where it has them.
Instant DayEnd(const LocalClock& clock, const WeekCalendar& calendar, std::size_t i)
{
    return i + 1 < calendar.Days.size() ? calendar.Days[i + 1].Midnight
                                        : NextLocalMidnight(clock, calendar.Days[i].Midnight);
}

void PrintCalendar(const CheckReport& report, const PreviewOptions& options, const WeekCalendar& calendar,
                   const EvaluationTiming& timing, Output& output)
{
    const LocalClock clock = ClockOf(*report.Config);
    const Style& style = output.OutStyle;
    std::ostream& out = output.Out;
    PrintHeading(options, report, calendar, timing, false, output);
    const WindowId& weekly = report.Config->Weekly.Id;
    out << fmt::format(
        "{} rates on {} (StartDay {}, EndDay {})\n\n", weekly.RenamedWeekly() ? weekly.DisplayName() : "Weekend",
        OpenDaysText(report.Config->StartDay, report.Config->EndDay), report.Config->StartDay, report.Config->EndDay);

    auto change = calendar.Switches.begin();
    for (std::size_t i = 0; i < calendar.Days.size(); ++i) {
        const CalendarDay& day = calendar.Days[i];
        const Instant end = DayEnd(clock, calendar, i);
        std::string moment;
        for (; change != calendar.Switches.end() && change->When < end; ++change) {
            moment = fmt::format("{} at {}", change->ToWeekend ? "switch on" : "switch back",
                                 FormatIso(clock, change->When).substr(11));
        }
        std::string line =
            fmt::format("  {} {}   {}   {}", util::ShortWeekdayName(day.Weekday), FormatDate(clock, day.Midnight),
                        day.WeekendRates ? style.Paint("weekend", Tone::Good) : std::string("normal "), moment);
        line.erase(line.find_last_not_of(' ') + 1);
        out << line << '\n';
    }
    if (!calendar.EverOpen) out << "  The window is open on no weekday: the weekend rates never switch on.\n";
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
    Instant When;
    std::string What;
};

std::vector<Happening> Happenings(const Config& config, const WeekCalendar& calendar, const Style& style)
{
    std::vector<Happening> happenings;
    for (const SwitchMoment& change : calendar.Switches) {
        std::string what;
        if (!change.Window) {
            what = fmt::format("switch back   normal rates ({} over)", Name(change.Previous));
        } else {
            what = fmt::format("{}{}", change.Previous ? "switch to     " : "switch on     ",
                               style.Paint(Name(change.Window), Tone::Good));
            if (change.Previous) what += fmt::format(" (from {})", Name(change.Previous));
            if (!change.AlsoOpen.empty()) {
                what += fmt::format(", which wins over {}, open too", Names(change.AlsoOpen));
            }
        }
        happenings.push_back({change.When, std::move(what)});
    }
    for (const ReminderMoment& reminder : calendar.Reminders) {
        happenings.push_back({reminder.When, fmt::format("reminder      \"{}\"",
                                                         ReminderShown(config, reminder.Window, reminder.Minutes))});
    }
    // A switch and a reminder at one evaluation come in the plug-in's order: the switch first.
    std::stable_sort(happenings.begin(), happenings.end(),
                     [](const Happening& a, const Happening& b) { return a.When < b.When; });
    return happenings;
}

void PrintWindowCalendar(const CheckReport& report, const PreviewOptions& options, const WeekCalendar& calendar,
                         const EvaluationTiming& timing, Output& output)
{
    const Config& config = *report.Config;
    const LocalClock clock = ClockOf(config);
    const Style& style = output.OutStyle;
    std::ostream& out = output.Out;
    PrintHeading(options, report, calendar, timing, true, output);
    out << "Windows, in the order that decides which is in force (the first open one):\n";
    const std::vector<const Window*> windows = WindowsInOrder(config);
    const bool priorities = UsesPriorities(config);
    std::size_t width = 0;
    for (const Window* window : windows) width = std::max(width, Name(window).size());
    for (const Window* window : windows) {
        out << fmt::format("  {:<{}}   {}{}\n", Name(window), width,
                           window->Id.IsWeekly() ? WeeklyWindowText(config) : ScheduleText(*window),
                           priorities ? fmt::format(" (Priority {})", window->Priority.Value) : std::string());
    }
    out << "\n";

    const std::vector<Happening> happenings = Happenings(config, calendar, style);
    auto next = happenings.begin();
    const Window* inForce = nullptr;
    auto switches = calendar.Switches.begin();
    for (std::size_t i = 0; i < calendar.Days.size(); ++i) {
        const CalendarDay& day = calendar.Days[i];
        for (; switches != calendar.Switches.end() && switches->When < day.Midnight; ++switches) {
            inForce = switches->Window;
        }
        out << fmt::format("  {} {}   {}\n", util::ShortWeekdayName(day.Weekday), FormatDate(clock, day.Midnight),
                           inForce ? style.Paint(Name(inForce) + " rates", Tone::Good) : std::string("normal rates"));
        for (const Instant end = DayEnd(clock, calendar, i); next != happenings.end() && next->When < end; ++next) {
            out << fmt::format("      {}   {}\n", FormatIso(clock, next->When).substr(11), next->What);
        }
    }
    if (calendar.Switches.empty()) out << "  No window comes into force in these days.\n";
    out << "\n";
}

void PrintWindows(const CheckReport& report, Output& output)
{
    const Config& config = *report.Config;
    if (config.Schedules.empty()) return;
    std::ostream& out = output.Out;
    const Style& style = output.OutStyle;
    out << style.Paint("Windows' rates and texts", Tone::Bold)
        << " (what a window takes from the main section is marked)\n";
    for (const Window* window : WindowsInOrder(config)) {
        if (window->Id.IsWeekly()) continue;
        const Window& schedule = *window;
        out << "  " << style.Paint(schedule.Id.ScheduleName(), Tone::Good) << "\n";
        out << "    rates: " << WindowRatesText(schedule) << "\n";
        const auto text = [&](const char* label, const std::optional<FString>& own, const FString& main,
                              const std::optional<MessageColor>& ownColor, const MessageColor* mainColor) {
            std::string line = "\"" + (own ? *own : main).ToUtf8() + "\"";
            std::vector<std::string> borrowed;
            if (!own) borrowed.emplace_back("text");
            if (mainColor != nullptr) {
                const MessageColor& color = ownColor ? *ownColor : *mainColor;
                line = style.PaintRgb(line, color.R, color.G, color.B) +
                       fmt::format(" in colour {}", FormatColor({color.R, color.G, color.B, color.A}));
                if (!ownColor) borrowed.emplace_back("colour");
            }
            if (!borrowed.empty()) line += fmt::format(" (the main section's {})", fmt::join(borrowed, " and "));
            out << fmt::format("    {:<20}{}\n", label, line);
        };
        text("switch on:", schedule.EnabledMessage, config.EnabledMessage, schedule.EnabledColor, &config.EnabledColor);
        text("switch back:", schedule.DisabledMessage, config.DisabledMessage, schedule.DisabledColor,
             &config.DisabledColor);
        if (config.MOTDChangeEnabled)
            text("message of the day:", schedule.WeekendMOTD, config.WeekendMOTD, {}, nullptr);
    }
    out << "\n";
}

// How reminders and welcomes reach players.
const char* ChannelsText(const Config& settings)
{
    return settings.Notification && settings.Chatbox ? "notification and chat line"
           : settings.Notification                   ? "notification"
           : settings.Chatbox                        ? "chat line"
                                                     : "nothing (Notification and Chatbox are false)";
}

void PrintReminders(const Config& settings, Output& output)
{
    if (settings.Reminders.empty()) return;
    output.Out << output.OutStyle.Paint("Reminders", Tone::Bold)
               << fmt::format(" {} minutes before a window comes into force, at the first evaluation at or after "
                              "that moment, as {} in the window's switch-on colour:\n  \"{}\"\n\n",
                              LeadsText(settings.Reminders), ChannelsText(settings), Utf8(ReminderPattern(settings)));
}

// What a player who joins is shown, with the time left, which depends on the moment of joining, as a
// placeholder.
void PrintWelcome(const Config& settings, Output& output)
{
    PrintWelcomes(settings, output.Out, output.OutStyle, [](const Window& window, const FString& text) {
        const std::wstring name = Framework::Utf8Decode(std::string(window.Id.DisplayName()));
        const std::wstring pattern = text.ToWide();
        return Utf8(FormatWelcome(pattern, name, L"[time left]").value_or(pattern));
    });
    if (!HasWelcomes(settings)) return;
    output.Out << fmt::format("  as {}, in the window's switch-on colour\n\n", ChannelsText(settings));
}

void PrintMultipliers(const CheckReport& report, Output& output)
{
    std::ostream& out = output.Out;
    const WindowRates& rates = report.Config->Weekly.Rates;
    out << output.OutStyle.Paint("Weekend multipliers", Tone::Bold)
        << " (written when the weekend starts; the values in force before come back when it ends"
        << (report.Config->RelativeRates ? "; x2 is twice the server's normal value" : "") << ")\n";
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
    std::ostream& out = output.Out;
    out << output.OutStyle.Paint("Message of the day", Tone::Bold) << "\n";
    if (!settings.MOTDChangeEnabled) {
        out << "  not changed (MOTDChangeEnabled is false)\n\n";
        return;
    }
    out << fmt::format("  weekend: \"{}\"\n  normal:  \"{}\"\n\n", settings.WeekendMOTD.ToUtf8(),
                       settings.NormalMOTD.ToUtf8());
}

void PrintAnnouncement(const Config& settings, bool on, Output& output)
{
    std::ostream& out = output.Out;
    const Style& style = output.OutStyle;
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
    const CheckReport report = CheckBeforeUse(options.Config, output.Err, output.ErrStyle);
    if (report.HasErrors()) return kConfigErrors;
    const Config& settings = *report.Config;
    const EvaluationTiming timing = StandInTiming();
    const WeekCalendar calendar = BuildCalendar(settings, options.ServerStart, options.Days, timing);

    // A file of whole days keeps its calendar of days; times, schedules and reminders need moments.
    if (UsesTimesOfDay(settings) || !settings.Reminders.empty()) {
        PrintWindowCalendar(report, options, calendar, timing, output);
        PrintWindows(report, output);
        PrintReminders(settings, output);
    } else {
        PrintCalendar(report, options, calendar, timing, output);
    }
    PrintWelcome(settings, output);
    PrintMultipliers(report, output);
    PrintMessageOfTheDay(settings, output);
    PrintAnnouncement(settings, true, output);
    PrintAnnouncement(settings, false, output);
    if (!settings.StatusCommand.empty()) {
        output.Out << "\n"
                   << output.OutStyle.Paint("Status command", Tone::Bold)
                   << fmt::format(": any player who types {} is told which rates are on and until when, or which "
                                  "window comes next\n",
                                  settings.StatusCommand);
    }
    return kSuccess;
}

} // namespace qvtool
