// A time zone's clock as zoneinfo describes it: a rule in the POSIX TZ form
// ("CET-1CEST,M3.5.0,M10.5.0/3": a standard offset and, for a zone that keeps daylight-saving time,
// its offset and the two days and times of the year it starts and ends), after changes that no such
// rule can say (a fast month that moves with the moon) listed one by one. Instants are seconds since
// 1970-01-01 00:00 UTC; local seconds count the same way on the zone's own clock.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
    // Seconds after that day's local midnight; the form allows -167 to 167 hours.
    std::int32_t Time = 2 * 3600;
};

struct PosixTimeZone {
    std::string StandardName;        // "CET"; "+04" for "<+04>"
    std::string DaylightName;        // "CEST"; empty without daylight time
    std::int32_t StandardOffset = 0; // seconds east of UTC
    bool HasDaylight = false;
    std::int32_t DaylightOffset = 0;
    // Daylight-saving time starts on Start's day at its time on the standard clock, and ends on
    // End's day at its time on the daylight clock.
    ZoneChangeDay Start;
    ZoneChangeDay End;
};

// Nothing unless text is a whole POSIX TZ string that has a rule wherever it has daylight time.
std::optional<PosixTimeZone> ParsePosixTimeZone(std::string_view text);

struct ZoneTransition {
    std::int64_t At = 0; // the first instant of the new offset
    std::int32_t Before = 0;
    std::int32_t After = 0;
};

struct ZoneRules {
    // In time order; the rule holds from the last one on, and the first one's Before before it.
    std::vector<ZoneTransition> Listed;
    PosixTimeZone Rule;
};

// Seconds east of UTC in force at an instant.
std::int32_t UtcOffsetAt(const PosixTimeZone& zone, std::int64_t instant);
std::int32_t UtcOffsetAt(const ZoneRules& zone, std::int64_t instant);
inline std::int64_t LocalSecondsAt(const ZoneRules& zone, std::int64_t instant)
{
    return instant + UtcOffsetAt(zone, instant);
}

// The first change of offset after an instant; nothing for a zone whose offset never changes again.
std::optional<ZoneTransition> NextTransition(const PosixTimeZone& zone, std::int64_t instant);
std::optional<ZoneTransition> NextTransition(const ZoneRules& zone, std::int64_t instant);

// The instants a zone's clock shows local seconds at: one; two in an hour the clocks repeat (Earlier
// on the first pass); none in an hour they skip, and then both are the first instant after the gap.
struct LocalInstants {
    int Count = 1;
    std::int64_t Earlier = 0;
    std::int64_t Later = 0;
};
LocalInstants InstantsOf(const ZoneRules& zone, std::int64_t local);

// The first instant after `after` at which a clock shows `local` or later: on a clock whose offset
// is offsetAt(t), and whose first change of offset in (from, to] nextChange(from, to) finds (or
// gives nothing). An hour skipped puts what falls in it at the first moment after the gap; an hour
// repeated is counted at its first pass, unless `after` is in the second pass already. With at most
// a handful of changes between the two, as every zone's clock has.
template <typename OffsetAt, typename NextChange>
std::int64_t FirstInstantShowing(std::int64_t local, std::int64_t after, OffsetAt offsetAt, NextChange nextChange)
{
    std::int64_t from = after + 1;
    for (int change = 0; change < 8; ++change) {
        const std::int64_t candidate = std::max(from, local - offsetAt(from));
        const std::optional<std::int64_t> next = nextChange(from, candidate);
        if (!next) return candidate;
        from = *next;
    }
    return from;
}

} // namespace util
