// The decisions as pure functions: each test builds its own config, boost and schedule memory and
// asks what the plug-in would do, without loading it. The stand-in is there only for the game's
// allocator, which the decoded config's texts live in.
#include <gtest/gtest.h>

#include <algorithm>

#include "plugin/config/DecodeConfig.h"
#include "plugin/config/Windows.h"
#include "plugin/rates/Decisions.h"
#include "plugin/rates/Reminders.h"
#include "tests/support/PluginServer.h"
#include "util/CivilDate.h"

namespace {

using namespace qv;
using nlohmann::json;

Instant Utc(int year, int month, int day, int hour, int minute = 0)
{
    return Instant{Days{util::DaysFromCivil(year, month, day)} + Hours{hour} + Minutes{minute}};
}

class Decisions : public ::testing::Test {
protected:
    Config Decoded(const json& members)
    {
        json file = testing_support::ValidConfig();
        file["Quorvandelle"].update(members);
        DecodedConfig decoded = DecodeConfig(file.dump(), std::nullopt);
        EXPECT_TRUE(decoded.Value) << DescribeAll("config.json", decoded.Errors);
        return decoded.Value ? std::move(*decoded.Value) : Config{};
    }

    testing_support::PluginServer allocator_;
};

// A step back is held as long as the zone's own, whatever its size; the host's clock keeps the hour.
TEST_F(Decisions, TheHoldIsAsLongAsTheZonesOwnStepBack)
{
    struct Row {
        const char* zone; // empty: the host's clock
        Instant at;
        Seconds hold;
    };
    const Row rows[] = {
        {"Antarctica/Troll", Utc(2026, 10, 25, 1, 30), Hours{2}},
        {"Australia/Lord_Howe", Utc(2027, 4, 3, 15, 10), Minutes{30}},
        {"Europe/Berlin", Utc(2026, 10, 25, 1, 10), Hours{1}},
        {"Europe/Berlin", Utc(2026, 3, 29, 1, 10), Seconds{0}}, // the spring change skips, it holds nothing
        {"Europe/Berlin", Utc(2026, 7, 1, 12), Seconds{0}},
        {"UTC", Utc(2026, 10, 25, 1, 30), Seconds{0}},
        {"", Utc(2026, 7, 1, 12), Hours{1}},
    };
    for (const Row& row : rows) {
        json members = {{"StartTime", "18:00"}};
        if (*row.zone != '\0') members["TimeZone"] = row.zone;
        EXPECT_EQ(LongestHold(Decoded(members), row.at).count(), row.hold.count()) << row.zone;
    }
}

// Troll falls back two hours at 01:00 UTC: 03:00 +02 becomes 01:00 +00. A window that closed at
// 02:30 the first time round stays closed the second time.
TEST_F(Decisions, AWindowThatClosedBeforeTheClocksWentBackTwoHoursDoesNotReopen)
{
    const Config config =
        Decoded({{"StartDay", 3},
                 {"EndDay", 3},
                 {"TimeZone", "Antarctica/Troll"},
                 {"Schedules", {{{"Name", "Night"}, {"Days", {6}}, {"From", "22:00"}, {"Until", "02:30"}}}}});
    BoostState boost;
    boost.OwnedBy = Owner::Schedule;
    boost.InForce = WindowId::Schedule("Night");
    ScheduleMemory memory;
    const Evaluation closing = DecideEvaluation(config, boost, memory, Utc(2026, 10, 25, 0, 55), {});
    ASSERT_EQ(closing.Actions.size(), 1u);
    EXPECT_TRUE(std::holds_alternative<action::SwitchBack>(closing.Actions[0]));
    const WallTime latest = *memory.LatestDecision;

    boost.OwnedBy = Owner::Nobody;
    const Evaluation repeated = DecideEvaluation(config, boost, memory, Utc(2026, 10, 25, 1, 5), {});
    EXPECT_TRUE(repeated.Actions.empty()) << "01:05 again, held to 02:55";
    EXPECT_EQ(repeated.Decided, latest);
    EXPECT_EQ(repeated.ByClock, nullptr);
}

// While an administrator's weekend is on, the weekly window is not "coming"; a schedule still is.
TEST_F(Decisions, DuringAManualWeekendOnlyTheSchedulesAreRemindedOf)
{
    const Config config =
        Decoded({{"StartTime", "20:00"},
                 {"TimeZone", "UTC"},
                 {"Reminders", {60}},
                 {"Schedules", {{{"Name", "Late"}, {"Days", {5}}, {"From", "20:30"}, {"Until", "21:00"}}}}});
    const Instant now = Utc(2026, 12, 11, 19, 45); // Friday: the weekend comes at 20:00, Late at 20:30
    const WallTime wall = *ClockOf(config).WallAt(now);
    for (const bool manual : {false, true}) {
        ReminderMemory memory;
        std::vector<std::string> reminded;
        for (const DueReminder& due : CheckReminders(config, now, wall, manual, memory).Due)
            reminded.emplace_back(due.InForce->Id.DisplayName());
        EXPECT_EQ(reminded, (manual ? std::vector<std::string>{"Late"} : std::vector<std::string>{"Weekend", "Late"}));
    }
}

// Two windows that open or close at one moment make one change, to the window in force after it.
TEST_F(Decisions, ChangesAtTheSameMomentAreOneChange)
{
    const Config config = Decoded({{"StartDay", 3},
                                   {"EndDay", 3},
                                   {"TimeZone", "UTC"},
                                   {"Schedules",
                                    {{{"Name", "Morning"}, {"Days", {3}}, {"From", "10:00"}, {"Until", "12:00"}},
                                     {{"Name", "Noon"}, {"Days", {3}}, {"From", "12:00"}, {"Until", "13:00"}},
                                     {{"Name", "Lunch"}, {"Days", {3}}, {"From", "12:00"}, {"Until", "14:00"}}}}});
    const WallTime eleven = *ClockOf(config).WallAt(Utc(2026, 12, 9, 11, 0));
    const std::optional<WindowChange> change = NextChange(config, eleven);
    ASSERT_TRUE(change);
    EXPECT_EQ(change->At, eleven + Hours{1});
    ASSERT_NE(change->InForce, nullptr);
    EXPECT_EQ(change->InForce->Id.DisplayName(), "Noon");

    std::vector<std::string> comings;
    for (const Coming& coming : ComingsIntoForce(config, eleven - Hours{2}, eleven + Hours{4}))
        comings.emplace_back(coming.InForce->Id.DisplayName());
    EXPECT_EQ(comings, (std::vector<std::string>{"Morning", "Noon", "Lunch"}));
}

TEST_F(Decisions, TheToggleSwitchesOnOrBackOrTellsWhyNot)
{
    const Config config = Decoded({{"TimeZone", "UTC"}});
    const Instant saturday = Utc(2026, 12, 12, 12);
    BoostState boost;
    ActionList on = DecideToggle(config, boost, {}, saturday);
    ASSERT_EQ(on.size(), 1u);
    ASSERT_TRUE(std::holds_alternative<action::SwitchOn>(on[0]));
    EXPECT_EQ(std::get<action::SwitchOn>(on[0]).By, Owner::Administrator);

    boost.OwnedBy = Owner::Administrator;
    ActionList back = DecideToggle(config, boost, {}, saturday);
    ASSERT_EQ(back.size(), 1u);
    EXPECT_TRUE(std::holds_alternative<action::SwitchBack>(back[0]));

    boost.OwnedBy = Owner::Schedule;
    ActionList refused = DecideToggle(config, boost, {}, saturday);
    ASSERT_EQ(refused.size(), 1u);
    ASSERT_TRUE(std::holds_alternative<action::Reply>(refused[0]));
    EXPECT_EQ(std::get<action::Reply>(refused[0]).Text,
              L"Weekend rates are scheduled until Mon 2026-12-14 00:00 UTC; the toggle is not available now.");
}

} // namespace
