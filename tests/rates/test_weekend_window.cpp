// The weekly window rule, day by day and with times of day, for the windows administrators configure
// and the odd ones; and the calendar the times are written in.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "plugin/schedule/Calendar.h"
#include "plugin/schedule/DayRule.h"

using namespace qv;

namespace {

// Open days as seven letters, Sunday first: "SMTWTFS" with '.' for a closed day.
std::string OpenDays(std::int32_t start, std::int32_t end)
{
    const char* letters = "SMTWTFS";
    std::string days;
    for (int weekday = 0; weekday < 7; ++weekday) days += IsWindowOpen(start, end, weekday) ? letters[weekday] : '.';
    return days;
}

TEST(WeekendWindow, OpensFromStartDayUpToButNotIncludingEndDay)
{
    struct Row {
        std::int32_t start, end;
        const char* open;
    };
    const Row rows[] = {
        {5, 1, "S....FS"},  // Friday, Saturday, Sunday
        {6, 1, "S.....S"},  // Saturday, Sunday
        {6, 0, "......S"},  // Saturday
        {5, 0, ".....FS"},  // Friday, Saturday
        {1, 5, ".MTWT.."},  // Monday to Thursday
        {0, 6, "SMTWTF."},  // Sunday to Friday
        {1, 0, ".MTWTFS"},  // Monday to Saturday
        {3, 3, "......."},  // never
        {7, 1, "S......"},  // Sunday
        {-1, 1, "S.....S"}, // Saturday and Sunday
        // The extremes, decided in 64 bits: 2147483647 is 7 * 306783378 + 1, a Monday; below -1 the
        // remainder keeps the dividend's sign, so the smallest day is never ahead of today.
        {INT_MAX, INT_MIN, "......."},
        {INT_MIN, INT_MAX, "S.TWTFS"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(OpenDays(row.start, row.end), row.open) << "StartDay " << row.start << ", EndDay " << row.end;
    }
}

TEST(WeekendWindow, EqualDaysNeverOpenWhateverTheirValue)
{
    for (std::int32_t day : {0, 3, 6, 7, 13, -1, -8, INT_MAX, INT_MIN}) {
        EXPECT_EQ(OpenDays(day, day), ".......") << "day " << day;
    }
}

TEST(WeekendWindow, DaysAtSevenOrMoreActAsTheirRemainder)
{
    EXPECT_EQ(OpenDays(12, 8), OpenDays(5, 1));
    EXPECT_EQ(OpenDays(7, 1), OpenDays(0, 1));
    EXPECT_EQ(OpenDays(13, 14), OpenDays(6, 0));
}

} // namespace

namespace {

// The window with times of day, as "SMTWTFS" letters for every hour of the week that is open at
// its half hour: 168 characters, '.' for closed.
std::string OpenHours(std::int32_t startDay, const char* startTime, std::int32_t endDay, const char* endTime)
{
    const std::int32_t start = *ParseTimeOfDay(startTime);
    const std::int32_t end = *ParseTimeOfDay(endTime);
    std::string hours;
    for (int weekday = 0; weekday < 7; ++weekday) {
        for (int hour = 0; hour < 24; ++hour) {
            hours += IsWindowOpen(startDay, start, endDay, end, weekday, hour * 3600 + 1800) ? "SMTWTFS"[weekday] : '.';
        }
    }
    return hours;
}

// The hours from (day, hour) up to but not including (day2, hour2), round the week.
std::string Hours(int day, int hour, int day2, int hour2)
{
    std::string hours(168, '.');
    for (int at = day * 24 + hour; at % 168 != day2 * 24 + hour2; ++at) hours[at % 168] = "SMTWTFS"[at % 168 / 24];
    return hours;
}

TEST(WeekendWindowTimes, AtMidnightBothTimesDecideExactlyAsTheDayRuleAtEverySecond)
{
    for (std::int32_t start = -15; start <= 15; ++start) {
        for (std::int32_t end = -15; end <= 15; ++end) {
            for (int weekday = 0; weekday < 7; ++weekday) {
                const bool dayRule = IsWindowOpen(start, end, weekday);
                for (const std::int32_t second : {0, 1, 43200, 86399}) {
                    ASSERT_EQ(IsWindowOpen(start, 0, end, 0, weekday, second), dayRule)
                        << "StartDay " << start << ", EndDay " << end << ", weekday " << weekday << ", " << second;
                }
            }
        }
    }
}

TEST(WeekendWindowTimes, TheWindowOpensAtStartDayStartTimeAndClosesAtEndDayEndTime)
{
    struct Row {
        std::int32_t startDay;
        const char* startTime;
        std::int32_t endDay;
        const char* endTime;
        std::string open;
    };
    const Row rows[] = {
        {5, "18:00", 1, "00:00", Hours(5, 18, 1, 0)},  // Friday evening to Monday
        {6, "18:00", 6, "23:00", Hours(6, 18, 6, 23)}, // one Saturday evening
        {6, "23:00", 6, "18:00", Hours(6, 23, 6, 18)}, // round the week, all but that evening
        {6, "18:00", 0, "02:00", Hours(6, 18, 0, 2)},  // over midnight and the week's end
        {0, "06:00", 0, "06:00", std::string(168, '.')},
        {7, "06:00", 0, "06:00", std::string(168, '.')}, // 7 acts as Sunday: equal day and time
        {-1, "20:00", 1, "08:00", Hours(6, 20, 1, 8)},   // -1 acts as Saturday
    };
    for (const Row& row : rows) {
        EXPECT_EQ(OpenHours(row.startDay, row.startTime, row.endDay, row.endTime), row.open)
            << row.startDay << " " << row.startTime << " to " << row.endDay << " " << row.endTime;
    }
}

TEST(WeekendWindowTimes, TheLastMinuteOfTheWeekIsOpenAndTheFirstOfTheNextIsNot)
{
    const std::int32_t lastMinute = 23 * 3600 + 59 * 60;
    EXPECT_TRUE(IsWindowOpen(5, 18 * 60, 0, 0, 6, lastMinute + 59)); // Saturday 23:59:59
    EXPECT_FALSE(IsWindowOpen(5, 18 * 60, 0, 0, 0, 0));              // Sunday 00:00:00
    EXPECT_FALSE(IsWindowOpen(5, 18 * 60, 0, 0, 5, 18 * 3600 - 1));  // Friday 17:59:59
    EXPECT_TRUE(IsWindowOpen(5, 18 * 60, 0, 0, 5, 18 * 3600));       // Friday 18:00:00
}

TEST(Calendar, DatesAndTimesAsTheConfigWritesThem)
{
    EXPECT_EQ(ParseTimeOfDay("00:00"), std::optional<std::int32_t>(0));
    EXPECT_EQ(ParseTimeOfDay("23:59"), std::optional<std::int32_t>(1439));
    for (const char* bad : {"24:00", "7:30", "07:60", "07-30", "07:30 ", ""}) EXPECT_FALSE(ParseTimeOfDay(bad)) << bad;

    const auto christmas = ParseDateTime("2026-12-25T18:30");
    ASSERT_TRUE(christmas);
    const LocalTime time = FromWallTime(*christmas);
    EXPECT_EQ(FormatWallTime(*christmas), "Fri 2026-12-25 18:30");
    EXPECT_EQ(ToWallTime(time), *christmas);
    // 29 February in the leap years of the centuries only every fourth one.
    for (const char* good : {"2028-02-29T00:00", "2000-02-29T23:59", "1600-02-29T00:00"}) {
        EXPECT_TRUE(ParseDateTime(good)) << good;
    }
    for (const char* bad : {"2026-02-29T00:00", "1900-02-29T00:00", "2100-02-29T00:00", "2026-04-31T00:00",
                            "2026-13-01T00:00", "2026-12-25 18:30", "2026-12-25T24:00"}) {
        EXPECT_FALSE(ParseDateTime(bad)) << bad;
    }
    // Days before 1970 and the weekdays of a whole cycle of leap years.
    for (std::int64_t day = -800; day <= 146097; day += 97) {
        const WallTime wall{Days{day} + Seconds{1}};
        const LocalTime date = FromWallTime(wall);
        ASSERT_EQ(ToWallTime(date), wall);
        ASSERT_EQ(date.Weekday, ((day + 4) % 7 + 7) % 7);
    }
}

} // namespace
