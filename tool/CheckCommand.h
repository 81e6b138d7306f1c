// quorvandelle check: the config file read exactly as the plug-in reads it, every problem at
// once, then the tool's warnings.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "plugin/config/PluginSettings.h"
#include "plugin/config/WeekendValues.h"
#include "tool/Terminal.h"

namespace qvtool {

struct CheckReport {
    std::string file;
    // The plug-in would refuse the file: it does not parse, or a setting is missing or mistyped.
    // The settings in force then stay as they are.
    std::vector<std::string> settingsErrors;
    // The file loads, but the weekend rates cannot switch on: a weekend value is missing or mistyped.
    std::vector<std::string> weekendErrors;
    // Probable mistakes: the plug-in loads the file and names these in its log.
    std::vector<std::string> warnings;

    nlohmann::json document;
    std::optional<Settings> settings;
    std::optional<MultiplierValues> weekend;

    bool Refused() const { return !settingsErrors.empty(); }
    bool HasErrors() const { return !settingsErrors.empty() || !weekendErrors.empty(); }
};

CheckReport CheckConfig(const std::string& file);

// Errors and warnings to diagnostics, the verdict to out.
void PrintDiagnostics(const CheckReport& report, std::ostream& diagnostics, const Style& style);
void PrintVerdict(const CheckReport& report, std::ostream& out, const Style& style);

// The exit status: 0 when the file loads and can switch the weekend rates on, 1 otherwise.
int RunCheck(const std::string& file, std::ostream& out, std::ostream& diagnostics, const Style& outStyle,
             const Style& diagnosticStyle);

// "Friday, Saturday, Sunday", or "no day".
std::string OpenDaysText(std::int32_t startDay, std::int32_t endDay);

} // namespace qvtool
