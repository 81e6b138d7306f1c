// The calendar's stretches against the plug-in's own rule asked minute by minute, and the instants
// that the wall-clock times fall at on the nights the clocks change.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>

#include "plugin/config/Windows.h"
#include "tests/support/PluginServer.h"
#include "tests/support/TestZone.h"
#include "tool/CalendarStretches.h"
#include "tool/CheckCommand.h"
#include "tool/DateTime.h"

using namespace qvtool;

TEST(CalendarStretches, EveryMinuteInForceIsInItsWindowsStretchAndNoOther)
{
    struct Row {
        const char* from;
        int days;
        const char* more;
    };
    const Row rows[] = {
        // Started inside the weekend: its stretch keeps its start on Friday.
        {"2026-12-19T12:00", 40,
         R"({"StartTime": "18:00", "Schedules": [
             {"Name": "Christmas Eve", "From": "2026-12-24T10:00", "Until": "2026-12-24T18:00"},
             {"Name": "Evening", "Days": [1, 2, 3, 4], "From": "20:00", "Until": "22:00"}]})"},
        // A holiday inside the weekend splits it; a window past midnight; one open for a month.
        {"2025-12-01T00:00", 45,
         R"({"Schedules": [
             {"Name": "Boxing Day", "From": "2025-12-26T06:30", "Until": "2025-12-27T00:00"},
             {"Name": "Late", "Days": [4, 0], "From": "22:00", "Until": "02:00"},
             {"Name": "Advent", "From": "2025-11-30T00:00", "Until": "2025-12-24T00:00"}]})"},
    };
    const testing_support::TempDirectory folder;
    const std::filesystem::path file = folder.Path() / "config.json";
    for (const Row& row : rows) {
        nlohmann::json document = testing_support::ValidConfig();
        document["Quorvandelle"]["StartDay"] = 5;
        document["Quorvandelle"]["EndDay"] = 1;
        document["Quorvandelle"].update(nlohmann::json::parse(row.more));
        std::ofstream(file) << document.dump();
        const CheckReport report = CheckConfig(file.string());
        ASSERT_TRUE(report.config) << row.more;
        const qv::Config& config = *report.config;

        const PublishedCalendar calendar =
            MakePublishedCalendar(config, {"T", *ParseLocalDateTime(row.from), row.days, 0});
        ASSERT_EQ(calendar.windows.size(), config.Schedules.size() + 1);
        ASSERT_FALSE(calendar.stretches.empty());
        EXPECT_LE(calendar.stretches.front().start.wall, calendar.from.wall) << "in force at the start";
        for (std::size_t i = 1; i < calendar.stretches.size(); ++i) {
            ASSERT_LE(calendar.stretches[i - 1].end.wall, calendar.stretches[i].start.wall);
        }
        // From the first stretch's start, before the calendar's days, to their end.
        std::size_t next = 0;
        for (qv::WallSeconds wall = calendar.stretches.front().start.wall; wall < calendar.to.wall; wall += 60) {
            while (next < calendar.stretches.size() && calendar.stretches[next].end.wall <= wall) ++next;
            const bool covered = next < calendar.stretches.size() && calendar.stretches[next].start.wall <= wall;
            const qv::Window* inForce = qv::WindowInForce(config, qv::FromWallSeconds(wall));
            ASSERT_EQ(covered, inForce != nullptr) << qv::FormatWallTime(wall) << " in " << row.more;
            if (covered) {
                ASSERT_EQ(calendar.windows[calendar.stretches[next].window].name, inForce->Id.DisplayName())
                    << qv::FormatWallTime(wall);
            }
        }
        // No stretch begins just where the one before ended with the same window: it would be one.
        for (std::size_t i = 1; i < calendar.stretches.size(); ++i) {
            const CalendarStretch& before = calendar.stretches[i - 1];
            const CalendarStretch& after = calendar.stretches[i];
            EXPECT_FALSE(before.end.wall == after.start.wall && before.window == after.window)
                << qv::FormatWallTime(after.start.wall);
        }
    }
}

TEST(CalendarStretches, WallClockTimesFallAtTheInstantsThePluginSeesThem)
{
    const testing_support::TestZone zone; // US Eastern time (tests/tool/CMakeLists.txt)
    ASSERT_TRUE(zone.Honoured()) << zone.Advice();
    struct Row {
        const char* wall;
        Seconds instant; // seconds since the epoch
    };
    const Row rows[] = {
        {"2025-01-15T12:00", 1736960400}, // 17:00 UTC, standard time
        {"2025-07-15T12:00", 1752595200}, // 16:00 UTC, daylight time
        {"2025-03-09T02:30", 1741503600}, // skipped: the gap ends at 03:00 EDT, 07:00 UTC
        {"2025-11-02T01:30", 1762061400}, // repeated: its first passing, 05:30 UTC
    };
    for (const Row& row : rows) EXPECT_EQ(InstantOfWall(*qv::ParseDateTime(row.wall)), row.instant) << row.wall;
}
