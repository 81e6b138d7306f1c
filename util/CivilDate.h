// Dates of the proleptic Gregorian calendar as day numbers since 1970-01-01, so that no time-zone or
// daylight-saving rule of the platform comes into the arithmetic.
#pragma once

#include <cstdint>

namespace util {

struct CivilDate {
    std::int64_t Year = 1970;
    int Month = 1; // 1 to 12
    int Day = 1;
};

bool IsLeapYear(std::int64_t year);
// month 1 to 12.
int DaysInMonth(std::int64_t year, int month);
bool IsValidDate(std::int64_t year, int month, int day);

// Days since 1970-01-01 (negative before it) of a valid date, and back.
std::int64_t DaysFromCivil(std::int64_t year, int month, int day);
CivilDate CivilFromDays(std::int64_t days);
// 0 = Sunday through 6 = Saturday.
int WeekdayFromDays(std::int64_t days);
// The weekday's name, "Sunday", and its short form, "Sun". Outside 0..6 the weekday is taken modulo
// 7, as the day rule takes it: 7 is Sunday, -1 Saturday.
const char* WeekdayName(int weekday);
const char* ShortWeekdayName(int weekday);

// Division that rounds toward negative infinity, for days and seconds before 1970; divisor > 0.
std::int64_t FloorDivide(std::int64_t value, std::int64_t divisor);

} // namespace util
