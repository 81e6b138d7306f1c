// Dates, times and durations as administrators type them, and the ISO form the tool prints.
#include <gtest/gtest.h>

#include "tool/DateTime.h"

using namespace qvtool;

TEST(ToolDateTime, DurationsAddUpTheirUnits)
{
    struct Row {
        const char* text;
        Seconds seconds;
    };
    const Row rows[] = {{"90s", 90},    {"10m", 600},   {"1h30m", 5400},
                        {"2d", 172800}, {"1w", 604800}, {"1d1h1m1s", 90061}};
    for (const Row& row : rows) EXPECT_EQ(ParseDuration(row.text), row.seconds) << row.text;
}

TEST(ToolDateTime, DurationsWithoutAUnitOrAmountAreRefused)
{
    for (const char* text : {"", "10", "m", "10x", "1h30", "-5m", "0s", "1.5h", " 10m"}) {
        EXPECT_FALSE(ParseDuration(text).has_value()) << '"' << text << '"';
    }
}

TEST(ToolDateTime, DatesAndTimesReadAsLocalTime)
{
    const auto midnight = ParseLocalDateTime("2025-01-08");
    ASSERT_TRUE(midnight);
    EXPECT_EQ(FormatIso(*midnight), "2025-01-08T00:00:00");
    EXPECT_EQ(LocalWeekday(*midnight), 3); // a Wednesday
    EXPECT_EQ(ParseLocalDateTime("2025-01-08T12:30"), *midnight + 12 * 3600 + 30 * 60);
    EXPECT_EQ(ParseLocalDateTime("2025-01-08 12:30:15"), *midnight + 12 * 3600 + 30 * 60 + 15);
    EXPECT_EQ(FormatReadable(*midnight + 3600), "Wed 2025-01-08 01:00:00");
}

TEST(ToolDateTime, DaysThatDoNotExistAreRefused)
{
    for (const char* text : {"2025-02-30", "2025-13-01", "2025-00-10", "2025-01-08T24:00", "2025-01-08T12:60",
                             "25-01-08", "2025-1-8", "2025-01-08T12", "2025-01-08x", "tomorrow"}) {
        EXPECT_FALSE(ParseLocalDateTime(text).has_value()) << text;
    }
    EXPECT_TRUE(ParseLocalDateTime("2024-02-29").has_value());
}

TEST(ToolDateTime, MidnightsBoundTheDayHoldingATime)
{
    const Seconds noon = *ParseLocalDateTime("2025-01-08T12:00");
    EXPECT_EQ(FormatIso(StartOfLocalDay(noon)), "2025-01-08T00:00:00");
    EXPECT_EQ(FormatIso(NextLocalMidnight(noon)), "2025-01-09T00:00:00");
    EXPECT_EQ(FormatIso(NextLocalMidnight(StartOfLocalDay(noon))), "2025-01-09T00:00:00");
}
