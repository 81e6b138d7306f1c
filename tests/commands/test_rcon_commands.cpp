// "RconCommands": the administrators' commands over RCON in the stand-in server: which names are
// registered for which config, how they follow reloads and the unload, and what a client is answered.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/PluginServer.h"

namespace {

using nlohmann::json;
using standin::CommandKind;
using testing_support::PluginServer;
using testing_support::ValidConfig;

// rcon: the "RconCommands" value (null: the key left out); status: "StatusCommand" (empty: none).
json ConfigWith(const json& rcon, const std::string& status = "")
{
    json config = ValidConfig();
    if (!rcon.is_null()) config["Quorvandelle"]["RconCommands"] = rcon;
    if (!status.empty()) config["Quorvandelle"]["StatusCommand"] = status;
    return config;
}

std::vector<std::string> RconNames(const standin::Server& server)
{
    std::vector<std::string> names;
    for (const auto& registration : server.Registrations()) {
        if (registration.kind == CommandKind::Rcon) names.push_back(registration.name);
    }
    return names;
}

using Names = std::vector<std::string>;

TEST(RconCommands, TheConfigSaysWhichAreRegisteredAndAReloadFollowsIt)
{
    struct Row {
        const char* what;
        json rcon;
        std::string status;
        Names expected;
    };
    const std::vector<Row> rows = {
        {"without the key", nullptr, "/rates", {}},
        {"turned on", true, "", {"qvreload", "ToggleQuorvandelle"}},
        {"with a status command", true, "/rates", {"qvreload", "ToggleQuorvandelle", "rates"}},
        {"the status command renamed", true, "/now", {"qvreload", "ToggleQuorvandelle", "now"}},
        {"turned off", false, "/now", {}},
        {"on again", true, "/now", {"qvreload", "ToggleQuorvandelle", "now"}},
        {"not a bool: nothing changes", "yes", "", {"qvreload", "ToggleQuorvandelle", "now"}},
    };
    // Each row as the config at load (one server at a time), then reached by a reload from the row before.
    for (const Row& row : rows) {
        if (!row.rcon.is_boolean() && !row.rcon.is_null()) continue;
        PluginServer loaded;
        loaded.WriteConfig(ConfigWith(row.rcon, row.status));
        loaded.Load();
        EXPECT_EQ(RconNames(loaded.server()), row.expected) << "loaded " << row.what;
        loaded.Unload();
        EXPECT_TRUE(loaded->Registrations().empty()) << row.what;
    }
    PluginServer reloaded;
    reloaded.WriteConfig(ConfigWith(nullptr));
    reloaded.Load();
    for (const Row& row : rows) {
        reloaded.WriteConfig(ConfigWith(row.rcon, row.status));
        EXPECT_TRUE(reloaded->ServerConsole("qvreload"));
        EXPECT_EQ(RconNames(reloaded.server()), row.expected) << "reloaded " << row.what;
    }
    EXPECT_TRUE(reloaded.LogContains("RconCommands")) << "the bad value is named";
    reloaded.Unload();
    EXPECT_TRUE(reloaded->Registrations().empty());
    EXPECT_TRUE(reloaded->EscapedExceptions().empty());
}

TEST(RconCommands, AClientIsAnsweredInPlainTextWithItsRequestsId)
{
    PluginServer plugin;
    plugin.WriteConfig(ConfigWith(true, "/rates"));
    plugin.Load();
    const standin::RconConnectionId client = plugin->OpenRconConnection();
    const auto ask = [&](std::int32_t id, const std::string& line) {
        const standin::RconOutcome outcome = plugin->Rcon(client, id, line);
        EXPECT_TRUE(outcome.Command) << line;
        EXPECT_EQ(outcome.Replies.size(), 1u) << line << ": one answer, whole";
        std::string answer;
        for (const auto& reply : outcome.Replies) {
            EXPECT_EQ(reply.Id, id) << line;
            EXPECT_EQ(reply.Type, 0) << line;
            answer += reply.Text;
        }
        EXPECT_EQ(answer.find("<RichColor"), std::string::npos) << line;
        EXPECT_LE(answer.size(), 300u) << line;
        return answer;
    };
    const std::string before = ask(7, "RATES");
    EXPECT_FALSE(before.empty());
    EXPECT_EQ(ask(8, "togglequorvandelle"), "") << "as in chat: the switch is announced, not replied";
    EXPECT_NE(ask(9, "rates now please"), before) << "the toggle ran, as for an administrator";
    EXPECT_EQ(ask(10, "QvReload"), "Config Reloaded!");
    // A reload over RCON that turns RCON off removes the very command that runs it.
    plugin.WriteConfig(ConfigWith(false));
    EXPECT_EQ(ask(11, "qvreload"), "Config Reloaded!");
    EXPECT_TRUE(RconNames(plugin.server()).empty());
    EXPECT_TRUE(plugin->EscapedExceptions().empty());
}

} // namespace
