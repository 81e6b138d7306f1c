// The config file as a server meets it: the real plug-in library in the stand-in server loads it at
// start-up and on "/qvreload", and what the settings say shows in what players receive when an
// administrator switches the weekend rates by hand, and in when the schedule switches.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/PluginServer.h"

namespace {

using nlohmann::json;
using standin::PlayerId;
using testing_support::PluginServer;
using testing_support::ValidConfig;
using testing_support::WithoutPlaces;

const std::string kReloaded = "Config Reloaded!";

json ConfigWith(const char* key, const json& value)
{
    json config = ValidConfig();
    config["Quorvandelle"][key] = value;
    return config;
}

void ExpectColor(const standin::ReceivedColor& color, float r, float g, float b, float a)
{
    EXPECT_EQ(color.R, r);
    EXPECT_EQ(color.G, g);
    EXPECT_EQ(color.B, b);
    EXPECT_EQ(color.A, a);
}

// The one direct chat line the player received since the inboxes were last emptied.
std::string OnlyReply(PluginServer& plugin, PlayerId player)
{
    const standin::Inbox inbox = plugin->InboxOf(player);
    EXPECT_EQ(inbox.Count(), 1u);
    return inbox.directChats.size() == 1 ? inbox.directChats[0].text : "(no single reply)";
}

std::string Reload(PluginServer& plugin, PlayerId admin)
{
    plugin->ClearInboxes();
    EXPECT_TRUE(plugin->Chat(admin, "/qvreload"));
    return OnlyReply(plugin, admin);
}

// A reload of a file with probable mistakes: "Config Reloaded!", then the message that names them,
// in the warning colour, which this returns.
std::string ReloadWithWarnings(PluginServer& plugin, PlayerId admin)
{
    plugin->ClearInboxes();
    EXPECT_TRUE(plugin->Chat(admin, "/qvreload"));
    const standin::Inbox inbox = plugin->InboxOf(admin);
    if (inbox.Count() != 2 || inbox.directChats.size() != 2) return "(not two replies)";
    EXPECT_EQ(inbox.directChats[0].text, kReloaded);
    EXPECT_EQ(inbox.directChats[1].color.R, 1.0f);
    EXPECT_EQ(inbox.directChats[1].color.B, 0.0f);
    EXPECT_LT(inbox.directChats[1].text.size(), 500u);
    return inbox.directChats[1].text;
}

// The values ValidConfig() puts in force at a switch-on.
void ExpectValidConfigWeekend(PluginServer& plugin, const standin::Inbox& seen)
{
    EXPECT_EQ(plugin->Multiplier("XPMultiplier"), 2.0f);
    EXPECT_EQ(plugin->Multiplier("MatingIntervalMultiplier"), 0.5f);
    EXPECT_EQ(plugin->Multiplier("StructureDamageMultiplier"), 3.0f);
    EXPECT_EQ(plugin->MessageOfTheDay(), "It is the weekend");
    ASSERT_EQ(seen.notifications.size(), 1u);
    EXPECT_EQ(seen.notifications[0].text, "Weekend rates on");
    ExpectColor(seen.notifications[0].color, 0, 1, 0, 1);
    ASSERT_EQ(seen.chatRecords.size(), 1u);
    EXPECT_EQ(seen.chatRecords[0].senderName, "Test Server");
    EXPECT_EQ(seen.chatRecords[0].message, "<RichColor Color=\"0, 1, 0, 1\">Weekend rates on</>");
}

// One server with an administrator and a player; tests that need a server per case use their own.
class ConfigInServer : public ::testing::Test {
protected:
    void LoadWith(const json& config)
    {
        plugin_.WriteConfig(config);
        plugin_.Load();
    }

