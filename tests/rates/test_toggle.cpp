// "/ToggleQuorvandelle" through the real plug-in library: who may use it, what it switches, and how
// it meets the schedule's weekend.
#include <gtest/gtest.h>

#include <vector>

#include "tests/rates/RatesFixture.h"

namespace rates_testing {
namespace {

using standin::MessageKind;
using testing_support::ValidConfig;

class ToggleCommand : public RatesTest {
protected:
    void SetUp() override { Start(Wednesday); }
};

class ToggleAndSchedule : public ScheduledRatesTest {};

nlohmann::json ConfigWithoutXPMultiplier()
{
    nlohmann::json config = ValidConfig();
    config["Quorvandelle"].erase("XPMultiplier");
    return config;
}

TEST_F(ToggleCommand, AnAdministratorSwitchesTheWeekendOnAndTheNormalValuesBackIgnoringWhatFollowsTheCommand)
{
    Toggle(admin_, "/ToggleQuorvandelle off");
    EXPECT_EQ(CurrentRates(), ValidConfigWeekendRates());
    Toggle(admin_, "/ToggleQuorvandelle on please {0}");
    EXPECT_EQ(CurrentRates(), normal_);

    for (const standin::PlayerId player : {admin_, player_}) {
        const standin::Inbox inbox = server().InboxOf(player);
        const std::vector<MessageKind> announcements = {MessageKind::Notification, MessageKind::ChatRecord,
                                                        MessageKind::Notification, MessageKind::ChatRecord};
        EXPECT_EQ(inbox.order, announcements) << "the command sends no reply of its own";
        ASSERT_EQ(inbox.notifications.size(), 2u);
        EXPECT_EQ(inbox.notifications[0].text, "Weekend rates on");
        EXPECT_EQ(inbox.notifications[1].text, "Weekend rates off");
    }
}

TEST_F(ToggleCommand, OnlyAnAdministratorsCharacterMayUseItAndRefusalsChangeNothing)
{
    standin::PlayerProfile withoutCharacter;
    withoutCharacter.name = "Cy";
    withoutCharacter.hasCharacter = false;
    const standin::PlayerId cy = server().JoinPlayer(withoutCharacter);

    Toggle(player_);
    Toggle(cy);
    EXPECT_EQ(CurrentRates(), normal_);
    EXPECT_EQ(MessagesReceived() + server().InboxOf(cy).Count(), 0u);
    EXPECT_EQ(server().MessageOfTheDayChanges(), 0);

    // No player-state test: an administrator without one may switch. The refused uses did not
    // flip the direction, so this first accepted use switches on.
    standin::PlayerProfile withoutPlayerState;
    withoutPlayerState.name = "Di";
    withoutPlayerState.admin = true;
    withoutPlayerState.hasPlayerState = false;
    Toggle(server().JoinPlayer(withoutPlayerState));
    EXPECT_EQ(CurrentRates(), ValidConfigWeekendRates());

    server().SetAdmin(admin_, false);
    server().ClearInboxes();
    Toggle(admin_);
    EXPECT_EQ(CurrentRates(), ValidConfigWeekendRates());
    EXPECT_EQ(MessagesReceived(), 0u);
}

TEST_F(ToggleCommand, WithoutAConfigNothingSwitchesAndTheLogSaysWhy)
{
    qv().Unload();
    qv().RemoveConfig();
    qv().Load();
    server().ClearLog();

    Toggle(admin_);
    EXPECT_EQ(CurrentRates(), normal_);
    EXPECT_EQ(MessagesReceived(), 0u);
    EXPECT_EQ(ErrorsMentioning("no config has been loaded from"), 1u);
    EXPECT_EQ(ErrorsMentioning("Quorvandelle/config.json"), 1u);
}

TEST_F(ToggleCommand, WithoutAGameModeNothingSwitches)
{
    server().RemoveGameMode();
    Toggle(admin_);
    server().RestoreGameMode();
    EXPECT_EQ(CurrentRates(), normal_);
    EXPECT_EQ(MessagesReceived(), 0u);
    EXPECT_TRUE(server().EscapedExceptions().empty());

    Toggle(admin_);
    EXPECT_EQ(CurrentRates(), ValidConfigWeekendRates());
}

// The values went with the game mode: the manual weekend ends at once, its end is told, and the game
// mode that comes back keeps the server's normal values at every evaluation after.
TEST_F(ToggleCommand, SwitchedOffWhileTheWorldIsDownItStaysOff)
{
    Toggle(admin_);
    ASSERT_EQ(CurrentRates(), ValidConfigWeekendRates());
    server().RemoveGameMode();
    server().ClearInboxes();
    Toggle(admin_);
    EXPECT_EQ(MessagesReceived(), 4u) << "the end is told once: a notification and a chat line to each player";
    server().RestoreGameMode();
    server().ClearInboxes();
    qv().RunToFirstEvaluation();
    qv().RunToNextEvaluation();
    EXPECT_EQ(CurrentRates(), normal_);
    EXPECT_EQ(MessagesReceived(), 0u);

    Toggle(admin_);
    EXPECT_EQ(CurrentRates(), ValidConfigWeekendRates()) << "the toggle goes on from off";
}

TEST_F(ToggleAndSchedule, RefusedDuringAScheduledWeekendAndGoesOnFromItsOldStateAfterIt)
{
    Start(Saturday);
    qv().RunToFirstEvaluation();
    Toggle(player_);
    EXPECT_EQ(MessagesReceived(), 4u) << "only the schedule's announcements; a player is refused in silence";
    Toggle(admin_);
    EXPECT_EQ(CurrentRates(), ValidConfigWeekendRates());
    ASSERT_EQ(MessagesReceived(), 5u) << "the administrator alone is told why";
    EXPECT_EQ(server().InboxOf(admin_).directChats.back().text,
              "Weekend rates are scheduled until Mon 2026-12-14 00:00; the toggle is not available now.");

    EvaluateOn(Monday);
    EXPECT_EQ(CurrentRates(), normal_);

    Toggle(admin_);
    EXPECT_EQ(CurrentRates(), ValidConfigWeekendRates()) << "the refused use did not count";
    Toggle(admin_);
    EXPECT_EQ(CurrentRates(), normal_);
}

// The reply is a message pattern: a window's name with braces shows them as written.
TEST_F(ToggleAndSchedule, TheRefusalNamesAWindowWithBracesAsWritten)
{
    nlohmann::json config = ValidConfig();
    config["Quorvandelle"]["Schedules"] = {
        {{"Name", "Happy {{hour}} }{"}, {"Days", {6}}, {"From", "10:00"}, {"Until", "14:00"}}};
    Start(Saturday, config);
    qv().RunToFirstEvaluation();
    Toggle(admin_);
    EXPECT_EQ(server().InboxOf(admin_).directChats.back().text,
              "Happy {{hour}} }{ rates are scheduled until Sat 2026-12-12 14:00; the toggle is not available now.");
}

TEST_F(ToggleAndSchedule, AWindowOpeningDuringAManualWeekendTakesItOverAndEndsItWithTheTrueNormalValues)
{
    Start(Thursday);
    Toggle(admin_);
    const Rates manualWeekend = CurrentRates();
    ASSERT_EQ(manualWeekend, ValidConfigWeekendRates());
    // Different weekend values now: a second switch-on by the schedule would show them.
    nlohmann::json changed = ValidConfig();
    changed["Quorvandelle"]["XPMultiplier"] = 5;
    Reload(changed);

    // A closed window leaves a manual weekend alone.
    qv().RunToFirstEvaluation();
    EXPECT_EQ(CurrentRates(), manualWeekend);

    EvaluateOn(Friday);
    EXPECT_EQ(CurrentRates(), manualWeekend) << "no second switch-on";
    EXPECT_EQ(MessagesReceived(), 4u) << "no second announcement";
    EXPECT_EQ(server().MessageOfTheDayChanges(), 1);

    Toggle(admin_);
    EXPECT_EQ(CurrentRates(), manualWeekend) << "the weekend is the schedule's now";
    EXPECT_EQ(MessagesReceived(), 5u) << "which the administrator is told";

    EvaluateOn(Monday);
    EXPECT_EQ(CurrentRates(), normal_);
    EXPECT_EQ(MessagesReceived(), 9u);
    EXPECT_EQ(server().InboxOf(player_).notifications.back().text, "Weekend rates off");

    Toggle(admin_);
    EXPECT_EQ(server().Multiplier("XPMultiplier"), 5.0f) << "the toggle starts from off again";
    Toggle(admin_);
    EXPECT_EQ(CurrentRates(), normal_);
}

TEST_F(ToggleAndSchedule, AScheduledSwitchOnThatFailedDoesNotShutTheToggleOut)
{
    Start(Saturday, ConfigWithoutXPMultiplier());
    qv().RunToFirstEvaluation();
    ASSERT_EQ(CurrentRates(), normal_);

    Reload(ValidConfig());
    Toggle(admin_);
    EXPECT_EQ(CurrentRates(), ValidConfigWeekendRates());

    // The window is still open: the schedule takes the manual weekend over and ends it on Monday.
    qv().RunToNextEvaluation();
    EXPECT_EQ(MessagesReceived(), 4u);
    EvaluateOn(Monday);
    EXPECT_EQ(CurrentRates(), normal_);
}

} // namespace
} // namespace rates_testing
