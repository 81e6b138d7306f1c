// The probable mistakes of a config, rule by rule in one table: the order in which they are listed is
// the order of the table, but for the near misses of known members, which come first.
#include "plugin/config/ConfigWarnings.h"

#include <algorithm>
#include <array>

#include "plugin/config/WarningRules.h"

namespace qv {

namespace {

constexpr std::array<WarningRule, 11> kWarningRules = {
    &WarnOnWeekdays,        &WarnOnColours,      &WarnOnSectionMultipliers, &WarnOnTexts,
    &WarnOnScheduleEntries, &WarnOnOverlaps,     &WarnOnLongWindows,        &WarnOnEndedWindows,
    &WarnOnReminders,       &WarnOnSkippedHours, &WarnOnUnknownMembers,
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
    // A misspelt member can undo a whole setting (a "Timezone" leaves the server's zone in force):
    // it must not drown among the others.
    std::stable_partition(warnings.begin(), warnings.end(), IsNearMiss);
    return warnings;
}

} // namespace qv
