// A time zone's clock as zoneinfo describes it: a rule in the POSIX TZ form
// ("CET-1CEST,M3.5.0,M10.5.0/3": a standard offset and, for a zone that keeps daylight-saving time,
// its offset and the two days and times of the year it starts and ends), after changes that no such
// rule can say (a fast month that moves with the moon) listed one by one.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "util/Time.h"

namespace util {

// A day of the year and a local time on it: "Mm.w.d" (weekday d of week w of month m, week 5 the
// last), "Jn" (day n of 1 to 365, 29 February never counted) or "n" (day n of 0 to 365, counted).
struct ZoneChangeDay {
    enum class Form { MonthWeekDay, JulianNoLeap, ZeroBased };
    Form Kind = Form::MonthWeekDay;
    int Month = 1;
    int Week = 1;
    int Weekday = 0;
    int Day = 0;
    // After that day's local midnight; the form allows -167 to 167 hours.
    Seconds Time = Hours{2};
};
// The wall-clock time at which a change comes in a year, on the clock it leaves.
WallTime ChangeWallTime(const ZoneChangeDay& day, std::int64_t year);

struct PosixTimeZone {
    std::string StandardName;  // "CET"; "+04" for "<+04>"
    std::string DaylightName;  // "CEST"; empty without daylight time
    Seconds StandardOffset{0}; // east of UTC
    bool HasDaylight = false;
    Seconds DaylightOffset{0};
    // Daylight-saving time starts on Start's day at its time on the standard clock, and ends on
    // End's day at its time on the daylight clock.
    ZoneChangeDay Start;
    ZoneChangeDay End;
};

// Nothing unless text is a whole POSIX TZ string that has a rule wherever it has daylight time.
std::optional<PosixTimeZone> ParsePosixTimeZone(std::string_view text);

struct ZoneTransition {
    Instant At; // the first instant of the new offset
    Seconds Before{0};
    Seconds After{0};
};

struct ZoneRules {
    // In time order; the rule holds from the last one on, and the first one's Before before it.
    std::vector<ZoneTransition> Listed;
    PosixTimeZone Rule;
};

// The offset east of UTC in force at an instant.
Seconds UtcOffsetAt(const PosixTimeZone& zone, Instant instant);
Seconds UtcOffsetAt(const ZoneRules& zone, Instant instant);
inline WallTime WallTimeAt(const ZoneRules& zone, Instant instant)
{
    return WallAtOffset(instant, UtcOffsetAt(zone, instant));
}

// The first change of offset after an instant; nothing for a zone whose offset never changes again.
std::optional<ZoneTransition> NextTransition(const PosixTimeZone& zone, Instant instant);
std::optional<ZoneTransition> NextTransition(const ZoneRules& zone, Instant instant);

// The instants at which a clock shows a wall-clock time: one; two in an hour the clocks repeat
// (Earlier on the first pass); none in an hour they skip, and then both are the first instant after
// the gap.
struct LocalInstants {
    enum class Kind { Unique, Skipped, Repeated };
    Kind Shown = Kind::Unique;
    Instant Earlier;
    Instant Later;
};
// On a clock whose offset is offsetAt(t), and whose first change of offset after an instant
// nextChange(t) finds (or gives nothing). Offsets reach from -12 to +14 hours and a clock changes
// at most once in two days, so the offsets a day and more either side of the wall-clock time are
// the only two it can have been shown with.
template <typename OffsetAt, typename NextChange>
LocalInstants InstantsOf(WallTime wall, OffsetAt offsetAt, NextChange nextChange)
{
    constexpr Seconds kReach = Hours{26};
    const Seconds before = offsetAt(InstantAtOffset(wall, Seconds{0}) - kReach);
    const Seconds after = offsetAt(InstantAtOffset(wall, Seconds{0}) + kReach);
    const Instant earlier = InstantAtOffset(wall, std::max(before, after));
    const Instant later = InstantAtOffset(wall, std::min(before, after));
    const bool earlierShows = WallAtOffset(earlier, offsetAt(earlier)) == wall;
    const bool laterShows = WallAtOffset(later, offsetAt(later)) == wall;
    if (earlierShows && laterShows && earlier != later) return {LocalInstants::Kind::Repeated, earlier, later};
    if (earlierShows || laterShows) {
        const Instant instant = earlierShows ? earlier : later;
        return {LocalInstants::Kind::Unique, instant, instant};
    }
    const std::optional<Instant> gap = nextChange(earlier);
    const Instant first = gap ? *gap : later;
    return {LocalInstants::Kind::Skipped, first, first};
}
LocalInstants InstantsOf(const ZoneRules& zone, WallTime wall);

// The first instant after `after` at which a clock shows wall or later: on a clock whose offset is
// offsetAt(t), and whose first change of offset in (from, to] nextChange(from, to) finds (or gives
// nothing). An hour skipped puts what falls in it at the first moment after the gap; an hour
// repeated is counted at its first pass, unless `after` is in the second pass already. With at most
// a handful of changes between the two, as every zone's clock has.
template <typename OffsetAt, typename NextChange>
Instant FirstInstantShowing(WallTime wall, Instant after, OffsetAt offsetAt, NextChange nextChange)
{
    Instant from = after + Seconds{1};
    for (int change = 0; change < 8; ++change) {
        const Instant candidate = std::max(from, InstantAtOffset(wall, offsetAt(from)));
        const std::optional<Instant> next = nextChange(from, candidate);
        if (!next) return candidate;
        from = *next;
    }
    return from;
}

} // namespace util
