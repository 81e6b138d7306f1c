// The probable mistakes of a config, rule by rule in one table: the order in which they are listed is
// the order of the table.
#include "plugin/config/ConfigWarnings.h"

#include <array>

#include "plugin/config/WarningRules.h"

namespace qv {

namespace {

constexpr std::array<WarningRule, 10> kWarningRules = {
    &WarnOnWeekdays, &WarnOnColours,      &WarnOnSectionMultipliers, &WarnOnTexts,        &WarnOnScheduleEntries,
    &WarnOnOverlaps, &WarnOnEndedWindows, &WarnOnReminders,          &WarnOnSkippedHours, &WarnOnUnknownMembers,
};

} // namespace

void AddWarning(ConfigProblems& warnings, const std::string& path, std::string what)
{
    warnings.push_back({ProblemKind::Member, path, std::move(what), {}});
}

std::string SchedulePath(std::size_t index) { return SectionMember("Schedules") + "[" + std::to_string(index) + "]"; }

ConfigProblems ProbableMistakes(const Config& config, const std::bitset<kSettingCount>& decoded,
                                const nlohmann::json& section, std::optional<Instant> now)
{
    const WarningContext context{config, DecodedSettings(decoded), section, now};
    ConfigProblems warnings;
    for (const WarningRule rule : kWarningRules) rule(context, warnings);
    return warnings;
}

} // namespace qv
