// Dates, times and durations as administrators type them, and the ISO form the tool prints, on the
// host's clock.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/support/TestZone.h"
#include "tool/DateTime.h"

using namespace qvtool;

namespace {

const qv::LocalClock host;

Instant At(const char* text) { return InstantOfWall(host, *ParseLocalDateTime(text)).Time; }

} // namespace

TEST(ToolDateTime, DurationsAddUpTheirUnits)
{
    struct Row {
        const char* text;
        long long seconds;
    };
    const Row rows[] = {{"90s", 90},    {"10m", 600},   {"1h30m", 5400},
                        {"2d", 172800}, {"1w", 604800}, {"1d1h1m1s", 90061}};
    for (const Row& row : rows) EXPECT_EQ(ParseDuration(row.text), Seconds{row.seconds}) << row.text;
}

TEST(ToolDateTime, DurationsWithoutAUnitOrAmountAreRefused)
{
    // Nor a sum beyond a hundred million weeks, however many parts make it.
    const std::string many = [] {
        std::string text;
        for (int part = 0; part < 153; ++part) text += "100000000w";
        return text;
    }();
    for (const char* text :
         {"", "10", "m", "10x", "1h30", "-5m", "0s", "1.5h", " 10m", "100000000w1s", "100000001s", many.c_str()}) {
        EXPECT_FALSE(ParseDuration(text).has_value()) << '"' << text << '"';
    }
}

TEST(ToolDateTime, DatesAndTimesReadAsLocalTime)
{
    const Instant midnight = At("2025-01-08");
    EXPECT_EQ(FormatIso(host, midnight), "2025-01-08T00:00:00");
    EXPECT_EQ(qv::WeekdayOf(WallOf(host, midnight)), 3); // a Wednesday
    EXPECT_EQ(At("2025-01-08T12:30"), midnight + util::Hours{12} + Minutes{30});
    EXPECT_EQ(At("2025-01-08 12:30:15"), midnight + util::Hours{12} + Minutes{30} + Seconds{15});
    EXPECT_EQ(FormatReadable(host, midnight + util::Hours{1}), "Wed 2025-01-08 01:00:00");
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
    const Instant noon = At("2025-01-08T12:00");
    EXPECT_EQ(FormatIso(host, StartOfLocalDay(host, noon)), "2025-01-08T00:00:00");
    EXPECT_EQ(FormatIso(host, NextLocalMidnight(host, noon)), "2025-01-09T00:00:00");
    EXPECT_EQ(FormatIso(host, NextLocalMidnight(host, StartOfLocalDay(host, noon))), "2025-01-09T00:00:00");
}

// Where the plug-in puts a time the clocks skip, whatever the C library's mktime would have made of it.
TEST(ToolDateTime, ATimeThatADaylightSavingChangeSkipsIsMovedToTheEndOfTheGapAndSaidSo)
{
    const testing_support::TestZone zone; // US Eastern time (tests/tool/CMakeLists.txt)
    ASSERT_TRUE(zone.Honoured()) << zone.Advice();
    // The clock goes from 02:00 to 03:00 on 2025-03-09, and from 02:00 back to 01:00 on 2025-11-02.
    for (const char* text : {"2025-03-09T01:59:59", "2025-03-09T03:00", "2025-11-02T01:30"}) {
        const auto read = ReadLocalDateTime(host, text);
        ASSERT_TRUE(read) << text;
        EXPECT_FALSE(read->Skipped) << text;
        EXPECT_EQ(FormatIso(host, read->Time).substr(0, 16), std::string(text).substr(0, 16));
    }
    const auto skipped = ReadLocalDateTime(host, "2025-03-09T02:30");
    ASSERT_TRUE(skipped);
    EXPECT_TRUE(skipped->Skipped);
    EXPECT_EQ(FormatIso(host, skipped->Time), "2025-03-09T03:00:00");
    EXPECT_FALSE(ReadLocalDateTime(host, "2025-02-29T02:30")) << "no such day in any zone";
}

TEST(ToolDateTime, WallClockTimesFallAtTheInstantsThePluginSeesThem)
{
    const testing_support::TestZone zone; // US Eastern time (tests/tool/CMakeLists.txt)
    ASSERT_TRUE(zone.Honoured()) << zone.Advice();
    struct Row {
        const char* wall;
        std::int64_t instant; // seconds since the epoch
    };
    const Row rows[] = {
        {"2025-01-15T12:00", 1736960400}, // 17:00 UTC, standard time
        {"2025-07-15T12:00", 1752595200}, // 16:00 UTC, daylight time
        {"2025-03-09T02:30", 1741503600}, // skipped: the gap ends at 03:00 EDT, 07:00 UTC
        {"2025-11-02T01:30", 1762061400}, // repeated: its first passing, 05:30 UTC
    };
    for (const Row& row : rows) EXPECT_EQ(At(row.wall), util::InstantOf(row.instant)) << row.wall;
}
