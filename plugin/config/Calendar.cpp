// Civil dates by day numbers (the days-from-civil algorithm of the proleptic Gregorian calendar),
// so that no time-zone or daylight-saving rule of the platform comes into the arithmetic.
#include "plugin/config/Calendar.h"

#include <cstdio>

namespace {

int DaysInMonth(std::int64_t year, int month)
{
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

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

// Floor division, for days before 1970.
std::int64_t FloorDivide(std::int64_t value, std::int64_t divisor)
{
    return value / divisor - ((value % divisor != 0) && ((value < 0) != (divisor < 0)) ? 1 : 0);
}

} // namespace

std::int64_t DaysFromCivil(std::int64_t year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = FloorDivide(year, 400);
    const std::int64_t yearOfEra = year - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

bool IsValidDate(std::int64_t year, int month, int day)
{
    return month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month);
}

WallSeconds ToWallSeconds(const LocalTime& time)
{
    return DaysFromCivil(time.Year, time.Month, time.Day) * kSecondsPerDay + time.Hour * 3600 + time.Minute * 60 +
           time.Second;
}

LocalTime FromWallSeconds(WallSeconds seconds)
{
    const std::int64_t days = FloorDivide(seconds, kSecondsPerDay);
    const std::int64_t secondOfDay = seconds - days * kSecondsPerDay;
    // The inverse of DaysFromCivil.
    const std::int64_t shifted = days + 719468;
    const std::int64_t era = FloorDivide(shifted, 146097);
    const std::int64_t dayOfEra = shifted - era * 146097;
    const std::int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t monthIndex = (5 * dayOfYear + 2) / 153;
    LocalTime time;
    time.Day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    time.Month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    time.Year = static_cast<int>(yearOfEra + era * 400 + (time.Month <= 2 ? 1 : 0));
    time.Hour = static_cast<int>(secondOfDay / 3600);
    time.Minute = static_cast<int>(secondOfDay / 60 % 60);
    time.Second = static_cast<int>(secondOfDay % 60);
    // 1970-01-01 was a Thursday.
    time.Weekday = static_cast<int>(days - FloorDivide(days + 4, 7) * 7 + 4);
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
    if (!year || !month || !day || !time || !IsValidDate(*year, *month, *day)) return std::nullopt;
    return DaysFromCivil(*year, *month, *day) * kSecondsPerDay + WallSeconds{*time} * 60;
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
