// The game's functions that a plug-in reaches by name, and the name tables the framework resolves
// against, with the one function the framework can hook. Each function checks its object, reads what
// it is handed by the game's layouts, and records in the player's inbox what a real client would
// have seen.
#include <cstddef>

#include "standin/framework/Fatal.h"
#include "standin/framework/GameBinding.h"
#include "standin/framework/GameString.h"
#include "standin/game/ChatRecord.h"
#include "standin/game/WorldState.h"
#include "util/Utf.h"

namespace standin::game {

namespace {

// The game's linear colour, handed by value: four floats, as MessageColor is.
struct LinearColor {
    float R;
    float G;
    float B;
    float A;
};
static_assert(sizeof(LinearColor) == 16, "colour layout");

ReceivedColor Received(LinearColor color) { return ReceivedColor{color.R, color.G, color.B, color.A}; }

// Every message ends here, so that one counter tells a watcher that something arrived somewhere.
void Arrived(Player& player, MessageKind kind)
{
    player.inbox.order.push_back(kind);
    ++State().messagesDelivered;
}

void SetMessageOfTheDay(AShooterGameMode* gameMode, FString* message)
{
    constexpr const char* function = "AShooterGameMode.SetMessageOfTheDay";
    RequireGameMode(gameMode, function);
    WorldState& state = State();
    state.messageOfTheDay = ReadGameString(message, function);
    ++state.messageOfTheDayChanges;
}

// The game's own handling of a player who has just joined, at the end of the detours' chain. Its
// arguments must be the ones the game passed: a detour that hands on others is caught here.
bool HandleNewPlayerBody(AShooterGameMode* gameMode, AShooterPlayerController* controller, UPrimalPlayerData* data,
                         AShooterCharacter* character, bool /*fromLogin*/)
{
    RequireGameMode(gameMode, HandleNewPlayerName);
    Player& player = PlayerOfController(controller, HandleNewPlayerName);
    if (data != player.playerData.get() || character != player.character.get()) {
        LoudFailure(std::string(HandleNewPlayerName) + ": the player data or character is not the player's own");
    }
    ++player.newPlayer.gameRuns;
    return true;
}

// The handler's patch: where a call of it goes, which the host moves to its newest detour.
void* handleNewPlayerJump = reinterpret_cast<void*>(&HandleNewPlayerBody);

AShooterCharacter* GetPlayerCharacter(AShooterPlayerController* controller)
{
    PlayerOfController(controller, "AShooterPlayerController.GetPlayerCharacter");
    return controller->character;
}

// The record arrives by MinGW's rule (the Itanium one natively, the same here): the caller copies it
// and destroys that copy after the return, so this function only reads it. The real game, built by
// Microsoft's compiler, destroys the copy itself (scripts/check-msvc.sh calls).
void ClientChatMessage(AShooterPlayerController* controller, ChatRecord record)
{
    constexpr const char* function = "AShooterPlayerController.ClientChatMessage";
    Player& player = PlayerOfController(controller, function);
    const auto units = [&](const GameString& text, const char* field) {
        return ReadGameString(text, (std::string(function) + " record." + field).c_str());
    };
    const auto read = [&](const GameString& text, const char* field) { return util::Utf16ToUtf8(units(text, field)); };
    ReceivedChatRecord received;
    received.senderName = read(record.SenderName, "SenderName");
    received.senderSteamName = read(record.SenderSteamName, "SenderSteamName");
    received.senderTribeName = read(record.SenderTribeName, "SenderTribeName");
    received.senderId = record.SenderId;
    received.messageUnits = units(record.Message, "Message");
    received.message = util::Utf16ToUtf8(received.messageUnits);
    received.receiver = read(record.Receiver, "Receiver");
    received.senderTeamIndex = record.SenderTeamIndex;
    received.receivedTime = record.ReceivedTime;
    received.sendMode = record.SendMode;
    received.radioFrequency = record.RadioFrequency;
    received.chatType = record.ChatType;
    received.senderIconWasNull = record.SenderIcon == nullptr;
    received.userId = read(record.UserId, "UserId");
    player.inbox.chatRecords.push_back(std::move(received));
    Arrived(player, MessageKind::ChatRecord);
}

void ClientServerChatDirectMessage(AShooterPlayerController* controller, FString* text, LinearColor color, bool flag)
{
    constexpr const char* function = "AShooterPlayerController.ClientServerChatDirectMessage";
    Player& player = PlayerOfController(controller, function);
    DirectChatLine line;
    line.units = ReadGameString(text, function);
    line.text = util::Utf16ToUtf8(line.units);
    line.color = Received(color);
    line.flag = flag;
    player.inbox.directChats.push_back(std::move(line));
    Arrived(player, MessageKind::DirectChat);
}

void ClientServerSOTFNotificationCustom(AShooterPlayerController* controller, FString* text, LinearColor color,
                                        float scale, float seconds, void* icon, void* sound)
{
    constexpr const char* function = "AShooterPlayerController.ClientServerSOTFNotificationCustom";
    Player& player = PlayerOfController(controller, function);
    ShownNotification notification;
    notification.units = ReadGameString(text, function);
    notification.text = util::Utf16ToUtf8(notification.units);
    notification.color = Received(color);
    notification.scale = scale;
    notification.seconds = seconds;
    notification.iconWasNull = icon == nullptr;
    notification.soundWasNull = sound == nullptr;
    player.inbox.notifications.push_back(std::move(notification));
    Arrived(player, MessageKind::Notification);
}

// The game sends the text to the client as packets of the given type carrying the id; the stand-in
// records it, and the server's embedder, which plays the listener, sends it on.
void RconSendMessage(RCONClientConnection* connection, int id, int type, FString* message)
{
    constexpr const char* function = "RCONClientConnection.SendMessageW";
    RconConnection& known = ConnectionOfObject(connection, function);
    known.replies.push_back(RconReply{id, type, util::Utf16ToUtf8(ReadGameString(message, function))});
}

void* WeakObjectPtrGet(WeakObjectPtr* self, bool /*evenIfPendingKill*/)
{
    if (self == nullptr) LoudFailure("FWeakObjectPtr.Get: null weak pointer address");
    return State().objects.Resolve(*self, "FWeakObjectPtr.Get");
}

template <typename Function>
void* Address(Function* function)
{
    return reinterpret_cast<void*>(function);
}

} // namespace

void RequireGameMode(const AShooterGameMode* gameMode, const char* function)
{
    const char* objectClass = gameMode == nullptr ? nullptr : State().objects.ClassOf(gameMode);
    if (objectClass == nullptr || !DerivesFrom(objectClass, "AShooterGameMode")) {
        LoudFailure(std::string(function) + ": the object is not the live game mode");
    }
}

bool HandleNewPlayer(AShooterGameMode* gameMode, AShooterPlayerController* controller, UPrimalPlayerData* data,
                     AShooterCharacter* character, bool fromLogin)
{
    return reinterpret_cast<decltype(&HandleNewPlayerBody)>(handleNewPlayerJump)(gameMode, controller, data, character,
                                                                                 fromLogin);
}

} // namespace standin::game

