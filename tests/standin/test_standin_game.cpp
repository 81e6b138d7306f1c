// The simulated game: the player-controller list and weak pointers, characters and player states,
// the message of the day, and what each player records of the messages sent to it.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include <gtest/gtest.h>

#include "tests/standin/StandinTest.h"

namespace {

using standin::MessageKind;
using standin_test::Field;
using standin_test::Function;
using standin_test::ServerTest;
using standin_test::TestString;

struct Weak {
    std::int32_t index;
    std::int32_t serial;
};
struct List {
    Weak* Data;
    std::int32_t Num;
    std::int32_t Max;
};
struct Color {
    float R, G, B, A;
};

// The plug-in's chat record as its own type: the same 144-byte layout, and non-trivial, so it
// travels by the address of a caller-made copy that the caller destroys.
struct Record {
    TestString SenderName;
    TestString SenderSteamName;
    TestString SenderTribeName;
    std::uint32_t SenderId = 0;
    TestString Message;
    TestString Receiver;
    std::int32_t SenderTeamIndex = 0;
    double ReceivedTime = -1.0;
    std::uint8_t SendMode = 0;
    std::uint32_t RadioFrequency = 0;
    std::uint8_t ChatType = 0;
    void* SenderIcon = nullptr;
    TestString UserId;

    Record() = default;
    Record(const Record&) = default;
    ~Record() {}
};
static_assert(sizeof(Record) == 144 && offsetof(Record, UserId) == 128);

std::vector<AShooterPlayerController*> LivePlayers()
{
    UWorld* world = ArkApi::GetApiUtils().CurrentWorld();
    const List& list = Field<List>(world, "UWorld.PlayerControllerList");
    const auto get = Function<void* (*)(Weak*, bool)>("FWeakObjectPtr.Get");
    std::vector<AShooterPlayerController*> players;
    for (std::int32_t i = 0; i < list.Num; ++i) {
        Weak entry = list.Data[i];
        players.push_back(static_cast<AShooterPlayerController*>(get(&entry, false)));
    }
    return players;
}

using Game = ServerTest;
using GameDeathTest = ServerTest;

TEST_F(Game, PlayersWhoLeftResolveToNullAndNeverToANewcomer)
{
    const auto first = server.JoinPlayer({"First"});
    const auto second = server.JoinPlayer({"Second"});
    const auto third = server.JoinPlayer({"Third"});
    EXPECT_EQ(LivePlayers(), (std::vector<AShooterPlayerController*>{
                                 server.Controller(first), server.Controller(second), server.Controller(third)}));
    server.RemovePlayer(second);
    EXPECT_FALSE(server.IsConnected(second));
    EXPECT_EQ(server.Controller(second), nullptr);
    EXPECT_EQ(LivePlayers(),
              (std::vector<AShooterPlayerController*>{server.Controller(first), nullptr, server.Controller(third)}));
    // The newcomer takes the freed object slot; the old entry's serial number no longer matches.
    const auto fourth = server.JoinPlayer({"Fourth"});
    EXPECT_EQ(LivePlayers(),
              (std::vector<AShooterPlayerController*>{server.Controller(first), nullptr, server.Controller(third),
                                                      server.Controller(fourth)}));
    Weak empty{-1, 0};
    EXPECT_EQ(Function<void* (*)(Weak*, bool)>("FWeakObjectPtr.Get")(&empty, false), nullptr);
    EXPECT_THROW(server.RemovePlayer(second), std::invalid_argument);
    EXPECT_THROW(server.Chat(second, "/qvreload"), std::invalid_argument);
    EXPECT_THROW(server.InboxOf(static_cast<standin::PlayerId>(999)), std::invalid_argument);
}

TEST_F(Game, CharactersAndPlayerStatesMayBeMissing)
{
    const auto ghost = server.JoinPlayer({"Ghost", true, false, false});
    const auto getCharacter =
        Function<AShooterCharacter* (*)(AShooterPlayerController*)>("AShooterPlayerController.GetPlayerCharacter");
    EXPECT_EQ(getCharacter(server.Controller(ghost)), nullptr);
    EXPECT_EQ(Field<void*>(server.Controller(ghost), "AController.PlayerState"), nullptr);
    EXPECT_THROW(server.SetAdmin(ghost, true), std::invalid_argument);
}

TEST_F(Game, TheMessageOfTheDayIsTheGamesOwnCopy)
{
    server.SetMessageOfTheDay("Welcome");
    EXPECT_EQ(server.MessageOfTheDayChanges(), 0);
    const auto set = Function<void (*)(AShooterGameMode*, FString*)>("AShooterGameMode.SetMessageOfTheDay");
    {
        TestString text(u"Weekend \xD83D\xDE00");
        set(ArkApi::GetApiUtils().CurrentGameMode(), text.get());
    }
    EXPECT_EQ(server.MessageOfTheDayUnits(), u"Weekend \xD83D\xDE00");
    EXPECT_EQ(server.MessageOfTheDay(), "Weekend \xF0\x9F\x98\x80");
    TestString empty;
    set(ArkApi::GetApiUtils().CurrentGameMode(), empty.get());
    EXPECT_EQ(server.MessageOfTheDay(), "");
    EXPECT_EQ(server.MessageOfTheDayChanges(), 2);
}

TEST_F(Game, EachPlayerRecordsWhatItReceivedInOrder)
{
    const auto player = server.JoinPlayer({"Player"});
    const auto other = server.JoinPlayer({"Other"});
    AShooterPlayerController* controller = server.Controller(player);
    const auto direct = Function<void (*)(AShooterPlayerController*, FString*, Color, bool)>(
        "AShooterPlayerController.ClientServerChatDirectMessage");
    const auto notify = Function<void (*)(AShooterPlayerController*, FString*, Color, float, float, void*, void*)>(
        "AShooterPlayerController.ClientServerSOTFNotificationCustom");

    TestString text(u"Config Reloaded! \xD83D\xDE00");
    int icon = 0;
    notify(controller, text.get(), Color{0.5f, 0.25f, 0.125f, 1.0f}, 1.2f, 8.0f, nullptr, nullptr);
    direct(controller, text.get(), Color{0.0f, 1.0f, 0.0f, 1.0f}, false);
    notify(controller, TestString().get(), Color{}, 2.0f, 3.0f, &icon, nullptr);

    const standin::Inbox inbox = server.InboxOf(player);
    EXPECT_EQ(inbox.order, (std::vector<MessageKind>{MessageKind::Notification, MessageKind::DirectChat,
                                                     MessageKind::Notification}));
    ASSERT_EQ(inbox.directChats.size(), 1u);
    EXPECT_EQ(inbox.directChats[0].text, "Config Reloaded! \xF0\x9F\x98\x80");
    EXPECT_EQ(inbox.directChats[0].units, u"Config Reloaded! \xD83D\xDE00");
    EXPECT_EQ(inbox.directChats[0].color.G, 1.0f);
    EXPECT_EQ(inbox.directChats[0].color.R, 0.0f);
    EXPECT_FALSE(inbox.directChats[0].flag);
    ASSERT_EQ(inbox.notifications.size(), 2u);
    const auto& shown = inbox.notifications[0];
    EXPECT_EQ(shown.text, inbox.directChats[0].text);
    EXPECT_EQ(shown.color.R, 0.5f);
    EXPECT_EQ(shown.color.G, 0.25f);
    EXPECT_EQ(shown.color.B, 0.125f);
    EXPECT_EQ(shown.color.A, 1.0f);
    EXPECT_EQ(shown.scale, 1.2f);
    EXPECT_EQ(shown.seconds, 8.0f);
    EXPECT_TRUE(shown.iconWasNull && shown.soundWasNull);
    EXPECT_EQ(inbox.notifications[1].text, "");
    EXPECT_FALSE(inbox.notifications[1].iconWasNull);
    EXPECT_EQ(server.InboxOf(other).Count(), 0u);

    server.RemovePlayer(player);
    EXPECT_EQ(server.InboxOf(player).Count(), 3u); // kept after leaving
    server.ClearInboxes();
    EXPECT_EQ(server.InboxOf(player).Count(), 0u);
}

TEST_F(Game, AChatRecordTravelsByValueAndTheCallerDisposesOfItsCopy)
{
    const auto player = server.JoinPlayer({"Player"});
    const auto send =
        Function<void (*)(AShooterPlayerController*, Record)>("AShooterPlayerController.ClientChatMessage");
    const standin::AllocatorAccounts before = server.Allocations();
    {
        Record record;
        record.SenderName = TestString(u"Test Server");
        record.Message = TestString(u"<RichColor Color=\"0, 1, 0, 1\">Weekend rates on</>");
        record.SenderId = 7;
        send(server.Controller(player), record);
    }
    const standin::AllocatorAccounts after = server.Allocations();
    EXPECT_EQ(after.liveBlocks, before.liveBlocks);
    EXPECT_EQ(after.totalAllocations, before.totalAllocations + 4); // two strings, copied once each

    const auto records = server.InboxOf(player).chatRecords;
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].senderName, "Test Server");
    EXPECT_EQ(records[0].message, "<RichColor Color=\"0, 1, 0, 1\">Weekend rates on</>");
    EXPECT_EQ(records[0].senderId, 7u);
    EXPECT_EQ(records[0].receivedTime, -1.0);
    EXPECT_EQ(records[0].senderSteamName, "");
    EXPECT_EQ(records[0].userId, "");
    EXPECT_TRUE(records[0].senderIconWasNull);
}

