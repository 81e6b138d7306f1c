// The rules behind a config's probable mistakes, one kind a file: the values as written
// (ValueWarnings), the members' names (MemberWarnings), how the windows overlap, last and end
// (OverlapWarnings), and what the clock's changes do to them (ClockWarnings). ConfigWarnings lists
// them all in one table.
#pragma once

#include <bitset>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "plugin/config/Config.h"
#include "plugin/config/ConfigProblem.h"

namespace qv {

// Which settings decoded, by field.
class DecodedSettings {
public:
    explicit DecodedSettings(const std::bitset<kSettingCount>& rows) : rows_(rows) {}

    template <typename T>
    bool Has(T Config::*field) const
    {
        for (std::size_t index = 0; index < SettingsTable.size(); ++index) {
            const auto* candidate = std::get_if<T Config::*>(&SettingsTable[index].Field);
            if (candidate && *candidate == field) return rows_.test(index);
        }
        return false;
    }

private:
    std::bitset<kSettingCount> rows_;
};

// Each rule works on the decoded values of config, and only on the settings that decoded without an
// error: errors are the decoder's to report. The section's text is looked at only to quote a value
// as written and to find unknown members.
struct WarningContext {
    const Config& Settings;
    DecodedSettings Decoded;
    const nlohmann::json& Section;
    // When the file is read, if known: dated windows already over, and clock changes ahead.
    std::optional<Instant> Now;
};

using WarningRule = void (*)(const WarningContext& context, ConfigProblems& warnings);

void AddWarning(ConfigProblems& warnings, const std::string& path, std::string what);
// "Quorvandelle.Schedules[2]".
std::string SchedulePath(std::size_t index);

// The day rule takes 7 as Sunday in StartDay and EndDay; "Days" takes it the same way.
inline constexpr const char* kSevenIsSunday = "7 is taken as Sunday; weekdays run from 0 = Sunday to 6 = Saturday";

// The values as written.
void WarnOnWeekdays(const WarningContext& context, ConfigProblems& warnings);
void WarnOnColours(const WarningContext& context, ConfigProblems& warnings);
void WarnOnSectionMultipliers(const WarningContext& context, ConfigProblems& warnings);
void WarnOnTexts(const WarningContext& context, ConfigProblems& warnings);
void WarnOnReminders(const WarningContext& context, ConfigProblems& warnings);
void WarnOnScheduleEntries(const WarningContext& context, ConfigProblems& warnings);
// The multipliers an object sets itself (the section, or a schedule's entry at prefix
// "Quorvandelle.Schedules[0]."), as decoded; the object's text says how each was written.
void WarnOnMultipliers(const WindowRates& rates, const nlohmann::json& object, const std::string& prefix,
                       ConfigProblems& warnings);

// The members' names.
void WarnOnUnknownMembers(const WarningContext& context, ConfigProblems& warnings);
void WarnOnUnknownMembers(const nlohmann::json& object, const std::string& prefix,
                          const std::vector<std::string_view>& known, ConfigProblems& warnings);
const std::vector<std::string_view>& KnownScheduleMembers();

// The windows together.
void WarnOnOverlaps(const WarningContext& context, ConfigProblems& warnings);
void WarnOnLongWindows(const WarningContext& context, ConfigProblems& warnings);
void WarnOnEndedWindows(const WarningContext& context, ConfigProblems& warnings);

// The clock's changes.
void WarnOnSkippedHours(const WarningContext& context, ConfigProblems& warnings);

} // namespace qv
