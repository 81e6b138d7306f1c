// The table is sorted by name, so a lookup is a binary search; every rule in it parses (a test
// reads them all).
#include "plugin/schedule/TimeZone.h"

#include <algorithm>
#include <vector>

#include "plugin/schedule/ZoneTable.h"
#include "util/EditDistance.h"

namespace qv {

std::optional<TimeZone> FindTimeZone(std::string_view name)
{
    const ZoneEntry* end = ZoneTable + ZoneTableSize;
    const ZoneEntry* found = std::lower_bound(ZoneTable, end, name, [](const ZoneEntry& entry, std::string_view key) {
        return std::string_view(entry.Name) < key;
    });
    if (found == end || std::string_view(found->Name) != name) return std::nullopt;
    const std::optional<util::PosixTimeZone> rule = util::ParsePosixTimeZone(found->Rule);
    if (!rule) return std::nullopt;
    TimeZone zone{found->Name, {{}, *rule}};
    for (std::size_t i = 0; i < found->ShiftCount; ++i) {
        const ZoneShift& shift = found->Shifts[i];
        zone.Rules.Listed.push_back(
            {util::InstantOf(shift.At), util::Seconds{shift.Before}, util::Seconds{shift.After}});
    }
    return zone;
}

std::string NearestTimeZoneName(std::string_view name)
{
    // Made once: every unknown zone is compared with all of them.
    static const std::vector<std::string_view> names = [] {
        std::vector<std::string_view> all;
        for (std::size_t i = 0; i < ZoneTableSize; ++i) all.emplace_back(ZoneTable[i].Name);
        return all;
    }();
    // Longer than any zone name by far: no misspelling of one.
    constexpr std::size_t kLongestMisspelling = 40;
    return std::string(util::NearestName(name, names, kLongestMisspelling));
}

} // namespace qv