    PluginServer plugin_;
    PlayerId admin_ = plugin_.Join("Admin", true);
    PlayerId player_ = plugin_.Join("Player");
};

TEST_F(ConfigInServer, AGoodFileLoadedAtStartUpIsInForceAtTheFirstSwitch)
{
    LoadWith(ValidConfig());
    EXPECT_EQ(plugin_.PluginLogMessages(standin::LogLevel::Info).front(), "Loaded " + plugin_.PluginConfigPath());
    const standin::Inbox seen = plugin_.Toggle(admin_);
    ExpectValidConfigWeekend(plugin_, seen);
    EXPECT_EQ(plugin_->InboxOf(player_).notifications.size(), 1u) << "every player is told";

    const standin::Inbox back = plugin_.Toggle(admin_);
    EXPECT_EQ(plugin_->MessageOfTheDay(), "A normal day");
    ASSERT_EQ(back.notifications.size(), 1u);
    EXPECT_EQ(back.notifications[0].text, "Weekend rates off");
    ExpectColor(back.notifications[0].color, 1, 0, 0, 1);
}

TEST_F(ConfigInServer, ABadReloadKeepsEverySettingAndTheMultipliersInForce)
{
    LoadWith(ValidConfig());
    // Every member of the good file differs from these, so a half-applied reload would show.
    const auto changedWith = [](const char* key, const json& value) {
        json config = ValidConfig();
        auto& section = config["Quorvandelle"];
        section["ServerName"] = "Other Server";
        section["QuorvandelleEnabledMessage"] = "Other message";
        section["XPMultiplier"] = 9;
        section[key] = value;
        return config.dump();
    };
    struct Row {
        std::string text;
        std::string reason;
    };
    const Row rows[] = {
        {R"({"Quorvandelle": {"ServerName": "Other Server", "XPMultiplier": 9, )",
         "parse error in Quorvandelle at line 1, column 68: syntax error while parsing object key - unexpected end "
         "of input; expected string literal"},
        {changedWith("Notification", 1), "Quorvandelle.Notification: expected true or false, found number"},
        {"[]", "the top level: expected an object, found array"},
    };
    for (const Row& row : rows) {
        plugin_.WriteConfigText(row.text);
        plugin_->ClearLog();
        const std::string reply = Reload(plugin_, admin_);
        EXPECT_EQ(WithoutPlaces(reply),
                  WithoutPlaces("Config reload failed: " + plugin_.PluginConfigPath() + ": " + row.reason));
        EXPECT_NE(reply.find(" at line 1, column "), std::string::npos) << "every error names its place: " << reply;
        ExpectColor(plugin_->InboxOf(admin_).directChats.at(0).color, 1, 0, 0, 1);
        EXPECT_EQ(plugin_->InboxOf(player_).Count(), 0u) << "only the administrator who asked is told";
        const auto errors = plugin_.PluginLogMessages(standin::LogLevel::Error);
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_NE(errors[0].find(reply.substr(std::string("Config reload failed: ").size())), std::string::npos)
            << "the log names what the reply names: " << errors[0];
    }
    EXPECT_EQ(plugin_->Multiplier("XPMultiplier"), standin::Server::DefaultMultiplier("XPMultiplier"))
        << "a reload switches nothing";

    // The old settings and the old document, multipliers included, are still in force.
    ExpectValidConfigWeekend(plugin_, plugin_.Toggle(admin_));
}

TEST_F(ConfigInServer, EachMissingOrMistypedMultiplierIsWarnedAboutWithoutRejectingTheFile)
{
    json config = ValidConfig();
    auto& section = config["Quorvandelle"];
    section.erase("XPMultiplier");
    section["TamingSpeedMultiplier"] = "2";
    section["HarvestAmountMultiplier"] = nullptr;
    section.erase("StructureResistanceMultiplier"); // optional: absent is fine
    section["StructureDamageMultiplier"] = "x";
    section["ServerName"] = "Loaded Anyway";
    LoadWith(config);

    const auto expectWarnings = [&] {
        const auto warnings = plugin_.PluginLogMessages(standin::LogLevel::Warning);
        const char* const members[] = {
            "Quorvandelle at line 2, column 19: missing the required multiplier XPMultiplier",
            "Quorvandelle.TamingSpeedMultiplier at line ", "Quorvandelle.HarvestAmountMultiplier at line ",
            "Quorvandelle.StructureDamageMultiplier at line "};
        ASSERT_EQ(warnings.size(), std::size(members));
        for (std::size_t i = 0; i < warnings.size(); ++i) {
            EXPECT_NE(warnings[i].find(members[i]), std::string::npos) << warnings[i];
            EXPECT_NE(warnings[i].find(plugin_.PluginConfigPath()), std::string::npos) << warnings[i];
        }
    };
    expectWarnings();
    EXPECT_TRUE(plugin_.PluginLogMessages(standin::LogLevel::Error).empty());

    plugin_->ClearLog();
    const std::string warned = ReloadWithWarnings(plugin_, admin_);
    EXPECT_EQ(warned.rfind(
                  "4 warnings about " + plugin_.PluginConfigPath() + ": Quorvandelle at line 2, column 19: missing", 0),
              0u)
        << warned;
    expectWarnings();

    // The settings are in force; the switch-on itself cannot happen and changes nothing.
    plugin_->ClearLog();
    const standin::Inbox seen = plugin_.Toggle(admin_);
    EXPECT_EQ(seen.Count(), 0u);
    EXPECT_EQ(plugin_->Multiplier("HarvestHealthMultiplier"),
              standin::Server::DefaultMultiplier("HarvestHealthMultiplier"));
    ASSERT_EQ(plugin_.PluginLogMessages(standin::LogLevel::Error).size(), 1u);

    // A complete file warns about nothing.
    plugin_.WriteConfig(ValidConfig());
    plugin_->ClearLog();
    EXPECT_EQ(Reload(plugin_, admin_), kReloaded);
    EXPECT_TRUE(plugin_.PluginLogMessages(standin::LogLevel::Warning).empty());
}

} // namespace

