// "TimeZone": the IANA zone a config's times are written in, looked up in the compiled-in table.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "util/PosixTimeZone.h"

namespace qv {

struct TimeZone {
    std::string Name; // as the table and the file write it
    util::ZoneRules Rules;
};

// The zone of that exact name (names are case-sensitive); nothing when the table has none.
std::optional<TimeZone> FindTimeZone(std::string_view name);
// The zone name nearest to an unknown one (case ignored, a few letters off), or empty.
std::string NearestTimeZoneName(std::string_view name);

} // namespace qv
