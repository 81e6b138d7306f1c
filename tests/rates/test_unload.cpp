// Unloading the plug-in library while a weekend is in force, and loading it again inside the window:
// the normal values always survive.
#include <gtest/gtest.h>

#include "plugin/config/Config.h"
#include "plugin/lifecycle/Lifecycle.h"
#include "plugin/log/PluginLog.h"
#include "plugin/rates/PluginState.h"
#include "tests/rates/RatesFixture.h"

using namespace qv;

namespace rates_testing {
namespace {

using testing_support::ValidConfig;

class UnloadDuringAWeekend : public RatesTest {};
class HotReload : public ScheduledRatesTest {};

TEST_F(UnloadDuringAWeekend, PutsTheNormalValuesBackSilentlyAndTheMessageOfTheDayOnlyWhenEnabled)
{
    for (const bool motdEnabled : {true, false}) {
        SCOPED_TRACE(motdEnabled ? "MOTDChangeEnabled true" : "MOTDChangeEnabled false");
        nlohmann::json config = ValidConfig();
        config["Quorvandelle"]["MOTDChangeEnabled"] = motdEnabled;
        Start(Wednesday, config);
        server().SetMessageOfTheDay("The server's own message");
        Toggle(admin_);
        ASSERT_EQ(CurrentRates(), ValidConfigWeekendRates());
        server().ClearInboxes();
        const int motdChanges = server().MessageOfTheDayChanges();

        qv().Unload();
        EXPECT_EQ(CurrentRates(), normal_);
        EXPECT_EQ(server().MessageOfTheDay(), motdEnabled ? "A normal day" : "The server's own message");
        EXPECT_EQ(server().MessageOfTheDayChanges(), motdChanges + (motdEnabled ? 1 : 0));
        EXPECT_EQ(MessagesReceived(), 0u) << "an unload announces nothing";

        // Loaded again, the toggle starts from off.
        qv().Load();
        Toggle(admin_);
        EXPECT_EQ(CurrentRates(), ValidConfigWeekendRates());
        Toggle(admin_);
        EXPECT_EQ(CurrentRates(), normal_);
    }
}

// The plug-in's core started in this process, and its library-wide state put back however the test ends.
class CoreInThisProcess : public ::testing::Test {
protected:
    void TearDown() override
    {
        State = PluginState{};
        PluginLog().reset();
    }
};

using UnloadAtProcessEnd = CoreInThisProcess;

// When the whole server process ends, the game's objects may already be gone: Unload removes the
// registrations and touches nothing of the game. Run on the plug-in's core in this process, since
// only a process that ends detaches a library that way.
TEST_F(UnloadAtProcessEnd, RemovesTheRegistrationsAndLeavesTheWeekendValuesAlone)
{
    testing_support::PluginServer plugin;
    plugin.WriteConfig(ValidConfig());
    Load();
    const standin::PlayerId admin = plugin.Join("Ada", true);
    ASSERT_TRUE(plugin->Chat(admin, "/ToggleQuorvandelle"));
    const auto weekend = plugin->Multipliers();
    ASSERT_EQ(plugin->Multiplier("XPMultiplier"), 2.0f);

    Unload(UnloadReason::ProcessEnding);
    for (const auto& registration : plugin->Registrations()) ADD_FAILURE() << registration.name << " is left";
    EXPECT_EQ(plugin->Multipliers(), weekend);
    EXPECT_EQ(plugin->MessageOfTheDay(), "It is the weekend");
}

TEST_F(HotReload, InsideTheWindowKeepsTheTrueNormalValues)
{
    Start(Saturday);
    qv().RunToFirstEvaluation();
    ASSERT_EQ(CurrentRates(), ValidConfigWeekendRates());

    qv().Unload();
    EXPECT_EQ(CurrentRates(), normal_);
    qv().Load();
    EXPECT_EQ(CurrentRates(), normal_) << "loading switches nothing";

    qv().RunToFirstEvaluation();
    EXPECT_EQ(CurrentRates(), ValidConfigWeekendRates());
    EXPECT_EQ(MessagesReceived(), 8u) << "each instance announced its own switch-on";

    EvaluateOn(Monday);
    EXPECT_EQ(CurrentRates(), normal_);
}

} // namespace
} // namespace rates_testing

namespace rates_testing {
namespace {

// The host can rebuild its world while the plug-in stays loaded: the game mode it comes back with
// is another object, holding the server's normal values. The weekend goes on in it.
class RebuiltGameMode : public ScheduledRatesTest {};

TEST_F(RebuiltGameMode, TheWeekendGoesOnInTheNewGameModeUntoldAndItsOwnValuesComeBack)
{
    Start(Saturday);
    qv().RunToFirstEvaluation();
    ASSERT_EQ(CurrentRates(), ValidConfigWeekendRates());
    server().RemoveGameMode();
    server().RunTimer(5);
    server().RestoreGameMode();
    EXPECT_EQ(CurrentRates(), normal_) << "a new game mode, from the server's settings";
    server().ClearInboxes();
    qv().RunToNextEvaluation();
    EXPECT_EQ(CurrentRates(), ValidConfigWeekendRates());
    EXPECT_EQ(server().MessageOfTheDay(), "It is the weekend");
    EXPECT_EQ(MessagesReceived(), 0u) << "the weekend was told once";
    EXPECT_TRUE(qv().PluginLogMessages(standin::LogLevel::Warning).empty());

    // A switch back writes the new game mode's own values, saved when the weekend went into it.
    server().ConfigureMultiplier("XPMultiplier", 1.75f);
    server().RemoveGameMode();
    server().RestoreGameMode();
    qv().RunToNextEvaluation();
    EvaluateOn(Monday);
    Rates back = normal_;
    back["XPMultiplier"] = 1.75f;
    EXPECT_EQ(CurrentRates(), back);
    EXPECT_EQ(server().InboxOf(player_).notifications.size(), 1u) << "the end is told once";
}

TEST_F(RebuiltGameMode, AManualWeekendGoesOnAndEndsByHandAndAnUnloadWithoutAGameModeLosesNothing)
{
    Start(Wednesday);
    Toggle(admin_);
    server().RemoveGameMode();
    server().RestoreGameMode();
    qv().RunToFirstEvaluation();
    EXPECT_EQ(CurrentRates(), ValidConfigWeekendRates());
    Toggle(admin_);
    EXPECT_EQ(CurrentRates(), normal_);

    // Ended before an evaluation saw the new game mode: nothing to write, the end is still told.
    Toggle(admin_);
    server().RemoveGameMode();
    server().RestoreGameMode();
    server().ClearInboxes();
    Toggle(admin_);
    EXPECT_EQ(CurrentRates(), normal_);
    EXPECT_EQ(server().InboxOf(player_).notifications.size(), 1u);

    Toggle(admin_);
    server().RemoveGameMode();
    qv().Unload();
    EXPECT_TRUE(qv().PluginLogMessages(standin::LogLevel::Warning).empty()) << "no loss to warn of";
    EXPECT_EQ(qv().PluginLogMessages(standin::LogLevel::Info).back().rfind("No game mode at unload", 0), 0u);
    server().RestoreGameMode();
    EXPECT_EQ(CurrentRates(), normal_);
}

} // namespace
} // namespace rates_testing
