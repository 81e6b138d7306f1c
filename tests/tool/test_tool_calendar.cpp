// The preview's calendar and switch moments, by the rule and against the real plug-in running in
// the stand-in server over the same days.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>

#include <nlohmann/json.hpp>

#include "plugin/config/Windows.h"
#include "tests/support/PluginServer.h"
#include "tests/support/TestZone.h"
#include "tool/Calendar.h"
#include "tool/CheckCommand.h"
#include "tool/Simulation.h"
#include "util/CivilDate.h"

using namespace qv;

using namespace qvtool;

namespace {

const LocalClock host;

Instant At(const char* text) { return InstantOfWall(host, *ParseLocalDateTime(text)).Time; }

std::string WeekendDays(const WeekCalendar& calendar)
{
    std::string days;
    for (const CalendarDay& day : calendar.Days)
        days += day.WeekendRates ? util::ShortWeekdayName(day.Weekday)[0] : '.';
    return days;
}

std::vector<std::pair<std::string, bool>> Moments(const std::vector<SwitchMoment>& switches)
{
    std::vector<std::pair<std::string, bool>> moments;
    for (const SwitchMoment& change : switches) moments.emplace_back(FormatIso(host, change.When), change.ToWeekend);
    return moments;
}

} // namespace

TEST(ToolCalendar, FridayToMondayFromAWednesdayMidnight)
{
    const WeekCalendar calendar = BuildCalendar(5, 1, At("2025-01-08"), 7, EvaluationTiming{});
    EXPECT_EQ(WeekendDays(calendar), "..FSS..");
    EXPECT_EQ(FormatIso(host, calendar.FirstEvaluation), "2025-01-08T00:00:31");
    // Evaluations at 31 + 601k seconds: k = 288 is the first after Friday's midnight (172800 s),
    // k = 719 the first after Monday's (432000 s).
    const std::vector<std::pair<std::string, bool>> expected = {{"2025-01-10T00:05:19", true},
                                                                {"2025-01-13T00:02:30", false}};
    EXPECT_EQ(Moments(calendar.Switches), expected);
}

TEST(ToolCalendar, AServerStartedInsideTheWindowSwitchesOnAtTheFirstEvaluation)
{
    const WeekCalendar calendar = BuildCalendar(5, 1, At("2025-01-11T15:00"), 3, EvaluationTiming{});
    ASSERT_FALSE(calendar.Switches.empty());
    EXPECT_EQ(FormatIso(host, calendar.Switches[0].When), "2025-01-11T15:00:31");
    EXPECT_TRUE(calendar.Switches[0].ToWeekend);
}

TEST(ToolCalendar, AFirstEvaluationPastMidnightSeesTheNewDay)
{
    // Started 20 s before Friday: the first evaluation, 31 s later, is already on Friday.
    const WeekCalendar calendar = BuildCalendar(5, 1, At("2025-01-09T23:59:40"), 2, EvaluationTiming{});
    ASSERT_FALSE(calendar.Switches.empty());
    EXPECT_EQ(FormatIso(host, calendar.Switches[0].When), "2025-01-10T00:00:11");
}

TEST(ToolCalendar, AnEmptyWindowNeverSwitches)
{
    const WeekCalendar calendar = BuildCalendar(3, 3, At("2025-01-08"), 14, EvaluationTiming{});
    EXPECT_FALSE(calendar.EverOpen);
    EXPECT_TRUE(calendar.Switches.empty());
    EXPECT_EQ(WeekendDays(calendar), "..............");
}

TEST(ToolCalendar, TheIntervalScalesEveryMoment)
{
    EvaluationTiming slow;
    slow.TimerInterval = Seconds{2};
    const Instant wednesday = At("2025-01-08");
    EXPECT_EQ(slow.FirstEvaluation(wednesday), wednesday + Seconds{62});
    EXPECT_EQ(slow.EvaluationAtOrAfter(wednesday, wednesday + Seconds{63}), wednesday + Seconds{62 + 1202});
    EXPECT_EQ(slow.EvaluationAtOrAfter(wednesday, wednesday + Seconds{62 + 1202}), wednesday + Seconds{62 + 1202});
}

namespace {

std::string Name(const Window* window) { return window ? std::string(window->Id.DisplayName()) : std::string("-"); }

} // namespace

