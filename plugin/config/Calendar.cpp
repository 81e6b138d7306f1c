// Wall-clock seconds over the civil day numbers of util/CivilDate.h, and the texts of times.
#include "plugin/config/Calendar.h"

#include <cstdio>

#include "util/CivilDate.h"

namespace qv {

namespace {

// A run of exactly count digits at text[at], as a number.
std::optional<int> Digits(std::string_view text, std::size_t at, std::size_t count)
{
    if (at + count > text.size()) return std::nullopt;
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

} // namespace

WallSeconds ToWallSeconds(const LocalTime& time)
{
    return util::DaysFromCivil(time.Year, time.Month, time.Day) * kSecondsPerDay + time.Hour * 3600 + time.Minute * 60 +
           time.Second;
}

LocalTime FromWallSeconds(WallSeconds seconds)
{
    const std::int64_t days = util::FloorDivide(seconds, kSecondsPerDay);
    const std::int64_t secondOfDay = seconds - days * kSecondsPerDay;
    const util::CivilDate date = util::CivilFromDays(days);
    LocalTime time;
    time.Year = static_cast<int>(date.Year);
    time.Month = date.Month;
    time.Day = date.Day;
    time.Hour = static_cast<int>(secondOfDay / 3600);
    time.Minute = static_cast<int>(secondOfDay / 60 % 60);
    time.Second = static_cast<int>(secondOfDay % 60);
    time.Weekday = util::WeekdayFromDays(days);
    return time;
}

std::optional<std::int32_t> ParseTimeOfDay(std::string_view text)
{
    if (text.size() != 5 || text[2] != ':') return std::nullopt;
    const auto hour = Digits(text, 0, 2);
    const auto minute = Digits(text, 3, 2);
    if (!hour || !minute || *hour > 23 || *minute > 59) return std::nullopt;
    return *hour * 60 + *minute;
}

std::optional<WallSeconds> ParseDateTime(std::string_view text)
{
    if (text.size() != 16 || text[4] != '-' || text[7] != '-' || text[10] != 'T') return std::nullopt;
    const auto year = Digits(text, 0, 4);
    const auto month = Digits(text, 5, 2);
    const auto day = Digits(text, 8, 2);
    const auto time = ParseTimeOfDay(text.substr(11));
    if (!year || !month || !day || !time || !util::IsValidDate(*year, *month, *day)) return std::nullopt;
    return util::DaysFromCivil(*year, *month, *day) * kSecondsPerDay + WallSeconds{*time} * 60;
}

std::string FormatWallTime(WallSeconds seconds)
{
    static constexpr const char* kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    const LocalTime time = FromWallSeconds(seconds);
    char text[40];
    std::snprintf(text, sizeof text, "%s %04d-%02d-%02d %02d:%02d", kDays[time.Weekday], time.Year, time.Month,
                  time.Day, time.Hour, time.Minute);
    return text;
}

std::string FormatTimeOfDay(std::int32_t minutes)
{
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", minutes / 60 % 24, minutes % 60);
    return text;
}

} // namespace qv
