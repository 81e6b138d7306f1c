// mktime does the zone's arithmetic; the calendar's own rules come first, because mktime quietly
// carries 30 February into March.
#include "standin/server/LocalTime.h"

#include <ctime>

#include "util/CivilDate.h"

namespace standin {

std::optional<LocalMoment> FromLocalTime(int year, int month, int day, int hour, int minute, int second)
{
    if (!util::IsValidDate(year, month, day) || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 ||
        second > 59) {
        return std::nullopt;
    }
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    const std::time_t seconds = std::mktime(&local);
    if (seconds == static_cast<std::time_t>(-1)) return std::nullopt;
    const bool moved = local.tm_year != year - 1900 || local.tm_mon != month - 1 || local.tm_mday != day ||
                       local.tm_hour != hour || local.tm_min != minute || local.tm_sec != second;
    return LocalMoment{static_cast<std::int64_t>(seconds), moved};
}

} // namespace standin
