// The check reads with the plug-in's own decoding; only the verdict's wording is the tool's.
#include "tool/CheckCommand.h"

#include <stdexcept>

#include <fmt/format.h>
#include <fmt/ranges.h>

#include "plugin/config/ConfigParser.h"
#include "plugin/config/JoinMessages.h"
#include "plugin/config/LoadConfig.h"
#include "plugin/config/Windows.h"
#include "plugin/host/Clock.h"
#include "plugin/schedule/DayRule.h"
#include "plugin/schedule/Openings.h"
#include "plugin/schedule/Timetable.h"
#include "tool/MachineZone.h"
#include "util/CivilDate.h"

namespace qvtool {

namespace {

using namespace qv;

std::vector<std::string> Described(const std::string& file, const ConfigProblems& problems)
{
    std::vector<std::string> lines;
    for (const ConfigProblem& problem : problems) lines.push_back(Describe(file, problem));
    return lines;
}

// An interval or period raised above 1 (or multiplied by more than 1) slows the game down, which
// "2 for double rates" does not mean.
std::vector<std::string> SlowerIntervals(const std::string& file, const Config& config)
{
    std::vector<std::string> notes;
    const auto note = [&](const Window& window, const std::string& path) {
        for (std::size_t row = 0; row < kMultiplierCount; ++row) {
            const MultiplierRow& entry = WeekendMultiplierTable[row];
            if (!entry.HigherIsSlower || !window.Rates.Own.test(row) || window.Rates.Values[row] <= 1.0f) continue;
            notes.push_back(fmt::format(
                "{}: {}.{} is {}{:g}: for interval and period multipliers (mating interval, egg laying, resource "
                "respawn) higher means slower, longer waits; write a value below 1 to speed them up",
                file, path, entry.Key, window.Rates.Relative.test(row) ? "x" : "", window.Rates.Values[row]));
        }
    };
    for (std::size_t i = 0; i < config.Schedules.size(); ++i) {
        note(config.Schedules[i], fmt::format("{}.Schedules[{}]", kSectionName, i));
    }
    note(config.Weekly, kSectionName);
    return notes;
}

} // namespace

CheckReport CheckConfig(const std::string& file)
{
    ConfigLoad load = ReadConfigFile(file, Clock::Now());
    CheckReport report;
    report.File = file;
    report.SettingsErrors = Described(file, load.Decoded.Errors);
    report.WeekendErrors = Described(file, load.Decoded.RateProblems);
    report.Warnings = Described(file, load.Decoded.Warnings);
    const std::string section = SectionMember("");
    for (const ConfigProblem& warning : load.Decoded.Warnings) {
        if (!IsNearMiss(warning)) break;
        const bool inSection = warning.Member.compare(0, section.size(), section) == 0;
        report.Misspelt.emplace_back(inSection ? warning.Member.substr(section.size()) : warning.Member,
                                     warning.Suggestion);
    }
    report.Config = std::move(load.Decoded.Value);
    if (report.Config) report.Notes = SlowerIntervals(file, *report.Config);
    return report;
}

LocalClock ConfigClock(const CheckReport& report) { return report.Config ? ClockOf(*report.Config) : LocalClock(); }

std::string OpenDaysText(std::int32_t startDay, std::int32_t endDay)
{
    std::string days;
    // Listed from the start day on, so that a window across the week's end reads in order.
    const int first = ((startDay % 7) + 7) % 7;
    for (int i = 0; i < 7; ++i) {
        const int weekday = (first + i) % 7;
        if (qv::IsWindowOpen(startDay, endDay, weekday))
            days += (days.empty() ? "" : ", ") + std::string(util::WeekdayName(weekday));
    }
    return days.empty() ? "no day" : days;
}

std::string WeeklyStretches(const Config& config)
{
    // The weekly window alone, over one week from a Sunday midnight (2023-01-01 was a Sunday).
    const Timetable weekly{&config.Weekly.Times};
    const WallTime sunday{Days{util::DaysFromCivil(2023, 1, 1)}};
    WallTime closed = sunday;
    if (IsOpenAt(config.Weekly.Times, sunday)) {
        const std::optional<TimetableChange> closing = NextChange(weekly, sunday);
        if (!closing) return "all week";
        closed = closing->At;
    }
    const auto moment = [](WallTime wall) {
        const LocalTime at = FromWallTime(wall);
        return fmt::format("{} {}", util::WeekdayName(at.Weekday), FormatTimeOfDay(at.Hour * 60 + at.Minute));
    };
    std::string stretches;
    for (WallTime cursor = closed;;) {
        const std::optional<TimetableChange> opening = NextChange(weekly, cursor);
        if (!opening || opening->At >= closed + Weeks{1}) break;
        const std::optional<TimetableChange> closing = NextChange(weekly, opening->At);
        cursor = closing ? closing->At : opening->At + Weeks{1};
        stretches +=
            fmt::format("{}from {} to {}", stretches.empty() ? "" : " and ", moment(opening->At), moment(cursor));
    }
    return stretches.empty() ? "on no day" : stretches;
}

std::string JoinedWithAnd(const std::vector<std::string>& items)
{
    std::string joined;
    for (std::size_t i = 0; i < items.size(); ++i) {
        joined += (i == 0 ? "" : i + 1 == items.size() ? " and " : ", ") + items[i];
    }
    return joined;
}

std::string LeadsText(const std::vector<std::int32_t>& minutes)
{
    std::vector<std::string> leads;
    for (const std::int32_t lead : minutes) leads.push_back(std::to_string(lead));
    return JoinedWithAnd(leads);
}

std::string WeeklyWindowText(const Config& config)
{
    if (config.StartTime.Minutes == 0 && config.EndTime.Minutes == 0) {
        return fmt::format("on {} (StartDay {}, EndDay {})", OpenDaysText(config.StartDay, config.EndDay),
                           config.StartDay, config.EndDay);
    }
    return fmt::format("{} (StartDay {}, StartTime {}, EndDay {}, EndTime {})", WeeklyStretches(config),
                       config.StartDay, FormatTimeOfDay(config.StartTime.Minutes), config.EndDay,
                       FormatTimeOfDay(config.EndTime.Minutes));
}

std::string ScheduleText(const Window& schedule)
{
    if (const auto* span = std::get_if<DatedSpan>(&schedule.Times)) {
        return fmt::format("from {} to {}", FormatWallTime(span->Start), FormatWallTime(span->End));
    }
    const WeeklyHours hours = std::get<WeeklyHours>(schedule.Times);
    std::string days;
    for (int weekday = 0; weekday < 7; ++weekday) {
        if ((hours.Days & (1u << weekday)) != 0) {
            days += (days.empty() ? "" : ", ") + std::string(util::WeekdayName(weekday));
        }
    }
    return fmt::format("{} from {} to {}{}", days.empty() ? "no day" : days, FormatTimeOfDay(hours.From),
                       FormatTimeOfDay(hours.Until), hours.Until <= hours.From ? " the next day" : "");
}

std::string WindowsText(const Config& config)
{
    const WindowId& weekly = config.Weekly.Id;
    std::string text = (weekly.RenamedWeekly() ? std::string(weekly.DisplayName()) + " rates " : "weekend rates ") +
                       WeeklyWindowText(config);
    const std::size_t more = config.Schedules.size();
    if (more != 0 && !UsesPriorities(config)) {
        std::string names;
        for (const Window& schedule : config.Schedules) {
            names += (names.empty() ? "\"" : ", \"") + schedule.Id.ScheduleName() + "\"";
        }
        text += fmt::format("; {} more window{}, which win{} over it in this order: {}", more, more == 1 ? "" : "s",
                            more == 1 ? "s" : "", names);
    } else if (more != 0) {
        std::vector<std::string> names;
        for (const Window* window : WindowsInOrder(config)) {
            names.push_back(
                (window->Id.IsWeekly() ? "the weekly window" : "\"" + window->Id.ScheduleName() + "\"") +
                (window->Priority.Value != 0 ? fmt::format(" (Priority {})", window->Priority.Value) : std::string()));
        }
        text += fmt::format("; {} more window{}; in the order that decides which is in force: {}", more,
                            more == 1 ? "" : "s", fmt::join(names, ", "));
    }
    if (!config.Reminders.empty()) {
        text += "; reminders " + LeadsText(config.Reminders) + " minutes before a window comes into force";
    }
    if (!config.StatusCommand.empty()) text += "; status command " + config.StatusCommand + " for every player";
    return text;
}

std::string MisspeltText(const CheckReport& report)
{
    constexpr std::size_t kMostNamed = 3;
    std::vector<std::string> named;
    for (std::size_t i = 0; i < report.Misspelt.size() && i < kMostNamed; ++i) {
        const auto& [member, meant] = report.Misspelt[i];
        named.push_back(fmt::format("\"{}\" (did you mean \"{}\"?)", Excerpt(member), meant));
    }
    if (report.Misspelt.size() > kMostNamed) {
        named.push_back(fmt::format("{} more misspelt members", report.Misspelt.size() - kMostNamed));
    }
    return named.empty() ? std::string() : "ignores " + JoinedWithAnd(named);
}

std::string ZoneNote(const Config& config) { return config.Zone ? std::string() : MachineTimeNote(); }

void PrintDiagnostics(const CheckReport& report, std::ostream& diagnostics, const Style& style, bool quiet)
{
    // A misspelt member can undo a whole setting, and explain the errors below: it comes first.
    const std::size_t misspelt = quiet ? 0 : report.Misspelt.size();
    for (std::size_t i = 0; i < misspelt; ++i) {
        diagnostics << style.Paint("warning: ", Tone::Warning) << report.Warnings[i] << '\n';
    }
    for (const auto& error : report.SettingsErrors) diagnostics << style.Paint("error: ", Tone::Error) << error << '\n';
    for (const auto& error : report.WeekendErrors) diagnostics << style.Paint("error: ", Tone::Error) << error << '\n';
    if (quiet) return;
    // A file can hold any number of mistakes; a screenful of them says enough.
    constexpr std::size_t kMostPrinted = 40;
    for (std::size_t i = misspelt; i < report.Warnings.size() && i < kMostPrinted; ++i) {
        diagnostics << style.Paint("warning: ", Tone::Warning) << report.Warnings[i] << '\n';
    }
    if (report.Warnings.size() > kMostPrinted) {
        diagnostics << style.Paint("warning: ", Tone::Warning) << report.File << ": "
                    << report.Warnings.size() - kMostPrinted << " more warnings\n";
    }
    for (const auto& note : report.Notes) diagnostics << style.Paint("note: ", Tone::Dim) << note << '\n';
}

void PrintVerdict(const CheckReport& report, std::ostream& out, const Style& style, bool strict)
{
    const std::size_t errors = report.SettingsErrors.size() + report.WeekendErrors.size();
    std::string counts = fmt::format("{} error{}, {} warning{}", errors, errors == 1 ? "" : "s", report.Warnings.size(),
                                     report.Warnings.size() == 1 ? "" : "s");
    if (strict && !report.Warnings.empty()) counts += "; with --strict, warnings fail the check";
    const std::string misspelt = MisspeltText(report);
    if (report.Refused()) {
        out << report.File << ": " << style.Paint("refused", Tone::Error)
            << ": the plug-in would not load this file and would keep the settings in force"
            << (misspelt.empty() ? "" : ", and it " + misspelt) << " (" << counts << ")\n";
        return;
    }
    const std::string window = WindowsText(*report.Config);
    if (!report.WeekendErrors.empty()) {
        out << report.File << ": " << style.Paint("loads, but the weekend rates cannot switch on", Tone::Error)
            << " until the weekend values are fixed" << (misspelt.empty() ? "" : ", and it " + misspelt) << "; "
            << window << " (" << counts << ")\n";
        return;
    }
    out << report.File << ": " << style.Paint("OK", Tone::Good) << ", the plug-in loads it"
        << (misspelt.empty() ? "" : ", but it " + misspelt) << "; " << window << " (" << counts << ")\n";
}

std::string WindowRatesText(const Window& window)
{
    const WindowRates& rates = window.Rates;
    if (!rates.Readable()) return "cannot be read; the window cannot come into force until they are fixed";
    std::vector<std::string> own, inherited, left;
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        const char* key = WeekendMultiplierTable[row].Key;
        if (rates.Values[row] == 0.0f) {
            left.emplace_back(key);
            continue;
        }
        (rates.Inherited.test(row) ? inherited : own)
            .push_back(fmt::format("{} {}{:g}", key, rates.Relative.test(row) ? "x" : "", rates.Values[row]));
    }
    const auto joined = [](const std::vector<std::string>& items) { return fmt::format("{}", fmt::join(items, ", ")); };
    std::vector<std::string> parts;
    if (!own.empty()) parts.push_back(joined(own));
    if (!inherited.empty()) parts.push_back("from the main section: " + joined(inherited));
    if (!left.empty()) parts.push_back("the game's own: " + joined(left));
    return fmt::format("{}", fmt::join(parts, "; "));
}

