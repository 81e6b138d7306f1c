// The hook registry: detours on a game function chain newest first, each reaching the one set before
// it and the oldest the game's own code; any of them can leave, a library's with its unload; one
// left behind by an unloaded library is reported and taken out; the stand-in's join calls through it.
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "tests/standin/StandinTest.h"
#include "tests/support/TestDetours.h"

namespace {

using standin::HookRegistration;
using test_detours::HandleNewPlayer;
using test_detours::Trace;

using A = test_detours::Detour<'A'>;
using B = test_detours::Detour<'B'>;
using C = test_detours::Detour<'C'>;

class Hooks : public standin_test::ServerTest {
protected:
    // The trace of one player's join, and how the game's handler went for it.
    std::string JoinTrace(standin::NewPlayerHandling* handling = nullptr)
    {
        Trace().clear();
        const auto player = server.JoinPlayer({"Player"});
        if (handling != nullptr) *handling = server.NewPlayerHandlingOf(player);
        return Trace();
    }
    bool Logged(std::string_view text) const
    {
        for (const auto& record : server.LogRecords()) {
            if (record.message.find(text) != std::string::npos) return true;
        }
        return false;
    }
    static std::vector<HookRegistration> Chain(std::vector<bool> orphaned)
    {
        std::vector<HookRegistration> chain;
        for (const bool orphan : orphaned) chain.push_back({HandleNewPlayer, orphan});
        return chain;
    }
    void LoadTestPlugin(const char* name) { server.LoadPlugin(standin::Server::LibraryBesideExecutable(name)); }
};

TEST_F(Hooks, DetoursChainNewestFirstAndAnyOfThemCanLeave)
{
    struct Row {
        const char* leaving;
        bool (*disable)();
        const char* trace;
    };
    const Row rows[] = {
        {"none", nullptr, "CBAabc"},
        {"the oldest", &A::Disable, "CBbc"},
        {"the middle one", &B::Disable, "CAac"},
        {"the newest", &C::Disable, "BAab"},
    };
    for (const Row& row : rows) {
        ASSERT_TRUE(A::Set() && B::Set() && C::Set()) << row.leaving;
        if (row.disable != nullptr) {
            EXPECT_TRUE(row.disable()) << row.leaving;
        }
        standin::NewPlayerHandling handling;
        EXPECT_EQ(JoinTrace(&handling), row.trace) << row.leaving;
        EXPECT_TRUE(handling.called && handling.result) << row.leaving;
        EXPECT_EQ(handling.gameRuns, 1) << row.leaving;
        A::Disable(), B::Disable(), C::Disable();
    }
    EXPECT_TRUE(server.Hooks().empty());
    standin::NewPlayerHandling alone;
    EXPECT_EQ(JoinTrace(&alone), "");
    EXPECT_EQ(alone.gameRuns, 1);

    // Without a game mode the game has no handler to call.
    ASSERT_TRUE(A::Set());
    server.RemoveGameMode();
    standin::NewPlayerHandling absent;
    EXPECT_EQ(JoinTrace(&absent), "");
    EXPECT_FALSE(absent.called);
    EXPECT_EQ(absent.gameRuns, 0);
}

TEST_F(Hooks, APlugInUnloadedFromTheMiddleOfTheChainTakesItsDetourAlong)
{
    ASSERT_TRUE(A::Set());
    LoadTestPlugin("standin_hooking_plugin");
    ASSERT_TRUE(C::Set());
    EXPECT_EQ(server.Hooks(), Chain({false, false, false}));
    Trace().clear();
    const auto first = server.JoinPlayer({"First"});
    EXPECT_EQ(Trace(), "CAac");
    ASSERT_EQ(server.InboxOf(first).directChats.size(), 1u);
    EXPECT_EQ(server.InboxOf(first).directChats[0].text, "hooked");

    server.UnloadPlugin();
    EXPECT_EQ(server.Hooks(), Chain({false, false}));
    Trace().clear();
    const auto second = server.JoinPlayer({"Second"});
    EXPECT_EQ(Trace(), "CAac");
    EXPECT_EQ(server.InboxOf(second).Count(), 0u);
    EXPECT_EQ(server.NewPlayerHandlingOf(second).gameRuns, 1);
    EXPECT_FALSE(Logged("left set"));
}

TEST_F(Hooks, ADetourLeftByAnUnloadedLibraryIsReportedAndTakenOutOfTheChain)
{
    ASSERT_TRUE(A::Set());
    LoadTestPlugin("standin_leaky_plugin");
    ASSERT_TRUE(C::Set());
    server.UnloadPlugin();
    EXPECT_EQ(server.Hooks(), Chain({false, true, false}));
    EXPECT_TRUE(Logged("detour on \"AShooterGameMode.HandleNewPlayer_Implementation\" was left set by a plug-in "
                       "that has been unloaded"));
    // C's original now skips the orphan: calling into the unmapped library would crash.
    standin::NewPlayerHandling handling;
    EXPECT_EQ(JoinTrace(&handling), "CAac");
    EXPECT_EQ(handling.gameRuns, 1);
    EXPECT_TRUE(handling.result);
}

TEST_F(Hooks, RefusalsAnswerFalseAndLeaveTheChainAsItWas)
{
    ASSERT_TRUE(A::Set());
    auto& hooks = ArkApi::GetHooks();
    struct Row {
        const char* what;
        bool answer;
        const char* logged; // null: nothing is logged
    };
    const Row rows[] = {
        {"an unknown function", hooks.SetHook("AShooterGameMode.NoSuchFunction", B::Address(), &B::original),
         "IHooks::SetHook(\"AShooterGameMode.NoSuchFunction\"): no such game function"},
        {"a function the game cannot hook",
         hooks.SetHook("AShooterGameMode.SetMessageOfTheDay", B::Address(), &B::original),
         "IHooks::SetHook(\"AShooterGameMode.SetMessageOfTheDay\"): the stand-in's game cannot hook that function"},
        {"the same detour twice", A::Set(),
         "IHooks::SetHook(\"AShooterGameMode.HandleNewPlayer_Implementation\"): that detour is in the function's "
         "chain already"},
        {"disabling a detour that is not set", B::Disable(), nullptr},
        {"disabling under another function", hooks.DisableHook("AShooterGameMode.SetMessageOfTheDay", A::Address()),
         nullptr},
    };
    for (const Row& row : rows) {
        EXPECT_FALSE(row.answer) << row.what;
        if (row.logged != nullptr) {
            EXPECT_TRUE(Logged(row.logged)) << row.what;
        }
    }
    EXPECT_EQ(server.LogRecordCount(), 3u);
    EXPECT_EQ(server.Hooks(), Chain({false}));
    EXPECT_EQ(JoinTrace(), "Aa");
}

bool Throws(AShooterGameMode* gameMode, AShooterPlayerController* player, UPrimalPlayerData* data,
            AShooterCharacter* character, bool fromLogin)
{
    A::original(gameMode, player, data, character, fromLogin);
    throw std::runtime_error("detour failed");
}

TEST_F(Hooks, AnExceptionOutOfTheChainIsCaughtListedAndLogged)
{
    ASSERT_TRUE(ArkApi::GetHooks().SetHook(HandleNewPlayer, reinterpret_cast<LPVOID>(&Throws), &A::original));
    const auto player = server.JoinPlayer({"Player"});
    EXPECT_TRUE(server.IsConnected(player));
    EXPECT_EQ(server.NewPlayerHandlingOf(player).gameRuns, 1);
    EXPECT_EQ(server.EscapedExceptions(), std::vector<std::string>{"detour failed"});
    EXPECT_TRUE(Logged("a detour on \"AShooterGameMode.HandleNewPlayer_Implementation\" let an exception escape: "
                       "detour failed"));
}

} // namespace