namespace {

TEST(ConfigWarningsInTheLog, EveryLoadNamesEachProbableMistakeWithItsPlaceAndStillTakesTheFile)
{
    PluginServer plugin;
    const PlayerId admin = plugin.Join("Admin", true);
    json config = ConfigWith("XPMultiplier", 1e39); // the game's float field would hold infinity
    config["Quorvandelle"]["HarvestAmountMultiplier"] = -2;
    config["Quorvandelle"]["XPMultiplyer"] = 3;
    plugin.WriteConfig(config);
    // A misspelt member comes first: it can undo a whole setting.
    const std::vector<std::string> expected = {"Quorvandelle.XPMultiplyer at line ",
                                               "did you mean \"XPMultiplier\"?",
                                               "Quorvandelle.XPMultiplier at line ",
                                               "1e+39 is beyond the range of the game's 32-bit rates",
                                               "Quorvandelle.HarvestAmountMultiplier at line ",
                                               "-2 is a negative rate"};
    const auto expectWarnings = [&] {
        const auto warnings = plugin.PluginLogMessages(standin::LogLevel::Warning);
        ASSERT_EQ(warnings.size(), 3u);
        for (std::size_t i = 0; i < warnings.size(); ++i) {
            EXPECT_EQ(warnings[i].rfind(plugin.PluginConfigPath() + ": " + expected[2 * i], 0), 0u) << warnings[i];
            EXPECT_NE(warnings[i].find(expected[2 * i + 1]), std::string::npos) << warnings[i];
        }
    };
    plugin.Load();
    expectWarnings();
    plugin->ClearLog();
    const std::string warned = ReloadWithWarnings(plugin, admin);
    EXPECT_EQ(warned.rfind("3 warnings about " + plugin.PluginConfigPath() + ": Quorvandelle.XPMultiplyer at line ", 0),
              0u)
        << warned;
    expectWarnings();
    EXPECT_TRUE(plugin.PluginLogMessages(standin::LogLevel::Error).empty());
}

} // namespace
