// The weekly schedule through the real plug-in library and the simulated clock: when evaluations
// come, what the weekday decides, and how a reconfigured or failed weekend ends.
#include <gtest/gtest.h>

#include <string>

#include "tests/rates/RatesFixture.h"

namespace rates_testing {
namespace {

using testing_support::ValidConfig;

class Schedule : public ScheduledRatesTest {};

TEST_F(Schedule, LoadedOnASaturdayTheWeekendStartsAtThe31stCountedCallAndEndsAtMondaysFirstEvaluation)
{
    Start(Saturday);
    server().RunTimer(30);
    EXPECT_EQ(CurrentRates(), normal_);
    EXPECT_EQ(MessagesReceived(), 0u);

    server().RunTimer(1);
    EXPECT_EQ(CurrentRates(), ValidConfigWeekendRates());
    EXPECT_EQ(server().MessageOfTheDay(), "It is the weekend");

    GoTo(Monday);
    server().RunTimer(600);
    EXPECT_EQ(CurrentRates(), ValidConfigWeekendRates());
    server().RunTimer(1);
    EXPECT_EQ(CurrentRates(), normal_);
    EXPECT_EQ(server().MessageOfTheDay(), "A normal day");
    EXPECT_EQ(MessagesReceived(), 8u) << "each switch announced to both players";
}

TEST_F(Schedule, OutsideTheWindowNothingHappens)
{
    Start(Wednesday);
    qv().RunToFirstEvaluation();
    EvaluateOn(Thursday);
    EXPECT_EQ(CurrentRates(), normal_);
    EXPECT_EQ(MessagesReceived(), 0u);
    EXPECT_EQ(server().MessageOfTheDayChanges(), 0);
}

TEST_F(Schedule, CallsWithoutAGameModeAreNotCounted)
{
    Start(Saturday);
    server().RemoveGameMode();
    server().RunTimer(10);
    server().RestoreGameMode();
    server().RunTimer(30);
    EXPECT_EQ(CurrentRates(), normal_) << "the 40th call overall is only the 30th counted one";
    server().RunTimer(1);
    EXPECT_EQ(CurrentRates(), ValidConfigWeekendRates());
}

TEST_F(Schedule, AfterAnEvaluationTheNextComesOnThe601stCountedCall)
{
    Start(Wednesday);
    qv().RunToFirstEvaluation();
    GoTo(Saturday);
    server().RunTimer(600);
    EXPECT_EQ(CurrentRates(), normal_);
    server().RunTimer(1);
    EXPECT_EQ(CurrentRates(), ValidConfigWeekendRates());

    GoTo(Monday);
    server().RunTimer(300);
    server().RemoveGameMode();
    server().RunTimer(50);
    server().RestoreGameMode(); // a game mode of its own, with the server's normal values
    server().ClearInboxes();
    server().RunTimer(300);
    EXPECT_EQ(MessagesReceived(), 0u) << "the 650th call since the last evaluation is only the 600th counted one";
    server().RunTimer(1);
    EXPECT_GT(MessagesReceived(), 0u) << "the switch back is told at the 601st counted call";
    EXPECT_EQ(CurrentRates(), normal_);
}

TEST_F(Schedule, TwoEvaluationsInsideTheWindowSwitchOnce)
{
    Start(Saturday);
    qv().RunToFirstEvaluation();
    qv().RunToNextEvaluation();
    EvaluateOn(Sunday);
    EXPECT_EQ(CurrentRates(), ValidConfigWeekendRates());
    EXPECT_EQ(MessagesReceived(), 4u) << "one notification and one chat line to each of two players";
    EXPECT_EQ(server().MessageOfTheDayChanges(), 1);
}

TEST_F(Schedule, AReloadThatClosesTheWindowSwitchesBackAtTheNextEvaluationNotAtTheReload)
{
    const struct {
        int startDay, endDay;
        const char* what;
    } windows[] = {
        {3, 3, "StartDay equal to EndDay"},
        {5, 6, "EndDay moved to today, a Saturday"},
    };
    for (const auto& window : windows) {
        SCOPED_TRACE(window.what);
        Start(Saturday);
        qv().RunToFirstEvaluation();
        ASSERT_EQ(CurrentRates(), ValidConfigWeekendRates());

        Reload(ConfigWithWindow(window.startDay, window.endDay));
        server().RunTimer(600);
        EXPECT_EQ(CurrentRates(), ValidConfigWeekendRates());
        EXPECT_EQ(MessagesReceived(), 4u);
        server().RunTimer(1);
        EXPECT_EQ(CurrentRates(), normal_);
        EXPECT_EQ(MessagesReceived(), 8u);
    }
}

TEST_F(Schedule, AFailedSwitchOnIsTriedAgainAtEveryEvaluationAndNeverSwitchesBack)
{
    nlohmann::json broken = ValidConfig();
    broken["Quorvandelle"].erase("XPMultiplier");
    Start(Saturday, broken);
    server().ClearLog();

    qv().RunToFirstEvaluation();
    EXPECT_EQ(CurrentRates(), normal_);
    EXPECT_EQ(MessagesReceived(), 0u);
    EXPECT_EQ(ErrorsMentioning("missing the required multiplier XPMultiplier"), 1u);

    server().RunTimer(600);
    EXPECT_EQ(ErrorsMentioning("missing the required multiplier XPMultiplier"), 1u);
    server().RunTimer(1);
    EXPECT_EQ(ErrorsMentioning("missing the required multiplier XPMultiplier"), 2u)
        << "the next evaluation tries again";

    // The window closes on a weekend that never began: there is nothing to switch back or announce.
    EvaluateOn(Monday);
    EXPECT_EQ(CurrentRates(), normal_);
    EXPECT_EQ(MessagesReceived(), 0u);
    EXPECT_EQ(server().MessageOfTheDayChanges(), 0);

    GoTo(Saturday);
    Reload(ValidConfig());
    server().RunTimer(600);
    EXPECT_EQ(CurrentRates(), normal_);
    server().RunTimer(1);
    EXPECT_EQ(CurrentRates(), ValidConfigWeekendRates());
    EXPECT_EQ(MessagesReceived(), 4u);

    EvaluateOn(Monday);
    EXPECT_EQ(CurrentRates(), normal_);
}

TEST_F(Schedule, AClockWithoutALocalDateIsLoggedAndTheEvaluationsGoOn)
{
    Start(Saturday);
    server().ClearLog();
    server().SetClock(-1000);
    qv().RunToFirstEvaluation();
    EXPECT_EQ(CurrentRates(), normal_);
    EXPECT_EQ(ErrorsMentioning("local date"), 1u);
    EXPECT_TRUE(server().EscapedExceptions().empty());

    qv().SetDate(2026, 12, 12); // a Saturday
    server().RunTimer(600);
    EXPECT_EQ(CurrentRates(), normal_);
    server().RunTimer(1);
    EXPECT_EQ(CurrentRates(), ValidConfigWeekendRates());
}

} // namespace
} // namespace rates_testing
