// The probable mistakes in the members' names: a member the plug-in does not know is ignored, and a
// near miss of a known one is named.
#include "plugin/config/WarningRules.h"

#include <algorithm>

#include <fmt/format.h>

#include "plugin/config/Schedules.h"
#include "util/EditDistance.h"

namespace qv {

namespace {

// Longer names are no misspelling of a known one.
constexpr std::size_t kLongestSuggestedName = 64;

// Made once: every load looks each member of the section up in it.
const std::vector<std::string_view>& KnownMembers()
{
    static const std::vector<std::string_view> known = [] {
        std::vector<std::string_view> names;
        for (const SettingRow& row : SettingsTable) names.emplace_back(row.Key);
        for (const MultiplierRow& row : WeekendMultiplierTable) names.emplace_back(row.Key);
        return names;
    }();
    return known;
}

} // namespace

const std::vector<std::string_view>& KnownScheduleMembers()
{
    static const std::vector<std::string_view> known = [] {
        std::vector<std::string_view> names(ScheduleMembers.begin(), ScheduleMembers.end());
        for (const MultiplierRow& row : WeekendMultiplierTable) names.emplace_back(row.Key);
        return names;
    }();
    return known;
}

std::string NearestKnownMember(const std::string& name)
{
    return std::string(util::NearestName(name, KnownMembers(), kLongestSuggestedName));
}

void WarnOnUnknownMembers(const nlohmann::json& object, const std::string& prefix,
                          const std::vector<std::string_view>& known, ConfigProblems& warnings)
{
    constexpr std::size_t kMostNamed = 20;
    std::size_t unknown = 0;
    for (const auto& member : object.items()) {
        if (std::find(known.begin(), known.end(), member.key()) != known.end()) continue;
        if (++unknown > kMostNamed) continue;
        const std::string_view nearest = util::NearestName(member.key(), known, kLongestSuggestedName);
        AddWarning(warnings, prefix + member.key(),
                   nearest.empty()
                       ? std::string("unknown member; the plug-in ignores it")
                       : fmt::format("unknown member; the plug-in ignores it (did you mean \"{}\"?)", nearest));
        warnings.back().Suggestion = std::string(nearest);
    }
    if (unknown > kMostNamed) {
        AddWarning(warnings, prefix.substr(0, prefix.size() - 1),
                   fmt::format("{} more unknown members; the plug-in ignores them", unknown - kMostNamed));
    }
}

void WarnOnUnknownMembers(const WarningContext& context, ConfigProblems& warnings)
{
    WarnOnUnknownMembers(context.Section, SectionMember(""), KnownMembers(), warnings);
}

} // namespace qv
