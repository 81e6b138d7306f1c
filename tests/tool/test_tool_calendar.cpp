// The preview's calendar and switch moments, by the rule and against the real plug-in running in
// the stand-in server over the same days.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <nlohmann/json.hpp>

#include "tests/support/PluginServer.h"
#include "tool/Calendar.h"
#include "tool/Simulation.h"

using namespace qvtool;

namespace {

std::string Days(const WeekCalendar& calendar)
{
    std::string days;
    for (const CalendarDay& day : calendar.days) days += day.weekendRates ? ShortWeekdayName(day.weekday)[0] : '.';
    return days;
}

std::vector<std::pair<std::string, bool>> Moments(const std::vector<SwitchMoment>& switches)
{
    std::vector<std::pair<std::string, bool>> moments;
    for (const SwitchMoment& change : switches) moments.emplace_back(FormatIso(change.when), change.toWeekend);
    return moments;
}

} // namespace

TEST(ToolCalendar, FridayToMondayFromAWednesdayMidnight)
{
    const Seconds wednesday = *ParseLocalDateTime("2025-01-08");
    const WeekCalendar calendar = BuildCalendar(5, 1, wednesday, 7, EvaluationTiming{});
    EXPECT_EQ(Days(calendar), "..FSS..");
    EXPECT_EQ(FormatIso(calendar.firstEvaluation), "2025-01-08T00:00:31");
    // Evaluations at 31 + 601k seconds: k = 288 is the first after Friday's midnight (172800 s),
    // k = 719 the first after Monday's (432000 s).
    const std::vector<std::pair<std::string, bool>> expected = {{"2025-01-10T00:05:19", true},
                                                                {"2025-01-13T00:02:30", false}};
    EXPECT_EQ(Moments(calendar.switches), expected);
}

TEST(ToolCalendar, AServerStartedInsideTheWindowSwitchesOnAtTheFirstEvaluation)
{
    const Seconds saturday = *ParseLocalDateTime("2025-01-11T15:00");
    const WeekCalendar calendar = BuildCalendar(5, 1, saturday, 3, EvaluationTiming{});
    ASSERT_FALSE(calendar.switches.empty());
    EXPECT_EQ(FormatIso(calendar.switches[0].when), "2025-01-11T15:00:31");
    EXPECT_TRUE(calendar.switches[0].toWeekend);
}

TEST(ToolCalendar, AFirstEvaluationPastMidnightSeesTheNewDay)
{
    // Started 20 s before Friday: the first evaluation, 31 s later, is already on Friday.
    const Seconds lateThursday = *ParseLocalDateTime("2025-01-09T23:59:40");
    const WeekCalendar calendar = BuildCalendar(5, 1, lateThursday, 2, EvaluationTiming{});
    ASSERT_FALSE(calendar.switches.empty());
    EXPECT_EQ(FormatIso(calendar.switches[0].when), "2025-01-10T00:00:11");
}

TEST(ToolCalendar, AnEmptyWindowNeverSwitches)
{
    const WeekCalendar calendar = BuildCalendar(3, 3, *ParseLocalDateTime("2025-01-08"), 14, EvaluationTiming{});
    EXPECT_FALSE(calendar.everOpen);
    EXPECT_TRUE(calendar.switches.empty());
    EXPECT_EQ(Days(calendar), "..............");
}

TEST(ToolCalendar, TheIntervalScalesEveryMoment)
{
    EvaluationTiming slow;
    slow.timerInterval = 2;
    const Seconds wednesday = *ParseLocalDateTime("2025-01-08");
    EXPECT_EQ(slow.FirstEvaluation(wednesday), wednesday + 62);
    EXPECT_EQ(slow.EvaluationAtOrAfter(wednesday, wednesday + 63), wednesday + 62 + 1202);
    EXPECT_EQ(slow.EvaluationAtOrAfter(wednesday, wednesday + 62 + 1202), wednesday + 62 + 1202);
}

// The preview promises what the plug-in will do; here the plug-in does it.
TEST(ToolCalendar, SwitchMomentsAreThoseOfTheRealPlugin)
{
    struct Row {
        int startDay, endDay;
        const char* from;
    };
    const Row rows[] = {
        {5, 1, "2025-01-08T00:00"},    {5, 1, "2025-01-11T15:00"},  {6, 0, "2025-01-09T23:59:40"},
        {1, 5, "2025-01-08T07:13:05"}, {-1, 1, "2025-01-05T00:00"}, {3, 3, "2025-01-08T00:00"},
    };
    const testing_support::TempDirectory folder;
    const std::filesystem::path config = folder.Path() / "config.json";
    for (const Row& row : rows) {
        nlohmann::json document = testing_support::ValidConfig();
        document["Quorvandelle"]["StartDay"] = row.startDay;
        document["Quorvandelle"]["EndDay"] = row.endDay;
        std::ofstream(config) << document.dump();

        const Seconds start = *ParseLocalDateTime(row.from);
        const int days = 15;
        std::vector<SwitchMoment> seen;
        {
            Simulation simulation({config, start, standin::Server::LibraryBesideExecutable("Quorvandelle")},
                                  [&seen](const Event& event) {
                                      if (const auto* rates = std::get_if<events::Rates>(&event.what))
                                          seen.push_back({event.time, rates->weekend});
                                  });
            simulation.Start(days);
            simulation.RunUntil(NextLocalMidnight(start + (days - 1) * 86400));
        }
        const WeekCalendar calendar = BuildCalendar(row.startDay, row.endDay, start, days, StandInTiming());
        EXPECT_EQ(Moments(seen), Moments(calendar.switches))
            << "StartDay " << row.startDay << ", EndDay " << row.endDay << ", from " << row.from;
        EXPECT_EQ(calendar.switches.empty(), row.startDay == row.endDay);
    }
}
