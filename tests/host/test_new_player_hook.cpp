// The plug-in's detour on the game's new-player handler: it joins the host's chain before or after
// another detour, passes the chain's answer on unchanged, tells its callback of the player once the
// rest of the chain has returned, and keeps whatever the callback throws from escaping.
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "plugin/host/Framework.h"
#include "tests/host/AllocatorFixture.h"
#include "tests/support/TestDetours.h"

namespace {

using namespace qv;
using test_detours::HandleNewPlayer;
using test_detours::Trace;
using A = test_detours::Detour<'A'>;

enum class Throw { Nothing, StdException, Other };
Throw callbackThrows = Throw::Nothing;
std::vector<AShooterPlayerController*> told;

void Note(AShooterPlayerController* player)
{
    told.push_back(player);
    Trace() += 'P';
    if (callbackThrows == Throw::StdException) throw std::runtime_error("no welcome");
    if (callbackThrows == Throw::Other) throw 7;
}

void NoteAsQ(AShooterPlayerController*) { Trace() += 'Q'; }

std::vector<std::string> failures;

void Report(std::string_view callback, std::string_view reason) noexcept
{
    failures.push_back(std::string(callback) + ": " + std::string(reason));
}

// A detour that answers in the game's place without calling it.
bool answer = true;
test_detours::Handler answersOriginal = nullptr;
bool Answers(AShooterGameMode*, AShooterPlayerController*, UPrimalPlayerData*, AShooterCharacter*, bool)
{
    return answer;
}

class NewPlayerHook : public AllocatorFixture {
protected:
    void TearDown() override
    {
        Framework::UnhookNewPlayer();
        A::Disable();
        ArkApi::GetHooks().DisableHook(HandleNewPlayer, reinterpret_cast<LPVOID>(&Answers));
        callbackThrows = Throw::Nothing;
        told.clear();
        failures.clear();
        AllocatorFixture::TearDown();
    }
    standin::PlayerId Join(standin::NewPlayerHandling* handling = nullptr)
    {
        Trace().clear();
        const auto player = server_.JoinPlayer({"Player"});
        if (handling != nullptr) *handling = server_.NewPlayerHandlingOf(player);
        return player;
    }
};

TEST_F(NewPlayerHook, JoinsTheChainInEitherOrderAndTellsThePlayerOnceTheChainHasReturned)
{
    struct Row {
        bool plugInFirst;
        const char* trace;
    };
    for (const Row& row : {Row{true, "APa"}, Row{false, "AaP"}}) {
        // The newer detour is the one entered first.
        const bool set = row.plugInFirst ? Framework::HookNewPlayer(&Note, &Report) && A::Set()
                                         : A::Set() && Framework::HookNewPlayer(&Note, &Report);
        ASSERT_TRUE(set);
        told.clear();
        standin::NewPlayerHandling handling;
        const auto player = Join(&handling);
        EXPECT_EQ(Trace(), row.trace);
        EXPECT_EQ(told, std::vector<AShooterPlayerController*>{server_.Controller(player)});
        EXPECT_TRUE(handling.result);
        EXPECT_EQ(handling.gameRuns, 1);

        Framework::UnhookNewPlayer();
        A::Disable();
        Join();
        EXPECT_EQ(Trace(), "") << "plug-in first: " << row.plugInFirst;
    }
    EXPECT_TRUE(failures.empty());
}

TEST_F(NewPlayerHook, WhatTheCallbackThrowsStaysInTheDetourAndTheChainsAnswerPassesUnchanged)
{
    struct Row {
        const char* what;
        bool detourBelowAnswers; // in the game's place; otherwise the game answers, true
        bool chainAnswers;
        Throw callbackThrows;
        std::vector<std::string> failures;
    };
    const Row rows[] = {
        {"the game answers, the callback returns", false, true, Throw::Nothing, {}},
        {"a detour below answers false, the callback throws a std::exception",
         true,
         false,
         Throw::StdException,
         {"New player hook: no welcome"}},
        {"a detour below answers true, the callback throws something else",
         true,
         true,
         Throw::Other,
         {"New player hook: unknown error"}},
    };
    for (const Row& row : rows) {
        if (row.detourBelowAnswers) {
            answer = row.chainAnswers;
            ASSERT_TRUE(
                ArkApi::GetHooks().SetHook(HandleNewPlayer, reinterpret_cast<LPVOID>(&Answers), &answersOriginal));
        }
        ASSERT_TRUE(Framework::HookNewPlayer(&Note, &Report));
        callbackThrows = row.callbackThrows;
        failures.clear();
        standin::NewPlayerHandling handling;
        Join(&handling);
        EXPECT_EQ(Trace(), "P") << row.what;
        EXPECT_EQ(handling.result, row.chainAnswers) << row.what;
        EXPECT_EQ(handling.gameRuns, row.detourBelowAnswers ? 0 : 1) << row.what;
        EXPECT_EQ(failures, row.failures) << row.what;
        Framework::UnhookNewPlayer();
        ArkApi::GetHooks().DisableHook(HandleNewPlayer, reinterpret_cast<LPVOID>(&Answers));
    }
    EXPECT_TRUE(server_.EscapedExceptions().empty());
}

TEST_F(NewPlayerHook, HookingAgainSwapsTheCallbackAndUnhookingIsHarmlessWhenUnhooked)
{
    ASSERT_TRUE(Framework::HookNewPlayer(&Note, &Report));
    ASSERT_TRUE(Framework::HookNewPlayer(&NoteAsQ, &Report));
    EXPECT_EQ(server_.Hooks().size(), 1u);
    Join();
    EXPECT_EQ(Trace(), "Q");

    Framework::UnhookNewPlayer();
    EXPECT_FALSE(Framework::NewPlayerHooked());
    Framework::UnhookNewPlayer();
    EXPECT_TRUE(server_.Hooks().empty());
    Join();
    EXPECT_EQ(Trace(), "");
}

} // namespace
