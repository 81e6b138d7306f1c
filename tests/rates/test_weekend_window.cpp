// The weekly window rule, day by day, for the windows administrators configure and the odd ones.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "plugin/rates/WeekendWindow.h"

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

TEST(WeekendWindow, ExtremeDaysAreDecidedWithoutOverflow)
{
    // The largest and smallest 32-bit days must give some answer on every weekday, not undefined arithmetic.
    for (int weekday = 0; weekday < 7; ++weekday) {
        IsWindowOpen(INT_MAX, INT_MIN, weekday);
        IsWindowOpen(INT_MIN, INT_MAX, weekday);
    }
    EXPECT_EQ(OpenDays(INT_MAX, INT_MAX), ".......");
}

} // namespace
