// Local calendar time for the tool's input and output: dates and times typed by an administrator,
// durations such as "10m" or "2d", and ISO 8601 local timestamps. Local is always some clock's, and
// each function is told which: the config's (qv::ClockOf) when the file loads, otherwise the host's
// local time (qv::LocalClock()), which in the tool's process is the process's own zone, as the
// stand-in's clock gives it to the plug-in.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "plugin/schedule/LocalClock.h"
#include "util/Time.h"

namespace qvtool {

using util::Days;
using util::Instant;
using util::Minutes;
using util::Seconds;
using util::WallTime;

// "YYYY-MM-DD" (midnight), "YYYY-MM-DDTHH:MM" or "YYYY-MM-DDTHH:MM:SS"; a space may stand for the
// "T". The wall-clock time it names; nothing for text that is not such a date or names a day that
// does not exist.
std::optional<WallTime> ParseLocalDateTime(std::string_view text);

struct LocalDateTime {
    Instant Time;
    // The clock skips that time (a daylight-saving change): Time is the first moment after the gap,
    // where the plug-in puts what falls in it, and the administrator should be told.
    bool Skipped = false;
};
// The instant at which clock shows wall, as the plug-in's decision sees it: a time that the clocks
// repeat at its first passing, one that they skip at the end of the gap.
LocalDateTime InstantOfWall(const qv::LocalClock& clock, WallTime wall);
// ParseLocalDateTime, placed on clock.
std::optional<LocalDateTime> ReadLocalDateTime(const qv::LocalClock& clock, std::string_view text);

// The most days the tool previews or simulates at once (--days, a console's advance).
inline constexpr int kMostDays = 3660;
// The latest end of the days that preview, simulate and calendar show: the start of 9999-12-31, so
// that every time they write has a four-digit year, a feed's UTC times too, which lie at most 12
// hours after the local ones.
inline constexpr const char* kLastDate = "9999-12-31";
WallTime LatestEnd();

// One or more number-unit pairs: "90s", "10m", "1h30m", "2d", "1w". Nothing for anything else,
// a zero total included, and a total beyond a hundred million weeks.
std::optional<Seconds> ParseDuration(std::string_view text);

Instant CurrentTime();
// The wall-clock time clock shows at time. Beyond the years the host's runtime knows (1970 to
// 3000), which only a mistyped script reaches, its offset is that of the nearest year it knows.
WallTime WallOf(const qv::LocalClock& clock, Instant time);
// The midnight at the start of the day holding time, and the one after it (23 to 25 hours later
// across a daylight-saving change).
Instant StartOfLocalDay(const qv::LocalClock& clock, Instant time);
Instant NextLocalMidnight(const qv::LocalClock& clock, Instant time);
// The same wall-clock time days later (where a daylight-saving change skips it, the moment after).
Instant AddLocalDays(const qv::LocalClock& clock, Instant time, int days);

std::string FormatIso(const qv::LocalClock& clock, Instant time); // 2025-01-10T00:05:19
// 2025-01-10T00:05:19+01:00: the instant itself, for programs that know nothing of the zone.
std::string FormatIsoWithOffset(const qv::LocalClock& clock, Instant time);
std::string FormatDate(const qv::LocalClock& clock, Instant time);     // 2025-01-10
std::string FormatReadable(const qv::LocalClock& clock, Instant time); // Fri 2025-01-10 00:05:19
std::string FormatDuration(Seconds span);                              // 2d 3h 5m 19s

} // namespace qvtool
