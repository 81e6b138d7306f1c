// The command registry: chat, console and RCON lines go to the command named by their first word,
// every chat line to the chat-message callbacks, tick and timer callbacks run once per timer call in
// registration order, each slot reaches its own kind, and nothing a callback throws escapes.
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "standin/framework/Allocator.h"
#include "standin/framework/Commands.h"
#include "tests/standin/StandinTest.h"
#include "util/Utf.h"

namespace {

using standin::CommandKind;
using standin_test::ServerTest;
using standin_test::TestString;

std::string Text(const FString* text)
{
    const auto* layout = reinterpret_cast<const TestString*>(text);
    return layout->Num == 0 ? std::string() : util::Utf16ToUtf8(std::u16string_view(layout->Data));
}

struct ChatCall {
    AShooterPlayerController* player;
    std::string line;
    EChatSendMode::Type mode;
};

class Commands : public ServerTest {
protected:
    void RegisterChat(const char16_t* name, std::vector<ChatCall>& calls)
    {
        const TestString text(name);
        ArkApi::GetCommands().RegisterChatCommand(
            text.ref(), [&calls](AShooterPlayerController* player, FString* line, EChatSendMode::Type mode) {
                calls.push_back({player, Text(line), mode});
            });
    }
    bool UnregisterTimer(const char16_t* id)
    {
        return ArkApi::GetCommands().UnregisterTimerCallback(TestString(id).ref());
    }
    void RegisterTimer(const char16_t* id, std::function<void()> callback)
    {
        ArkApi::GetCommands().RegisterTimerCallback(TestString(id).ref(), callback);
    }
};
using CommandsDeathTest = Commands;

TEST_F(Commands, ChatLinesGoToTheCommandNamedByTheirFirstWordIgnoringCase)
{
    std::vector<ChatCall> reload;
    std::vector<ChatCall> toggle;
    RegisterChat(u"/qvreload", reload);
    RegisterChat(u"/ToggleQuorvandelle", toggle);
    const auto player = server.JoinPlayer({"Player"});

    struct Line {
        const char* text;
        bool matches;
    };
    const std::vector<Line> lines{
        {"/qvreload", true},
        {"/QVRELOAD now please", true},
        {"  /QvReload\tx", true},
        {"qvreload", false},
        {"/qvreloads", false},
        {"say /qvreload", false},
        {"", false},
        {"   ", false},
    };
    for (const auto& line : lines) {
        const std::size_t before = reload.size();
        EXPECT_EQ(server.Chat(player, line.text, EChatSendMode::LocalChat), line.matches) << line.text;
        ASSERT_EQ(reload.size(), before + (line.matches ? 1 : 0)) << line.text;
        if (!line.matches) continue;
        EXPECT_EQ(reload.back().line, line.text);
        EXPECT_EQ(reload.back().player, server.Controller(player));
        EXPECT_EQ(reload.back().mode, EChatSendMode::LocalChat);
    }
    EXPECT_TRUE(toggle.empty());
    EXPECT_TRUE(server.Chat(player, "/togglequorvandelle"));
    EXPECT_EQ(toggle.size(), 1u);
    // Console commands are a separate namespace.
    EXPECT_FALSE(server.Console(player, "/qvreload"));
}

TEST_F(Commands, TheHostKeepsItsOwnCopyOfTheNameAndHandsOverALineFromTheGameAllocator)
{
    std::vector<ChatCall> calls;
    bool lineWasGameMemory = false;
    {
        TestString name(u"/temporary");
        ArkApi::GetCommands().RegisterChatCommand(name.ref(), [&](AShooterPlayerController*, FString* line, auto) {
            lineWasGameMemory = standin::memory::IsLiveBlock(reinterpret_cast<TestString*>(line)->Data);
        });
        name.Data[1] = u'X'; // the caller's string may change or die once the call returns
    }
    const auto player = server.JoinPlayer({"Player"});
    const standin::AllocatorAccounts before = server.Allocations();
    EXPECT_TRUE(server.Chat(player, "/temporary \xF0\x9F\x98\x80"));
    EXPECT_TRUE(lineWasGameMemory);
    EXPECT_EQ(server.Allocations().liveBlocks, before.liveBlocks);
    EXPECT_TRUE(server.IsRegistered("/temporary", CommandKind::Chat));
}

TEST_F(Commands, ConsoleCommandsCarryTheControllerOrNullFromTheServer)
{
    std::vector<APlayerController*> controllers;
    std::vector<std::string> lines;
    ArkApi::GetCommands().RegisterConsoleCommand(TestString(u"qvreload").ref(),
                                                 [&](APlayerController* player, FString* line, bool flag) {
                                                     controllers.push_back(player);
                                                     lines.push_back(Text(line));
                                                     EXPECT_FALSE(flag);
                                                 });
    const auto player = server.JoinPlayer({"Player"});
    EXPECT_TRUE(server.Console(player, "QVRELOAD"));
    EXPECT_TRUE(server.ServerConsole("qvreload extra words"));
    EXPECT_FALSE(server.ServerConsole("/qvreload"));
    ASSERT_EQ(controllers.size(), 2u);
    EXPECT_EQ(static_cast<void*>(controllers[0]), static_cast<void*>(server.Controller(player)));
    EXPECT_EQ(controllers[1], nullptr);
    EXPECT_EQ(lines[1], "qvreload extra words");
    EXPECT_TRUE(ArkApi::GetCommands().UnregisterConsoleCommand(TestString(u"qvreload").ref()));
    EXPECT_FALSE(ArkApi::GetCommands().UnregisterConsoleCommand(TestString(u"qvreload").ref()));
    EXPECT_FALSE(server.ServerConsole("qvreload"));
}

TEST_F(Commands, TimerCallsRunEachCallbackOnceInOrderWhileCallbacksChangeTheList)
{
    std::vector<std::string> calls;
    RegisterTimer(u"A", [&] {
        calls.push_back("A");
        if (calls.size() == 1) RegisterTimer(u"D", [&] { calls.push_back("D"); });
    });
    std::vector<bool> removedC;
    RegisterTimer(u"B", [&] {
        calls.push_back("B");
        removedC.push_back(UnregisterTimer(u"C"));
    });
    RegisterTimer(u"C", [&] { calls.push_back("C"); });
    server.RunTimer(2);
    // D, added during the first call, waits for the next; C, removed before its turn, is not called.
    EXPECT_EQ(calls, (std::vector<std::string>{"A", "B", "A", "B", "D"}));
    EXPECT_EQ(removedC, (std::vector<bool>{true, false}));
    EXPECT_FALSE(UnregisterTimer(u"a")); // timer ids are exact
    const auto registrations = server.Registrations();
    ASSERT_EQ(registrations.size(), 3u);
    EXPECT_EQ(registrations[2].name, "D");
    EXPECT_EQ(registrations[2].kind, CommandKind::Timer);
}

TEST_F(Commands, ATimerCallbackMayUnregisterItself)
{
    int calls = 0;
    RegisterTimer(u"once", [&] {
        ++calls;
        EXPECT_TRUE(UnregisterTimer(u"once"));
    });
    server.RunTimer(3);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(server.Registrations().empty());
}

TEST_F(Commands, ExceptionsFromCallbacksAreCaughtRecordedAndLogged)
{
    int later = 0;
    RegisterTimer(u"throws", [] { throw std::runtime_error("boom in timer"); });
    RegisterTimer(u"later", [&] { ++later; });
    ArkApi::GetCommands().RegisterChatCommand(TestString(u"/bad").ref(),
                                              [](AShooterPlayerController*, FString*, auto) { throw 42; });
    const auto player = server.JoinPlayer({"Player"});
    server.RunTimer();
    EXPECT_TRUE(server.Chat(player, "/bad"));
    EXPECT_EQ(later, 1);
    const auto escaped = server.EscapedExceptions();
    ASSERT_EQ(escaped.size(), 2u);
    EXPECT_EQ(escaped[0], "boom in timer");
    EXPECT_EQ(escaped[1], "an exception that is not a std::exception");
    bool logged = false;
    for (const auto& record : server.LogRecords()) {
        logged |= record.level == standin::LogLevel::Error && record.message.find("\"throws\"") != std::string::npos;
    }
    EXPECT_TRUE(logged);
}

TEST_F(Commands, ARepeatedRegistrationIsListedTwiceAndWarned)
{
    std::vector<ChatCall> first;
    std::vector<ChatCall> second;
    RegisterChat(u"/twice", first);
    RegisterChat(u"/TWICE", second);
    EXPECT_EQ(server.Registrations().size(), 2u);
    const auto player = server.JoinPlayer({"Player"});
    server.Chat(player, "/twice");
    EXPECT_EQ(first.size(), 1u); // the first registration answers
    EXPECT_TRUE(second.empty());
    bool warned = false;
    for (const auto& record : server.LogRecords()) warned |= record.level == standin::LogLevel::Warning;
    EXPECT_TRUE(warned);
}

TEST_F(Commands, EachOfTheThirteenSlotsReachesItsOwnKind)
{
    // One registration of each kind under one name, so a register or remove that lands in another
    // kind's slot shows as a wrong call or a wrong kind removed.
    ArkApi::ICommands& host = ArkApi::GetCommands();
    const TestString name(u"/x");
    std::vector<std::string> calls;
    std::vector<std::string> rconBodies;
    std::vector<UWorld*> rconWorlds;
    std::vector<float> frames;
    host.RegisterChatCommand(name.ref(), [&](auto...) { calls.push_back("chat"); });
    host.RegisterConsoleCommand(name.ref(), [&](auto...) { calls.push_back("console"); });
    host.RegisterRconCommand(name.ref(), [&](RCONClientConnection* connection, RCONPacket* packet, UWorld* world) {
        calls.push_back("rcon");
        EXPECT_NE(connection, nullptr);
        rconBodies.push_back(Text(standin::AsFString(reinterpret_cast<standin::RconRequest*>(packet)->Body)));
        rconWorlds.push_back(world);
    });
    host.RegisterTickCallback(name.ref(), [&](float seconds) {
        calls.push_back("tick");
        frames.push_back(seconds);
    });
    host.RegisterTimerCallback(name.ref(), [&] { calls.push_back("timer"); });
    host.RegisterChatMessageCallback(name.ref(), [&](auto...) {
        calls.push_back("message");
        return false;
    });
    const auto player = server.JoinPlayer({"Player"});
    const auto driveAll = [&] {
        calls.clear();
        server.Chat(player, "/X chat");
        server.Console(player, "/x console");
        server.Rcon("/x rcon");
        server.RunTimer();
        return calls;
    };
    EXPECT_EQ(driveAll(), (std::vector<std::string>{"chat", "message", "console", "rcon", "tick", "timer"}));
    EXPECT_EQ(rconBodies, std::vector<std::string>{"/x rcon"});
    EXPECT_EQ(rconWorlds, std::vector<UWorld*>{ArkApi::GetApiUtils().CurrentWorld()});
    EXPECT_EQ(frames, std::vector<float>{1.0f});

    using Removal = bool (ArkApi::ICommands::*)(const FString&);
    const std::vector<std::pair<Removal, CommandKind>> removals{
        {&ArkApi::ICommands::UnregisterTimerCallback, CommandKind::Timer},
        {&ArkApi::ICommands::UnregisterChatCommand, CommandKind::Chat},
        {&ArkApi::ICommands::UnregisterChatMessageCallback, CommandKind::ChatMessage},
        {&ArkApi::ICommands::UnregisterRconCommand, CommandKind::Rcon},
        {&ArkApi::ICommands::UnregisterConsoleCommand, CommandKind::Console},
        {&ArkApi::ICommands::UnregisterTickCallback, CommandKind::Tick},
    };
    for (const auto& [remove, kind] : removals) {
        EXPECT_TRUE((host.*remove)(name.ref())) << static_cast<int>(kind);
        EXPECT_FALSE((host.*remove)(name.ref())) << static_cast<int>(kind);
        for (const auto& registration : server.Registrations()) EXPECT_NE(registration.kind, kind);
    }
    EXPECT_TRUE(server.Registrations().empty());
    EXPECT_TRUE(driveAll().empty());
}

TEST_F(Commands, ChatMessageCallbacksSeeEveryLineAndTheirAnswerDecidesWhetherItGoesOn)
{
    struct Seen {
        std::string line;
        bool command;
    };
    std::vector<Seen> seen;
    bool stop = false;
    int secondCalls = 0;
    ArkApi::GetCommands().RegisterChatMessageCallback(
        TestString(u"filter").ref(), [&](AShooterPlayerController*, FString* line, auto, bool spam, bool command) {
            EXPECT_FALSE(spam);
            seen.push_back({Text(line), command});
            return stop;
        });
    ArkApi::GetCommands().RegisterChatMessageCallback(TestString(u"second").ref(), [&](auto...) {
        ++secondCalls; // called even when the first one stops the line
        return false;
    });
    std::vector<ChatCall> commandCalls;
    RegisterChat(u"/cmd", commandCalls);
    const auto player = server.JoinPlayer({"Player"});

    struct Row {
        const char* line;
        bool stop;
        bool command;
    };
    const std::vector<Row> rows{{"hello", false, false}, {"blocked", true, false}, {"/cmd x", false, true}};
    for (const auto& row : rows) {
        stop = row.stop;
        EXPECT_EQ(server.Chat(player, row.line), row.command) << row.line;
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(seen.back().line, row.line);
        EXPECT_EQ(seen.back().command, row.command) << row.line;
    }
    EXPECT_EQ(secondCalls, 3);
    EXPECT_EQ(commandCalls.size(), 1u);
    EXPECT_EQ(server.ChatLinesPassedOn(), std::vector<std::string>{"hello"});
}

TEST_F(Commands, RconCommandsAnswerOverTheirOwnConnectionWithTheRequestsId)
{
    using SendMessage = void (*)(RCONClientConnection*, int, int, FString*);
    // Echoes the request: its id, length and type, and the line.
    ArkApi::GetCommands().RegisterRconCommand(
        TestString(u"echo").ref(), [](RCONClientConnection* connection, RCONPacket* packet, UWorld*) {
            const auto* request = reinterpret_cast<const standin::RconRequest*>(packet);
            const std::string text = std::to_string(request->Length) + " " + std::to_string(request->Type) + " " +
                                     util::Utf16ToUtf8(std::u16string_view(request->Body.Data));
            TestString reply(util::Utf8ToUtf16(text));
            standin_test::Function<SendMessage>("RCONClientConnection.SendMessageW")(connection, request->Id, 0,
                                                                                     reply.get());
        });
    const standin::RconConnectionId first = server.OpenRconConnection();
    const standin::RconConnectionId second = server.OpenRconConnection();

    struct Row {
        standin::RconConnectionId connection;
        std::int32_t id;
        const char* line;
        bool command;
        const char* reply;
    };
    const std::vector<Row> rows{
        {first, 7, "echo h\xC3\xA9", true, "18 2 echo h\xC3\xA9"}, // the length counts UTF-8 bytes, as on the wire
        {second, -5, "ECHO", true, "14 2 ECHO"},
        {first, 8, "  nosuch a b", false, "Unknown command \"nosuch\""},
    };
    for (const auto& row : rows) {
        const standin::RconOutcome outcome = server.Rcon(row.connection, row.id, row.line);
        EXPECT_EQ(outcome.Command, row.command) << row.line;
        ASSERT_EQ(outcome.Replies.size(), 1u) << row.line;
        EXPECT_EQ(outcome.Replies[0].Id, row.id) << row.line;
        EXPECT_EQ(outcome.Replies[0].Type, 0) << row.line;
        EXPECT_EQ(outcome.Replies[0].Text, row.reply) << row.line;
    }
    EXPECT_EQ(server.RconRepliesOf(first).size(), 2u);
    EXPECT_EQ(server.RconRepliesOf(second).size(), 1u);
    server.CloseRconConnection(second);
    EXPECT_THROW(server.Rcon(second, 1, "echo"), std::invalid_argument);
    EXPECT_EQ(server.RconRepliesOf(second).size(), 1u); // kept after closing
}

TEST_F(CommandsDeathTest, AnswersOverAClosedRconConnectionAreLoudFailures)
{
    using SendMessage = void (*)(RCONClientConnection*, int, int, FString*);
    RCONClientConnection* kept = nullptr;
    ArkApi::GetCommands().RegisterRconCommand(
        TestString(u"keep").ref(),
        [&kept](RCONClientConnection* connection, RCONPacket*, UWorld*) { kept = connection; });
    const standin::RconConnectionId connection = server.OpenRconConnection();
    server.Rcon(connection, 1, "keep");
    server.CloseRconConnection(connection);
    TestString late(u"late");
    EXPECT_DEATH(standin_test::Function<SendMessage>("RCONClientConnection.SendMessageW")(kept, 1, 0, late.get()),
                 "RCONClientConnection.SendMessageW: the object is no live game object, not a live "
                 "RCONClientConnection");
}

TEST_F(CommandsDeathTest, AnEmptyCallableIsALoudFailure)
{
    EXPECT_DEATH(ArkApi::GetCommands().RegisterTimerCallback(TestString(u"empty").ref(), ArkApi::TimerCallback()),
                 "RegisterTimerCallback\\(\"empty\"\\): the callable is empty");
}

} // namespace