CheckReport CheckBeforeUse(const std::string& file, std::ostream& err, const Style& style, bool quiet)
{
    CheckReport report = CheckConfig(file);
    PrintDiagnostics(report, err, style, quiet);
    if (report.HasErrors()) PrintVerdict(report, err, style);
    return report;
}

void PrintWindowRates(const Config& config, std::ostream& out, const Style& style)
{
    const std::vector<const Window*> windows = WindowsInOrder(config);
    bool relative = false;
    std::size_t width = 0;
    for (const Window* window : windows) {
        relative = relative || window->Rates.Relative.any();
        width = std::max(width, window->Id.DisplayName().size());
    }
    out << style.Paint("Rates each window writes", Tone::Bold)
        << (relative ? " (x2: twice the server's normal value)" : "") << ":\n";
    for (const Window* window : windows) {
        out << fmt::format("  {:<{}}   {}\n", window->Id.DisplayName(), width, WindowRatesText(*window));
    }
}

std::vector<std::string> BorrowedTexts(const Config& config, const Window& schedule)
{
    std::vector<std::string> borrowed;
    const auto text = [&](const std::optional<FString>& own, FString Config::*field) {
        if (!own) borrowed.push_back(fmt::format("{} \"{}\"", KeyOf(field), Excerpt((config.*field).ToUtf8())));
    };
    const auto colour = [&](const std::optional<MessageColor>& own, MessageColor Config::*field) {
        if (!own) borrowed.emplace_back(KeyOf(field));
    };
    colour(schedule.EnabledColor, &Config::EnabledColor);
    text(schedule.EnabledMessage, &Config::EnabledMessage);
    colour(schedule.DisabledColor, &Config::DisabledColor);
    text(schedule.DisabledMessage, &Config::DisabledMessage);
    if (config.MOTDChangeEnabled) text(schedule.WeekendMOTD, &Config::WeekendMOTD);
    return borrowed;
}

