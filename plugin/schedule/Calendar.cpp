// Wall-clock times over the civil day numbers of util/CivilDate.h, and the texts of times.
#include "plugin/schedule/Calendar.h"

#include <cstdio>

#include "util/CivilDate.h"
#include "util/Digits.h"

namespace qv {

namespace {

// A run of exactly count digits at text[at], as a number.
std::optional<int> Digits(std::string_view text, std::size_t at, std::size_t count)
{
    const std::optional<std::int64_t> value = util::ReadDigits(text, at, count, count);
    return value ? std::optional<int>(static_cast<int>(*value)) : std::nullopt;
}

std::int64_t DayNumber(WallTime wall) { return std::chrono::floor<Days>(wall.time_since_epoch()).count(); }

} // namespace

WallTime ToWallTime(const LocalTime& time)
{
    return WallTime{Days{util::DaysFromCivil(time.Year, time.Month, time.Day)} + Hours{time.Hour} +
                    Minutes{time.Minute} + Seconds{time.Second}};
}

LocalTime FromWallTime(WallTime wall)
{
    const std::int64_t days = DayNumber(wall);
    const Seconds secondOfDay = wall.time_since_epoch() - Days{days};
    const util::CivilDate date = util::CivilFromDays(days);
    LocalTime time;
    time.Year = static_cast<int>(date.Year);
    time.Month = date.Month;
    time.Day = date.Day;
    time.Hour = static_cast<int>(secondOfDay.count() / 3600);
    time.Minute = static_cast<int>(secondOfDay.count() / 60 % 60);
    time.Second = static_cast<int>(secondOfDay.count() % 60);
    time.Weekday = util::WeekdayFromDays(days);
    return time;
}

WallTime StartOfDay(WallTime wall) { return WallTime{Days{DayNumber(wall)}}; }

int WeekdayOf(WallTime wall) { return util::WeekdayFromDays(DayNumber(wall)); }

std::optional<std::int32_t> ParseTimeOfDay(std::string_view text)
{
    if (text.size() != 5 || text[2] != ':') return std::nullopt;
    const auto hour = Digits(text, 0, 2);
    const auto minute = Digits(text, 3, 2);
    if (!hour || !minute || *hour > 23 || *minute > 59) return std::nullopt;
    return *hour * 60 + *minute;
}

std::optional<WallTime> ParseDateTime(std::string_view text)
{
    if (text.size() != 16 || text[4] != '-' || text[7] != '-' || text[10] != 'T') return std::nullopt;
    const auto year = Digits(text, 0, 4);
    const auto month = Digits(text, 5, 2);
    const auto day = Digits(text, 8, 2);
    const auto time = ParseTimeOfDay(text.substr(11));
    if (!year || !month || !day || !time || !util::IsValidDate(*year, *month, *day)) return std::nullopt;
    return WallTime{Days{util::DaysFromCivil(*year, *month, *day)} + Minutes{*time}};
}

std::string FormatWallTime(WallTime wall)
{
    const LocalTime time = FromWallTime(wall);
    char text[40];
    std::snprintf(text, sizeof text, "%s %04d-%02d-%02d %02d:%02d", util::ShortWeekdayName(time.Weekday), time.Year,
                  time.Month, time.Day, time.Hour, time.Minute);
    return text;
}

std::string FormatTimeOfDay(std::int32_t minutes)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", minutes / 60 % 24, minutes % 60);
    return text;
}

} // namespace qv
