// The table is sorted by name, so a lookup is a binary search; every rule in it parses (a test
// reads them all).
#include "plugin/config/TimeZone.h"

#include <algorithm>

#include "plugin/config/ZoneTable.h"
#include "util/Ascii.h"
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
        zone.Rules.Listed.push_back({shift.At, shift.Before, shift.After});
    }
    return zone;
}

std::string NearestTimeZoneName(std::string_view name)
{
    // Longer than any zone name by far: no misspelling of one.
    if (name.size() > 40) return {};
    const std::string lower = util::AsciiLower(name);
    std::string best;
    std::size_t bestDistance = 4;
    for (std::size_t i = 0; i < ZoneTableSize; ++i) {
        const std::size_t distance = util::EditDistance(lower, util::AsciiLower(ZoneTable[i].Name));
        if (distance < bestDistance) {
            bestDistance = distance;
            best = ZoneTable[i].Name;
        }
    }
    return best;
}

} // namespace qv