TEST_F(GameDeathTest, GameFunctionsRefuseObjectsTheyCannotUse)
{
    const auto player = server.JoinPlayer({"Player"});
    AShooterPlayerController* controller = server.Controller(player);
    const auto direct = Function<void (*)(AShooterPlayerController*, FString*, Color, bool)>(
        "AShooterPlayerController.ClientServerChatDirectMessage");
    TestString text(u"hello");
    server.RemovePlayer(player);
    EXPECT_DEATH(
        direct(controller, text.get(), Color{}, false),
        "ClientServerChatDirectMessage: the object is no live game object, not a live AShooterPlayerController");
    EXPECT_DEATH(direct(nullptr, text.get(), Color{}, false), "the object is null");
    Weak garbage{123456, 1};
    EXPECT_DEATH(Function<void* (*)(Weak*, bool)>("FWeakObjectPtr.Get")(&garbage, false), "index 123456.*garbage");
}

TEST_F(GameDeathTest, MalformedStringsAreLoudFailuresNamingTheFunction)
{
    const auto set = Function<void (*)(AShooterGameMode*, FString*)>("AShooterGameMode.SetMessageOfTheDay");
    AShooterGameMode* gameMode = ArkApi::GetApiUtils().CurrentGameMode();
    TestString text(u"abc");
    text.Data[3] = u'!';
    EXPECT_DEATH(set(gameMode, text.get()),
                 "SetMessageOfTheDay: malformed string \\(Num 4, Max 4\\): no terminating zero");
    text.Data[3] = u'\0';
    text.Num = 5;
    EXPECT_DEATH(set(gameMode, text.get()), "Num exceeds Max");
    text.Num = 4;
    EXPECT_DEATH(set(gameMode, nullptr), "null string pointer");
}

} // namespace
