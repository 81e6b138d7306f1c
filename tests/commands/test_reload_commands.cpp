// "/qvreload" and "qvreload" in the stand-in server: who may reload, who is told, and what a reload
// leaves alone.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/PluginServer.h"

namespace {

using nlohmann::json;
using standin::PlayerId;
using testing_support::PluginServer;
using testing_support::ValidConfig;

json ConfigWithMessage(const std::string& message)
{
    json config = ValidConfig();
    config["Quorvandelle"]["QuorvandelleEnabledMessage"] = message;
    return config;
}

class ReloadCommands : public ::testing::Test {
protected:
    void SetUp() override
    {
        plugin_.WriteConfig(ConfigWithMessage("Loaded at start-up"));
        plugin_.Load();
        plugin_->ClearLog();
    }

    // The announcement text in force, seen by switching on and back by hand.
    std::string EnabledMessageInForce()
    {
        const standin::Inbox seen = plugin_.Toggle(admin_);
        plugin_.Toggle(admin_);
        plugin_->ClearInboxes();
        return seen.notifications.size() == 1 ? seen.notifications[0].text : "(no single notification)";
    }

    void ExpectNobodyReceivedAnything()
    {
        for (const PlayerId player : {admin_, player_}) EXPECT_EQ(plugin_->InboxOf(player).Count(), 0u);
    }

    void ExpectOnlyReply(PlayerId to, const std::string& text, float r, float g)
    {
        const standin::Inbox inbox = plugin_->InboxOf(to);
        ASSERT_EQ(inbox.Count(), 1u);
        ASSERT_EQ(inbox.directChats.size(), 1u);
        EXPECT_EQ(inbox.directChats[0].text, text);
        EXPECT_EQ(inbox.directChats[0].color.R, r);
        EXPECT_EQ(inbox.directChats[0].color.G, g);
        EXPECT_EQ(inbox.directChats[0].color.B, 0.0f);
        EXPECT_EQ(inbox.directChats[0].color.A, 1.0f);
        EXPECT_FALSE(inbox.directChats[0].flag);
        for (const PlayerId other : {admin_, player_}) {
            if (other != to) {
                EXPECT_EQ(plugin_->InboxOf(other).Count(), 0u) << "only the one who asked is told";
            }
        }
    }

