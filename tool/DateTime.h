// Local calendar time for the tool's input and output: dates and times typed by an
// administrator, durations such as "10m" or "2d", and ISO 8601 local timestamps. Local is the
// config's TimeZone when it names one, and otherwise the process's own zone, which is the one the
// stand-in's clock gives the plug-in.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

#include "plugin/config/TimeZone.h"

namespace qvtool {

using Seconds = std::int64_t;

// From now on local times are read and shown in zone (nothing: the process's zone).
void UseTimeZone(const std::optional<qv::TimeZone>& zone);
// The zone in use; null for the process's.
const qv::TimeZone* ToolTimeZone();

// "YYYY-MM-DD" (local midnight), "YYYY-MM-DDTHH:MM" or "YYYY-MM-DDTHH:MM:SS"; a space may stand
// for the "T". Nothing for text that is not such a date or names a day that does not exist.
std::optional<Seconds> ParseLocalDateTime(std::string_view text);

struct LocalDateTime {
    Seconds time = 0;
    // The day exists but its clock skips that time (a daylight-saving change): time is where the
    // C library moved it, which the administrator should be told.
    bool skipped = false;
};
// ParseLocalDateTime, saying whether the time was skipped.
std::optional<LocalDateTime> ReadLocalDateTime(std::string_view text);

// The most days the tool previews or simulates at once (--days, a console's advance).
inline constexpr int kMostDays = 3660;

// One or more number-unit pairs: "90s", "10m", "1h30m", "2d", "1w". Nothing for anything else,
// a zero total included, and a total beyond a hundred million weeks.
std::optional<Seconds> ParseDuration(std::string_view text);

std::tm LocalCalendar(Seconds time);
Seconds CurrentTime();
// 0 = Sunday through 6 = Saturday.
int LocalWeekday(Seconds time);
// Local midnight at the start of the day holding time, and the one after it (23 to 25 hours
// later across a daylight-saving change).
Seconds StartOfLocalDay(Seconds time);
Seconds NextLocalMidnight(Seconds time);
// The same local time days later (where a daylight-saving change skips it, the moment after).
Seconds AddLocalDays(Seconds time, int days);

const char* WeekdayName(int weekday);      // "Sunday"
const char* ShortWeekdayName(int weekday); // "Sun"

std::string FormatIso(Seconds time);      // 2025-01-10T00:05:19
std::string FormatDate(Seconds time);     // 2025-01-10
std::string FormatReadable(Seconds time); // Fri 2025-01-10 00:05:19
std::string FormatDuration(Seconds span); // 2d 3h 5m 19s

} // namespace qvtool
