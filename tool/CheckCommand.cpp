// The check decodes with the plug-in's own functions (ReadConfigDocument, DecodeSettings,
// ReadWeekendValues); only the verdict's wording and the warnings are the tool's.
#include "tool/CheckCommand.h"

#include <stdexcept>

#include <fmt/format.h>

#include "plugin/config/LoadConfig.h"
#include "plugin/config/SettingsDecoder.h"
#include "plugin/rates/WeekendWindow.h"
#include "tool/DateTime.h"

namespace qvtool {

CheckReport CheckConfig(const std::string& file)
{
    CheckReport report;
    report.file = file;
    try {
        report.document = ReadConfigDocument(file);
    } catch (const std::exception& error) {
        // The plug-in's message already names the file and, for a syntax error, the line and column.
        report.settingsErrors.push_back(error.what());
        return report;
    }

    ConfigErrors settingsErrors;
    report.settings = DecodeSettings(report.document, settingsErrors);
    for (const auto& error : settingsErrors) report.settingsErrors.push_back(file + ": " + error);

    ConfigErrors sectionErrors;
    if (FindSection(report.document, sectionErrors) != nullptr) {
        ConfigErrors weekendErrors;
        report.weekend = ReadWeekendValues(report.document, weekendErrors);
        for (const auto& error : weekendErrors) report.weekendErrors.push_back(file + ": " + error);
    }
    report.warnings = AdviseOnConfig(report.document);
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
    for (const auto& warning : report.warnings) {
        diagnostics << style.Paint("warning: ", Tone::Warning) << report.file << ": " << warning.path << ": "
                    << warning.message << '\n';
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