void PrintBorrowedTexts(const Config& config, std::ostream& out, const Style& style)
{
    if (config.Schedules.empty()) return;
    std::size_t width = 0;
    for (const Window& schedule : config.Schedules) width = std::max(width, schedule.Id.ScheduleName().size());
    out << style.Paint("Texts and colours each window takes from the main section", Tone::Bold) << ":\n";
    for (const Window* window : WindowsInOrder(config)) {
        if (window->Id.IsWeekly()) continue;
        const std::vector<std::string> borrowed = BorrowedTexts(config, *window);
        out << fmt::format("  {:<{}}   {}\n", window->Id.ScheduleName(), width,
                           borrowed.empty() ? std::string("none") : fmt::format("{}", fmt::join(borrowed, ", ")));
    }
}

void PrintWelcomes(const Config& config, std::ostream& out, const Style& style,
                   const std::function<std::string(const Window&, const FString&)>& shown)
{
    if (!HasWelcomes(config)) return;
    std::size_t width = config.Weekly.Id.DisplayName().size();
    for (const Window& schedule : config.Schedules) width = std::max(width, schedule.Id.DisplayName().size());
    out << style.Paint("Welcome", Tone::Bold)
        << fmt::format(" to a player who joins while a window's rates are in force, {} s after joining:\n",
                       config.JoinMessageDelay.count());
    const auto line = [&](const Window& window) {
        const FString& text = JoinMessageOf(config, window);
        out << fmt::format("  {:<{}}   {}\n", window.Id.DisplayName(), width,
                           text.IsEmpty() ? std::string("none") : "\"" + shown(window, text) + "\"");
    };
    for (const Window& schedule : config.Schedules) line(schedule);
    line(config.Weekly);
}

int RunCheck(const std::string& file, bool strict, std::ostream& out, std::ostream& diagnostics, const Style& outStyle,
             const Style& diagnosticStyle)
{
    const CheckReport report = CheckConfig(file);
    PrintDiagnostics(report, diagnostics, diagnosticStyle);
    PrintVerdict(report, out, outStyle, strict);
    if (report.Config) {
        if (const std::string note = ZoneNote(*report.Config); !note.empty()) out << note << '\n';
        PrintWindowRates(*report.Config, out, outStyle);
        PrintBorrowedTexts(*report.Config, out, outStyle);
        PrintWelcomes(*report.Config, out, outStyle, [](const Window&, const FString& text) { return text.ToUtf8(); });
    }
    return report.HasErrors() || (strict && !report.Warnings.empty()) ? 1 : 0;
}

} // namespace qvtool
