// The server as a whole: one at a time, a fresh host and game for each, and plug-in libraries
// loaded and unloaded through their real entry points, leftovers and bad libraries included.
#include <fstream>
#include <stdexcept>

#include <gtest/gtest.h>

#include "plugin/host/LogSink.h"
#include "tests/standin/StandinTest.h"
#include "tests/support/PluginServer.h"

namespace {

using standin::CommandKind;
using standin::Registration;
using standin_test::ServerTest;

using Server = ServerTest;

TEST_F(Server, ASecondServerIsRefusedWithoutDisturbingTheFirst)
{
    const auto player = server.JoinPlayer({"Player"});
    server.SetMultiplier("XPMultiplier", 9.0f);
    server.SetBaseDirectory("first");
    ArkApi::GetCommands().RegisterTimerCallback(standin_test::TestString(u"t").ref(), [] {});
    EXPECT_THROW(standin::Server second, std::logic_error);
    EXPECT_TRUE(server.IsConnected(player));
    EXPECT_EQ(server.Multiplier("XPMultiplier"), 9.0f);
    EXPECT_EQ(ArkApi::Tools::GetCurrentDir(), "first");
    EXPECT_TRUE(server.IsRegistered("t", CommandKind::Timer));
}

TEST(ServerLifetime, EachServerStartsFromAFreshHostAndGame)
{
    standin::ServerOptions options;
    options.echoLogToConsole = false;
    {
        standin::Server first(options);
        first.JoinPlayer({"Player"});
        first.SetMultiplier("XPMultiplier", 9.0f);
        first.SetMessageOfTheDay("old");
        first.RemoveGameMode();
        ArkApi::GetCommands().RegisterTimerCallback(standin_test::TestString(u"t").ref(), [] {});
        GetLogSinks().push_back(GetLogSinks().front());
        GetLogSinks().front()->MinimumLevel = static_cast<int>(HostLog::Level::Off);
    }
    standin::Server second(options);
    EXPECT_EQ(second.Multiplier("XPMultiplier"), standin::Server::DefaultMultiplier("XPMultiplier"));
    EXPECT_EQ(second.MessageOfTheDay(), "");
    EXPECT_TRUE(second.HasGameMode());
    EXPECT_NE(ArkApi::GetApiUtils().CurrentGameMode(), nullptr);
    EXPECT_TRUE(second.Registrations().empty());
    EXPECT_EQ(GetLogSinks().size(), 2u);
    EXPECT_TRUE(GetLogSinks().front()->Accepts(HostLog::Level::Trace));
    EXPECT_TRUE(second.LogRecords().empty());
    EXPECT_THROW(second.InboxOf(static_cast<standin::PlayerId>(1)), std::invalid_argument);
}

TEST_F(Server, TheHostReportsTheBaseDirectoryInUtf8AndTheWorkingDirectoryWithoutOne)
{
    EXPECT_EQ(ArkApi::Tools::GetCurrentDir(), std::filesystem::current_path().u8string());
    const auto base = std::filesystem::u8path(u8"Jeux/\u00c9t\u00e9/Win64");
    server.SetBaseDirectory(base);
    EXPECT_EQ(ArkApi::Tools::GetCurrentDir(), u8"Jeux/\u00c9t\u00e9/Win64");
    EXPECT_EQ(server.PluginDirectory("Quorvandelle"), base / "ArkApi" / "Plugins" / "Quorvandelle");
}

TEST_F(Server, LibrariesThatCannotBeLoadedAreNamedInTheError)
{
    const auto missing = standin::Server::LibraryBesideExecutable("NoSuchPlugin");
    try {
        server.LoadPlugin(missing);
        FAIL() << "loaded a missing library";
    } catch (const std::invalid_argument& error) {
        EXPECT_NE(std::string(error.what()).find("NoSuchPlugin"), std::string::npos) << error.what();
    }
    const testing_support::TempDirectory temp;
    const auto notALibrary = temp.Path() / "not-a-library.so";
    std::ofstream(notALibrary) << "plain text";
    EXPECT_THROW(server.LoadPlugin(notALibrary), std::runtime_error);
    EXPECT_FALSE(server.PluginLoaded());
    EXPECT_THROW(server.UnloadPlugin(), std::logic_error);
}

TEST_F(Server, TheRealPluginRegistersOnLoadAndLeavesNothingBehindOnUnload)
{
    const auto library = standin::Server::LibraryBesideExecutable("Quorvandelle");
    const standin::AllocatorAccounts before = server.Allocations();
    for (int round = 0; round < 2; ++round) {
        server.LoadPlugin(library);
        ASSERT_TRUE(server.PluginLoaded());
        EXPECT_EQ(server.Registrations(),
                  (std::vector<Registration>{{"/qvreload", CommandKind::Chat, false},
                                             {"qvreload", CommandKind::Console, false},
                                             {"QuorvandelleCheck", CommandKind::Timer, false},
                                             {"/ToggleQuorvandelle", CommandKind::Chat, false}}))
            << "round " << round;
        EXPECT_THROW(server.LoadPlugin(library), std::logic_error);
        server.RunTimer(3);
        server.UnloadPlugin();
        EXPECT_FALSE(server.PluginLoaded());
        EXPECT_TRUE(server.Registrations().empty()) << "round " << round;
        // Every string the plug-in built in the game's allocator went back with its teardown.
        EXPECT_EQ(server.Allocations().liveBlocks, before.liveBlocks) << "round " << round;
    }
    EXPECT_TRUE(server.EscapedExceptions().empty());
    for (const auto& record : server.LogRecords()) {
        // On Windows the server redirects the plug-in's _time64 import to the simulated clock.
        EXPECT_EQ(record.message.find("_time64"), std::string::npos) << record.message;
    }
}

TEST_F(Server, RegistrationsLeftByAnUnloadedLibraryAreOrphanedNeverCalled)
{
    const auto player = server.JoinPlayer({"Player"});
    server.LoadPlugin(standin::Server::LibraryBesideExecutable("standin_leaky_plugin"));
    EXPECT_TRUE(server.Chat(player, "/leak"));
    server.RunTimer();
    server.UnloadPlugin();
    EXPECT_EQ(server.Registrations(),
              (std::vector<Registration>{{"/leak", CommandKind::Chat, true}, {"leak", CommandKind::Timer, true}}));
    EXPECT_FALSE(server.IsRegistered("/leak", CommandKind::Chat));
    // Calling into the unmapped library would crash; the host refuses and says so.
    EXPECT_FALSE(server.Chat(player, "/leak"));
    server.RunTimer();
    bool refused = false;
    for (const auto& record : server.LogRecords()) {
        refused |= record.message.find("belongs to an unloaded plug-in") != std::string::npos;
    }
    EXPECT_TRUE(refused);
}

} // namespace