    PluginServer plugin_;
    PlayerId admin_ = plugin_.Join("Admin", true);
    PlayerId player_ = plugin_.Join("Player");
};

TEST_F(ReloadCommands, AnAdministratorReloadsAndAloneIsToldInOpaqueGreen)
{
    plugin_.WriteConfig(ConfigWithMessage("Reloaded"));
    EXPECT_TRUE(plugin_->Chat(admin_, "/qvreload"));
    ExpectOnlyReply(admin_, "Config Reloaded!", 0.0f, 1.0f);
    EXPECT_EQ(plugin_.PluginLogMessages(standin::LogLevel::Info),
              std::vector<std::string>{"Config reloaded from " + plugin_.PluginConfigPath()});
    EXPECT_EQ(EnabledMessageInForce(), "Reloaded");
}

TEST_F(ReloadCommands, PlayersWhoAreNotAdministratorsAreRefusedSilently)
{
    standin::PlayerProfile noCharacter;
    noCharacter.name = "Spectator";
    noCharacter.hasCharacter = false;
    standin::PlayerProfile noPlayerState;
    noPlayerState.name = "Joining admin";
    noPlayerState.admin = true;
    noPlayerState.hasPlayerState = false;
    const PlayerId refused[] = {player_, plugin_->JoinPlayer(noCharacter), plugin_->JoinPlayer(noPlayerState)};

    // Neither a good file nor a broken one is even read.
    for (const char* text : {R"({"Quorvandelle": {"QuorvandelleEnabledMessage": "x"}})", "{ broken"}) {
        plugin_.WriteConfigText(text);
        for (const PlayerId player : refused) {
            EXPECT_TRUE(plugin_->Chat(player, "/qvreload"));
            EXPECT_EQ(plugin_->InboxOf(player).Count(), 0u);
        }
        ExpectNobodyReceivedAnything();
        EXPECT_TRUE(plugin_.PluginLogRecords().empty()) << "a refusal writes no log record";
    }
    plugin_.WriteConfig(ConfigWithMessage("Never read"));
    EXPECT_EQ(EnabledMessageInForce(), "Loaded at start-up");
    EXPECT_TRUE(plugin_->EscapedExceptions().empty());
}

TEST_F(ReloadCommands, TheServerConsoleReloadsWithoutAControllerAndRepliesToNobody)
{
    plugin_.WriteConfig(ConfigWithMessage("From the console"));
    EXPECT_TRUE(plugin_->ServerConsole("qvreload"));
    ExpectNobodyReceivedAnything();
    EXPECT_EQ(EnabledMessageInForce(), "From the console");

    plugin_.WriteConfigText("{ broken");
    EXPECT_TRUE(plugin_->ServerConsole("qvreload"));
    ExpectNobodyReceivedAnything();
    EXPECT_EQ(plugin_.PluginLogMessages(standin::LogLevel::Error).size(), 1u);
    EXPECT_EQ(EnabledMessageInForce(), "From the console");
    EXPECT_TRUE(plugin_->EscapedExceptions().empty());
}

TEST_F(ReloadCommands, TheConsoleCommandMakesNoAdministratorTestAndRepliesToWhoeverGaveIt)
{
    plugin_.WriteConfig(ConfigWithMessage("Console of a player"));
    EXPECT_TRUE(plugin_->Console(player_, "qvreload"));
    ExpectOnlyReply(player_, "Config Reloaded!", 0.0f, 1.0f);
    EXPECT_EQ(EnabledMessageInForce(), "Console of a player");
}

TEST_F(ReloadCommands, AMissingFileIsAFailureOnReloadAndChangesNothing)
{
    plugin_.RemoveConfig();
    const std::string reply = "Config reload failed: " + plugin_.PluginConfigPath() + " not found";
    EXPECT_TRUE(plugin_->Chat(admin_, "/qvreload"));
    ExpectOnlyReply(admin_, reply, 1.0f, 0.0f);
    plugin_->ClearInboxes();
    EXPECT_TRUE(plugin_->Console(player_, "qvreload"));
    ExpectOnlyReply(player_, reply, 1.0f, 0.0f);
    const auto errors = plugin_.PluginLogMessages(standin::LogLevel::Error);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_NE(errors[0].find(plugin_.PluginConfigPath() + " not found"), std::string::npos) << errors[0];
    plugin_->ClearInboxes();

    // The multipliers of the file read at start-up are still there.
    plugin_.Toggle(admin_);
    EXPECT_EQ(plugin_->Multiplier("XPMultiplier"), 2.0f);
}

TEST_F(ReloadCommands, AReloadDuringAWeekendChangesNothingInForceUntilTheNextSwitchOn)
{
    plugin_->SetMessageOfTheDay("Welcome");
    plugin_.Toggle(admin_);
    ASSERT_EQ(plugin_->Multiplier("XPMultiplier"), 2.0f);
    const auto weekend = plugin_->Multipliers();
    const int motdChanges = plugin_->MessageOfTheDayChanges();

    json changed = ValidConfig();
    changed["Quorvandelle"]["XPMultiplier"] = 5;
    changed["Quorvandelle"]["WeekendMOTD"] = "Changed";
    plugin_.WriteConfig(changed);
    plugin_->ClearInboxes();
    EXPECT_TRUE(plugin_->Chat(admin_, "/qvreload"));
    ExpectOnlyReply(admin_, "Config Reloaded!", 0.0f, 1.0f);
    EXPECT_EQ(plugin_->Multipliers(), weekend);
    EXPECT_EQ(plugin_->MessageOfTheDay(), "It is the weekend");
    EXPECT_EQ(plugin_->MessageOfTheDayChanges(), motdChanges);

    plugin_.Toggle(admin_);
    EXPECT_EQ(plugin_->Multiplier("XPMultiplier"), standin::Server::DefaultMultiplier("XPMultiplier"));
    plugin_.Toggle(admin_);
    EXPECT_EQ(plugin_->Multiplier("XPMultiplier"), 5.0f);
    EXPECT_EQ(plugin_->MessageOfTheDay(), "Changed");
}

} // namespace
