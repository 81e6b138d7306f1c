// Civil dates: the leap-year rule at the centuries, day numbers on both sides of 1970, weekdays.
#include <gtest/gtest.h>

#include "util/CivilDate.h"

namespace {

TEST(CivilDate, LeapYearsFollowTheGregorianRuleAtTheCenturies)
{
    struct Row {
        std::int64_t year;
        bool leap;
    };
    for (const Row row : {Row{1900, false}, Row{2000, true}, Row{2100, false}, Row{2400, true}, Row{2024, true},
                          Row{2026, false}, Row{1600, true}, Row{-4, true}, Row{-100, false}}) {
        EXPECT_EQ(util::IsLeapYear(row.year), row.leap) << row.year;
        EXPECT_EQ(util::IsValidDate(row.year, 2, 29), row.leap) << row.year;
        EXPECT_EQ(util::DaysInMonth(row.year, 2), row.leap ? 29 : 28) << row.year;
    }
    for (const auto& [month, day] : {std::pair{1, 32}, {4, 31}, {12, 32}, {0, 1}, {13, 1}, {6, 0}}) {
        EXPECT_FALSE(util::IsValidDate(2026, month, day)) << month << "-" << day;
    }
    EXPECT_TRUE(util::IsValidDate(2026, 12, 31));
}

TEST(CivilDate, DayNumbersAndWeekdaysOfKnownDates)
{
    struct Row {
        std::int64_t year;
        int month;
        int day;
        std::int64_t days;
        int weekday;
    };
    for (const Row row : {Row{1970, 1, 1, 0, 4}, Row{1969, 12, 31, -1, 3}, Row{2000, 3, 1, 11017, 3},
                          Row{1900, 3, 1, -25508, 4}, Row{2100, 3, 1, 47541, 1}, Row{1600, 2, 29, -135081, 2},
                          Row{2400, 2, 29, 157113, 2}, Row{2026, 12, 25, 20812, 5}}) {
        EXPECT_EQ(util::DaysFromCivil(row.year, row.month, row.day), row.days) << row.year << "-" << row.month;
        const util::CivilDate date = util::CivilFromDays(row.days);
        EXPECT_EQ(date.Year, row.year);
        EXPECT_EQ(date.Month, row.month);
        EXPECT_EQ(date.Day, row.day);
        EXPECT_EQ(util::WeekdayFromDays(row.days), row.weekday) << row.days;
    }
}

TEST(CivilDate, EveryDayOfAFourHundredYearCycleRoundTrips)
{
    std::int64_t expected = util::DaysFromCivil(1899, 12, 31);
    for (std::int64_t year = 1900; year < 2300; ++year) {
        for (int month = 1; month <= 12; ++month) {
            for (int day = 1; day <= util::DaysInMonth(year, month); ++day) {
                ASSERT_EQ(util::DaysFromCivil(year, month, day), ++expected) << year << "-" << month << "-" << day;
                const util::CivilDate back = util::CivilFromDays(expected);
                ASSERT_TRUE(back.Year == year && back.Month == month && back.Day == day) << expected;
            }
        }
    }
}

TEST(CivilDate, FloorDivisionRoundsDown)
{
    EXPECT_EQ(util::FloorDivide(7, 7), 1);
    EXPECT_EQ(util::FloorDivide(6, 7), 0);
    EXPECT_EQ(util::FloorDivide(-1, 7), -1);
    EXPECT_EQ(util::FloorDivide(-7, 7), -1);
    EXPECT_EQ(util::FloorDivide(-8, 7), -2);
}

} // namespace
