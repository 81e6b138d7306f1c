// quorvandelle check: the config file read exactly as the plug-in reads it, through its one
// decoding (ReadConfigFile), every problem at once, then the warnings.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "plugin/config/Config.h"
#include "plugin/host/FString.h"
#include "tool/Terminal.h"

namespace qvtool {

struct CheckReport {
    std::string File;
    // The plug-in would refuse the file: it does not parse, or a setting is missing or mistyped.
    // The settings in force then stay as they are.
    std::vector<std::string> SettingsErrors;
    // The file loads, but the weekend rates cannot switch on: a weekend value is missing or mistyped.
    std::vector<std::string> WeekendErrors;
    // Probable mistakes: the plug-in loads the file and names these in its log. The first
    // Misspelt.size() of them are the members that are near misses of known ones.
    std::vector<std::string> Warnings;
    // Each near miss: the member as the file names it, below the section ("Timezone",
    // "Schedules[1].Nmae"), and the known one it probably means.
    std::vector<std::pair<std::string, std::string>> Misspelt;
    // What the administrator may not expect, but may well mean: the tool's alone, never logged.
    std::vector<std::string> Notes;

    // The config the plug-in would take: none when it refuses the file.
    std::optional<qv::Config> Config;

    bool Refused() const { return !SettingsErrors.empty(); }
    bool HasErrors() const { return !SettingsErrors.empty() || !WeekendErrors.empty(); }
};

CheckReport CheckConfig(const std::string& file);
// The clock the file's times are read on: the config's when the plug-in takes the file, otherwise
// the host's local time, as the plug-in keeps its settings in force. Valid while report is.
qv::LocalClock ConfigClock(const CheckReport& report);

// Errors, warnings and notes to diagnostics, the near misses of known members first, the verdict to
// out. strict: warnings fail the check. quiet: errors only.
void PrintDiagnostics(const CheckReport& report, std::ostream& diagnostics, const Style& style, bool quiet = false);
void PrintVerdict(const CheckReport& report, std::ostream& out, const Style& style, bool strict = false);
// The check that a command needing a loadable config starts with: the problems on err, and the
// verdict after them when there are errors, which the caller then stops on (HasErrors()). quiet:
// errors only.
CheckReport CheckBeforeUse(const std::string& file, std::ostream& err, const Style& style, bool quiet = false);
// The near misses of known members, for a summary: "ignores \"Timezone\" (did you mean
// \"TimeZone\"?)"; empty when there is none.
std::string MisspeltText(const CheckReport& report);
// The line that says which zone the times are in when the config names none; empty when it names one.
std::string ZoneNote(const qv::Config& config);

// The exit status: 0 when the file loads and can switch the weekend rates on (and, when strict, has
// no warnings), 1 otherwise.
int RunCheck(const std::string& file, bool strict, std::ostream& out, std::ostream& diagnostics, const Style& outStyle,
             const Style& diagnosticStyle);

// Every rate a window writes, the inherited ones marked: "XPMultiplier 3; from the main section:
// TamingSpeedMultiplier 2; the game's own: StructureDamageMultiplier". A relative value reads "x2".
std::string WindowRatesText(const qv::Window& window);
// Each window's line of WindowRatesText, in the order of precedence, under a heading.
void PrintWindowRates(const qv::Config& config, std::ostream& out, const Style& style);
// The main section's keys of the texts and colours a schedule shows because it has none of its own,
// in the order of the section, with the texts quoted: "WeekendMOTD \"Double XP ...\"",
// "QuorvandelleEnabledRGB". The message of the day only when the switches change it.
std::vector<std::string> BorrowedTexts(const qv::Config& config, const qv::Window& schedule);
// Each schedule's BorrowedTexts, under a heading; nothing without schedules.
void PrintBorrowedTexts(const qv::Config& config, std::ostream& out, const Style& style);

// Each window's welcome, in the order of precedence, under a heading with the delay: the text as
// written with shown(window, text), or "none"; nothing when no window has one.
void PrintWelcomes(const qv::Config& config, std::ostream& out, const Style& style,
                   const std::function<std::string(const qv::Window&, const FString&)>& shown);

// "Friday, Saturday, Sunday", or "no day".
std::string OpenDaysText(std::int32_t startDay, std::int32_t endDay);
// The weekly window with its times, as the plug-in's rule opens it over a week: "from Friday 18:00
// to Monday 00:00", "on no day" or "all week".
std::string WeeklyStretches(const qv::Config& config);
// "a, b and c".
std::string JoinedWithAnd(const std::vector<std::string>& items);
// The reminders' leads: "60 and 10".
std::string LeadsText(const std::vector<std::int32_t>& minutes);
// The weekly window: "on Friday, Saturday, Sunday (StartDay 5, EndDay 1)" for whole days, "from
// Friday 18:00 to Monday 00:00 (StartDay 5, StartTime 18:00, EndDay 1, EndTime 00:00)" with times.
std::string WeeklyWindowText(const qv::Config& config);
// A schedule's times: "Monday, Tuesday from 20:00 to 22:00", "from Thu 2026-12-24 10:00 to ...".
std::string ScheduleText(const qv::Window& schedule);
// What the windows of a file do: "weekend rates on Friday, Saturday, Sunday (StartDay 5, EndDay 1)"
// for a file of whole days, then the times, the other windows, the reminders and the status command
// where the file has them.
std::string WindowsText(const qv::Config& config);

} // namespace qvtool