namespace standin::binding {

const std::vector<FunctionSymbol>& GameFunctions()
{
    using namespace standin::game;
    static const std::vector<FunctionSymbol> functions{
        {"AShooterGameMode.SetMessageOfTheDay", Address(&SetMessageOfTheDay)},
        {HandleNewPlayerName, Address(&HandleNewPlayer)},
        {"AShooterPlayerController.GetPlayerCharacter", Address(&GetPlayerCharacter)},
        {"AShooterPlayerController.ClientChatMessage", Address(&ClientChatMessage)},
        {"AShooterPlayerController.ClientServerChatDirectMessage", Address(&ClientServerChatDirectMessage)},
        {"AShooterPlayerController.ClientServerSOTFNotificationCustom", Address(&ClientServerSOTFNotificationCustom)},
        {"FWeakObjectPtr.Get", Address(&WeakObjectPtrGet)},
        {"RCONClientConnection.SendMessageW", Address(&RconSendMessage)},
    };
    return functions;
}

const std::vector<HookableFunction>& HookableFunctions()
{
    using namespace standin::game;
    static const std::vector<HookableFunction> functions{
        {HandleNewPlayerName, Address(&HandleNewPlayerBody), &handleNewPlayerJump},
    };
    return functions;
}

const std::vector<FieldSymbol>& GameFields()
{
    using namespace standin::game;
    static const std::vector<FieldSymbol> fields = [] {
        std::vector<FieldSymbol> made{
            {"UWorld.PlayerControllerList", offsetof(UWorldLayout, PlayerControllerList)},
            {"AController.PlayerState", offsetof(AController, PlayerState)},
            {"AShooterCharacter.bIsServerAdmin", offsetof(AShooterCharacterLayout, bIsServerAdmin)},
        };
        for (const auto& row : MultiplierRows()) {
            made.push_back({std::string("AShooterGameMode.") + row.name, row.offset});
        }
        return made;
    }();
    return fields;
}

} // namespace standin::binding