// The preview promises what the plug-in will do; here the plug-in does it: every switch with the
// window it is about, and every reminder, to the second.
TEST(ToolCalendar, SwitchMomentsAreThoseOfTheRealPlugin)
{
    struct Row {
        int startDay, endDay;
        const char* from;
        const char* more = "{}"; // members added to the section
        bool eastern = false;    // in US Eastern time, else UTC
    };
    const Row rows[] = {
        {5, 1, "2025-01-08T00:00"},
        {5, 1, "2025-01-11T15:00"},
        {6, 0, "2025-01-09T23:59:40"},
        {1, 5, "2025-01-08T07:13:05"},
        {-1, 1, "2025-01-05T00:00"},
        {3, 3, "2025-01-08T00:00"},
        // The example's evening, holiday and weekend windows with reminders.
        {5, 1, "2026-12-21T00:00",
         R"({"StartTime": "18:00", "Reminders": [60, 10], "Schedules": [
             {"Name": "Christmas Eve", "From": "2026-12-24T10:00", "Until": "2026-12-24T18:00", "XPMultiplier": 3},
             {"Name": "Evening", "Days": [1, 2, 3, 4], "From": "20:00", "Until": "22:00", "XPMultiplier": 1.5}]})"},
        // A holiday over the weekend wins while it lasts; the weekend comes back after it. Reminders
        // closer together than two evaluations go out as one.
        {5, 1, "2025-12-24T12:00",
         R"({"Reminders": [45, 15, 5], "Schedules": [
             {"Name": "Boxing Day", "From": "2025-12-26T06:30", "Until": "2025-12-27T00:00", "XPMultiplier": 5}]})"},
        // Past midnight, round the week from a same-day start, started just before a window.
        {6, 6, "2025-01-09T21:59:50",
         R"({"StartTime": "23:00", "EndTime": "18:00", "Reminders": [1440], "Schedules": [
             {"Name": "Late", "Days": [4, 0], "From": "22:00", "Until": "02:00", "HarvestAmountMultiplier": 9}]})"},
        // The night the clocks go back (2025-11-02 02:00 EDT is 01:00 EST): a window ending in the
        // repeated hour closes once, and the next opens on the wall clock.
        {5, 5, "2025-10-31T00:00",
         R"({"Reminders": [30], "Schedules": [
             {"Name": "Night", "Days": [6], "From": "23:00", "Until": "01:30", "XPMultiplier": 3},
             {"Name": "Morning", "Days": [0], "From": "03:00", "Until": "04:00", "XPMultiplier": 4}]})",
         true},
        // The night the clocks go forward (2025-03-09 02:00 EST is 03:00 EDT): a window at 03:30 is
        // an hour nearer than the wall clock's difference says.
        {5, 5, "2025-03-08T20:00",
         R"({"Reminders": [60], "Schedules": [
             {"Name": "Early", "Days": [0], "From": "03:30", "Until": "05:00", "XPMultiplier": 3}]})",
         true},
    };
    const testing_support::TempDirectory folder;
    const std::filesystem::path config = folder.Path() / "config.json";
    for (const Row& row : rows) {
        std::optional<testing_support::TestZone> zone; // US Eastern time (tests/tool/CMakeLists.txt)
        if (row.eastern) {
            ASSERT_TRUE(zone.emplace().Honoured()) << zone->Advice();
        }
        nlohmann::json document = testing_support::ValidConfig();
        document["Quorvandelle"]["StartDay"] = row.startDay;
        document["Quorvandelle"]["EndDay"] = row.endDay;
        document["Quorvandelle"].update(nlohmann::json::parse(row.more));
        std::ofstream(config) << document.dump();
        const CheckReport report = CheckConfig(config.string());
        ASSERT_TRUE(report.Config) << row.more;

        const Instant start = At(row.from);
        const int days = 15;
        std::vector<std::string> seen;
        {
            Simulation simulation({config, start, standin::Server::LibraryBesideExecutable("Quorvandelle"), host},
                                  [&seen](const Event& event) {
                                      const std::string when = FormatIso(host, event.Time) + " ";
                                      if (const auto* rates = std::get_if<events::Rates>(&event.What)) {
                                          seen.push_back(when + (rates->Boosted ? "on " : "back ") + rates->Window);
                                      }
                                      if (const auto* reminder = std::get_if<events::Reminder>(&event.What)) {
                                          seen.push_back(when + "reminder " + reminder->Window + " " +
                                                         std::to_string(reminder->Minutes));
                                      }
                                  });
            simulation.Start(days);
            simulation.RunUntil(AddLocalDays(host, start, days));
        }
        const WeekCalendar calendar = BuildCalendar(*report.Config, start, days, StandInTiming());
        std::vector<std::string> promised;
        for (const SwitchMoment& change : calendar.Switches) {
            promised.push_back(FormatIso(host, change.When) + (change.ToWeekend ? " on " : " back ") +
                               Name(change.ToWeekend ? change.Window : change.Previous));
        }
        for (const ReminderMoment& reminder : calendar.Reminders) {
            promised.push_back(FormatIso(host, reminder.When) + " reminder " + Name(reminder.Window) + " " +
                               std::to_string(reminder.Minutes));
        }
        std::sort(seen.begin(), seen.end());
        std::sort(promised.begin(), promised.end());
        EXPECT_EQ(seen, promised) << "StartDay " << row.startDay << ", EndDay " << row.endDay << ", from " << row.from
                                  << ", " << row.more;
        if (std::string(row.more) == "{}") {
            EXPECT_EQ(calendar.Switches.empty(), row.startDay == row.endDay);
        } else {
            EXPECT_FALSE(calendar.Reminders.empty()) << row.more;
        }
    }
}

TEST(ToolCalendar, TheWindowInForceWinsOverTheOthersOpen)
{
    Config settings;
    settings.StartDay = 5;
    settings.EndDay = 1;
    settings.Weekly.Times = WeekdayRule{5, 0, 1, 0};
    Window holiday;
    holiday.Id = WindowId::Schedule("Boxing Day");
    holiday.Times = DatedSpan{*ParseDateTime("2025-12-26T06:30"), *ParseDateTime("2025-12-27T00:00")};
    settings.Schedules.push_back(std::move(holiday));
    const WeekCalendar calendar = BuildCalendar(settings, At("2025-12-24T12:00"), 7, EvaluationTiming{});
    std::vector<std::string> switches;
    for (const SwitchMoment& change : calendar.Switches) {
        std::string line = FormatIso(host, change.When) + " " + Name(change.Previous) + " > " + Name(change.Window);
        for (const Window* other : change.AlsoOpen) line += " over " + Name(other);
        switches.push_back(line);
    }
    // Evaluations at 12:00:31 + k * 601 s after the start: k = 216 is the first after Friday's
    // midnight, 255 after 06:30, 360 after Saturday's midnight and 647 after Monday's.
    const std::vector<std::string> expected = {
        "2025-12-26T00:04:07 - > Weekend",
        "2025-12-26T06:34:46 Weekend > Boxing Day over Weekend",
        "2025-12-27T00:06:31 Boxing Day > Weekend",
        "2025-12-29T00:01:18 Weekend > -",
    };
    EXPECT_EQ(switches, expected);
}
