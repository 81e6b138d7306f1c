// Dates, times and durations as administrators type them, and the ISO form the tool prints.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/TestZone.h"
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
    // Nor a sum beyond a hundred million weeks, however many parts make it.
    const std::string many = [] {
        std::string text;
        for (int part = 0; part < 153; ++part) text += "100000000w";
        return text;
    }();
    for (const char* text : {"", "10", "m", "10x", "1h30", "-5m", "0s", "1.5h", " 10m", "100000000w1s", many.c_str()}) {
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
    for (const char* text :
         {"2025-02-30", "2025-02-29", "2100-02-29", "1900-02-29", "2025-13-01", "2025-00-10", "2025-01-08T24:00",
          "2025-01-08T12:60", "25-01-08", "2025-1-8", "2025-01-08T12", "2025-01-08x", "tomorrow"}) {
        EXPECT_FALSE(ParseLocalDateTime(text).has_value()) << text;
    }
    EXPECT_TRUE(ParseLocalDateTime("2024-02-29").has_value());
    EXPECT_TRUE(ParseLocalDateTime("2000-02-29").has_value());
}

TEST(ToolDateTime, MidnightsBoundTheDayHoldingATime)
{
    const Seconds noon = *ParseLocalDateTime("2025-01-08T12:00");
    EXPECT_EQ(FormatIso(StartOfLocalDay(noon)), "2025-01-08T00:00:00");
    EXPECT_EQ(FormatIso(NextLocalMidnight(noon)), "2025-01-09T00:00:00");
    EXPECT_EQ(FormatIso(NextLocalMidnight(StartOfLocalDay(noon))), "2025-01-09T00:00:00");
}

TEST(ToolDateTime, ATimeThatADaylightSavingChangeSkipsIsMovedAndSaidSo)
{
    const testing_support::TestZone zone; // US Eastern time (tests/tool/CMakeLists.txt)
    ASSERT_TRUE(zone.Honoured()) << zone.Advice();
    // The clock goes from 02:00 to 03:00 on 2025-03-09, and from 02:00 back to 01:00 on 2025-11-02.
    for (const char* text : {"2025-03-09T01:59:59", "2025-03-09T03:00", "2025-11-02T01:30"}) {
        const auto read = ReadLocalDateTime(text);
        ASSERT_TRUE(read) << text;
        EXPECT_FALSE(read->skipped) << text;
        EXPECT_EQ(FormatIso(read->time).substr(0, 16), std::string(text).substr(0, 16));
    }
    const auto skipped = ReadLocalDateTime("2025-03-09T02:30");
    ASSERT_TRUE(skipped);
    EXPECT_TRUE(skipped->skipped);
    // C libraries move it an hour back or an hour on.
    const std::string moved = FormatIso(skipped->time);
    EXPECT_TRUE(moved == "2025-03-09T01:30:00" || moved == "2025-03-09T03:30:00") << moved;
    EXPECT_FALSE(ReadLocalDateTime("2025-02-29T02:30")) << "no such day in any zone";
}
