// The calendar's stretches against the plug-in's own rule asked minute by minute.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>

#include "plugin/config/Windows.h"
#include "tests/support/PluginServer.h"
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
        // Priorities: the weekly window wins over a festival of lower priority, a late hour of higher
        // priority over both.
        {"2025-12-01T00:00", 45,
         R"({"Priority": 1, "Schedules": [
             {"Name": "Advent", "Priority": -1, "From": "2025-11-30T00:00", "Until": "2025-12-24T00:00"},
             {"Name": "Late", "Priority": 2, "Days": [5, 6], "From": "22:00", "Until": "02:00"}]})"},
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
        ASSERT_TRUE(report.Config) << row.more;
        const qv::Config& config = *report.Config;

        const PublishedCalendar calendar = MakePublishedCalendar(
            config, {"T", InstantOfWall(qv::ClockOf(config), *ParseLocalDateTime(row.from)).Time, row.days, Instant{}});
        ASSERT_EQ(calendar.Windows.size(), config.Schedules.size() + 1);
        ASSERT_FALSE(calendar.Stretches.empty());
        EXPECT_LE(calendar.Stretches.front().Start.Wall, calendar.From.Wall) << "in force at the start";
        for (std::size_t i = 1; i < calendar.Stretches.size(); ++i) {
            ASSERT_LE(calendar.Stretches[i - 1].End.Wall, calendar.Stretches[i].Start.Wall);
        }
        // From the first stretch's start, before the calendar's days, to their end.
        std::size_t next = 0;
        for (WallTime wall = calendar.Stretches.front().Start.Wall; wall < calendar.To.Wall; wall += Minutes{1}) {
            while (next < calendar.Stretches.size() && calendar.Stretches[next].End.Wall <= wall) ++next;
            const bool covered = next < calendar.Stretches.size() && calendar.Stretches[next].Start.Wall <= wall;
            const qv::Window* inForce = qv::WindowInForceAt(config, wall);
            ASSERT_EQ(covered, inForce != nullptr) << qv::FormatWallTime(wall) << " in " << row.more;
            if (covered) {
                ASSERT_EQ(calendar.Windows[calendar.Stretches[next].Window].Name, inForce->Id.DisplayName())
                    << qv::FormatWallTime(wall);
            }
        }
        // No stretch begins just where the one before ended with the same window: it would be one.
        for (std::size_t i = 1; i < calendar.Stretches.size(); ++i) {
            const CalendarStretch& before = calendar.Stretches[i - 1];
            const CalendarStretch& after = calendar.Stretches[i];
            EXPECT_FALSE(before.End.Wall == after.Start.Wall && before.Window == after.Window)
                << qv::FormatWallTime(after.Start.Wall);
        }
    }
}

namespace {

qv::Config Decoded(const char* more)
{
    const testing_support::TempDirectory folder;
    const std::filesystem::path file = folder.Path() / "config.json";
    nlohmann::json document = testing_support::ValidConfig();
    document["Quorvandelle"].update(nlohmann::json::parse(more));
    std::ofstream(file) << document.dump();
    return *CheckConfig(file.string()).Config;
}

} // namespace

// Players read when in words, not keys; the zone with its abbreviations; a relative rate as the
// factor the announcement gives, and a factor of 1 as no change.
TEST(CalendarStretches, TheWindowsAreDescribedAsPlayersReadThem)
{
    const auto described = [](const char* more) {
        return MakePublishedCalendar(Decoded(more), {"T", Instant{}, 1, Instant{}});
    };
    const PublishedCalendar calendar = described(R"({"StartTime": "18:00", "EndTime": "06:00",
        "TimeZone": "America/New_York", "RelativeRates": true, "TamingSpeedMultiplier": 1, "Schedules": [
          {"Name": "Evening", "Days": [1, 2, 3, 4], "From": "20:00", "Until": "22:00"},
          {"Name": "Late", "Days": [6, 0, 1], "From": "22:00", "Until": "02:00"},
          {"Name": "Christmas Eve", "From": "2026-12-24T10:00", "Until": "2026-12-24T18:00"}]})");
    std::vector<std::string> windows;
    for (const CalendarWindow& window : calendar.Windows) windows.push_back(window.Name + ": " + window.When);
    EXPECT_EQ(windows, (std::vector<std::string>{
                           "Evening: Mondays to Thursdays, 20:00 to 22:00",
                           "Late: Saturdays to Mondays, 22:00 to 02:00 the next day",
                           "Christmas Eve: Thu 2026-12-24 10:00 to 18:00",
                           "Weekend: Fridays 18:00 to Mondays 06:00",
                       }));
    EXPECT_EQ(RatesText(calendar.Windows.back()).rfind("XP \u00d72, harvest amount \u00d74, ", 0), 0u)
        << RatesText(calendar.Windows.back());
    EXPECT_EQ(calendar.ZoneText, "Times are in America/New_York (EST/EDT).");
    EXPECT_EQ(described(R"({"StartDay": 5, "EndDay": 1})").Windows.back().When, "Fridays to Sundays, all day");
}
