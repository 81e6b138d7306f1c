// The check reads with the plug-in's own functions (ReadConfigSource, DecodeSettings,
// ReadWeekendValues, ProbableMistakes); only the verdict's wording is the tool's.
#include "tool/CheckCommand.h"

#include <stdexcept>

#include <fmt/format.h>

#include "plugin/commands/Registrations.h"
#include "plugin/config/LoadConfig.h"
#include "plugin/host/Clock.h"
#include "plugin/rates/ConfigWarnings.h"
#include "plugin/rates/WeekendWindow.h"
#include "tool/DateTime.h"

namespace qvtool {

namespace {

std::vector<std::string> Described(const std::string& file, ConfigProblems problems, const ConfigPlaces& places)
{
    Locate(problems, places);
    std::vector<std::string> lines;
    for (const ConfigProblem& problem : problems) lines.push_back(Describe(file, problem));
    return lines;
}

} // namespace

CheckReport CheckConfig(const std::string& file)
{
    CheckReport report;
    report.file = file;
    ConfigSource source = ReadConfigSource(file);
    if (!source.Problems.empty()) {
        report.settingsErrors = Described(file, std::move(source.Problems), source.Places);
        return report;
    }
    report.document = std::move(source.Document);

    ConfigProblems settingsErrors;
    report.settings = DecodeSettings(report.document, settingsErrors);
    if (report.settings) CheckCommandNames(*report.settings, settingsErrors);
    if (!settingsErrors.empty()) report.settings.reset();
    report.settingsErrors = Described(file, std::move(settingsErrors), source.Places);

    ConfigProblems sectionErrors;
    if (FindSection(report.document, sectionErrors) != nullptr) {
        ConfigProblems weekendErrors;
        report.weekend = ReadWeekendValues(report.document, weekendErrors);
        report.weekendErrors = Described(file, std::move(weekendErrors), source.Places);
    }
    report.warnings = Described(file, ProbableMistakes(report.document, Clock::LocalNowIfKnown()), source.Places);
    return report;
}

std::string OpenDaysText(std::int32_t startDay, std::int32_t endDay)
{
    std::string days;
    // Listed from the start day on, so that a window across the week's end reads in order.
    const int first = ((startDay % 7) + 7) % 7;
    for (int i = 0; i < 7; ++i) {
        const int weekday = (first + i) % 7;
        if (IsWindowOpen(startDay, endDay, weekday))
            days += (days.empty() ? "" : ", ") + std::string(WeekdayName(weekday));
    }
    return days.empty() ? "no day" : days;
}

void PrintDiagnostics(const CheckReport& report, std::ostream& diagnostics, const Style& style)
{
    for (const auto& error : report.settingsErrors) diagnostics << style.Paint("error: ", Tone::Error) << error << '\n';
    for (const auto& error : report.weekendErrors) diagnostics << style.Paint("error: ", Tone::Error) << error << '\n';
    // A file can hold any number of mistakes; a screenful of them says enough.
    constexpr std::size_t kMostPrinted = 40;
    for (std::size_t i = 0; i < report.warnings.size() && i < kMostPrinted; ++i) {
        diagnostics << style.Paint("warning: ", Tone::Warning) << report.warnings[i] << '\n';
    }
    if (report.warnings.size() > kMostPrinted) {
        diagnostics << style.Paint("warning: ", Tone::Warning) << report.file << ": "
                    << report.warnings.size() - kMostPrinted << " more warnings\n";
    }
}

void PrintVerdict(const CheckReport& report, std::ostream& out, const Style& style)
{
    const std::size_t errors = report.settingsErrors.size() + report.weekendErrors.size();
    const std::string counts = fmt::format("{} error{}, {} warning{}", errors, errors == 1 ? "" : "s",
                                           report.warnings.size(), report.warnings.size() == 1 ? "" : "s");
    if (report.Refused()) {
        out << report.file << ": " << style.Paint("refused", Tone::Error)
            << ": the plug-in would not load this file and would keep the settings in force (" << counts << ")\n";
        return;
    }
    const std::string window = fmt::format("weekend rates on {} (StartDay {}, EndDay {})",
                                           OpenDaysText(report.settings->StartDay, report.settings->EndDay),
                                           report.settings->StartDay, report.settings->EndDay);
    if (!report.weekendErrors.empty()) {
        out << report.file << ": " << style.Paint("loads, but the weekend rates cannot switch on", Tone::Error)
            << " until the weekend values are fixed; " << window << " (" << counts << ")\n";
        return;
    }
    out << report.file << ": " << style.Paint("OK", Tone::Good) << ", the plug-in loads it; " << window << " ("
        << counts << ")\n";
}

int RunCheck(const std::string& file, std::ostream& out, std::ostream& diagnostics, const Style& outStyle,
             const Style& diagnosticStyle)
{
    const CheckReport report = CheckConfig(file);
    PrintDiagnostics(report, diagnostics, diagnosticStyle);
    PrintVerdict(report, out, outStyle);
    return report.HasErrors() ? 1 : 0;
}

} // namespace qvtool
