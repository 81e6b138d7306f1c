// Names, layouts and signatures of the game's fields and functions. Nothing is cached: every
// access asks the host again, as the game's addresses are only promised for the moment.
#include "plugin/host/Game.h"

#include <cstdint>
#include <string>

namespace qv {

namespace Game {

namespace {

template <typename FunctionPointer>
FunctionPointer GameFunction(const char* name)
{
    return reinterpret_cast<FunctionPointer>(GetAddress(std::string(name)));
}

template <typename T>
T& GameField(const void* object, const char* name)
{
    return *reinterpret_cast<T*>(static_cast<std::uintptr_t>(GetAddress(object, std::string(name))));
}

// The game's array layout (Data, Num, Max).
template <typename T>
struct GameArray {
    T* Data;
    std::int32_t Num;
    std::int32_t Max; // the game's business; never read
};
static_assert(sizeof(GameArray<int>) == 16, "array layout is the game's");

// Opaque to the plug-in: only "FWeakObjectPtr.Get" knows what the eight bytes mean.
struct FWeakObjectPtr {
    std::int32_t ObjectIndex;
    std::int32_t ObjectSerialNumber;
};
static_assert(sizeof(FWeakObjectPtr) == 8, "weak pointer layout is the game's");

float& MultiplierField(AShooterGameMode* gameMode, const char* field)
{
    const std::string name = std::string("AShooterGameMode.") + field;
    return GameField<float>(gameMode, name.c_str());
}

} // namespace

AShooterGameMode* CurrentGameMode() { return ArkApi::GetApiUtils().CurrentGameMode(); }

UWorld* CurrentWorld() { return ArkApi::GetApiUtils().CurrentWorld(); }

float ReadMultiplier(AShooterGameMode* gameMode, const char* field) { return MultiplierField(gameMode, field); }

void WriteMultiplier(AShooterGameMode* gameMode, const char* field, float value)
{
    MultiplierField(gameMode, field) = value;
}

void SetMessageOfTheDay(AShooterGameMode* gameMode, const FString& message)
{
    GameFunction<void (*)(AShooterGameMode*, FString*)>("AShooterGameMode.SetMessageOfTheDay")(
        gameMode, const_cast<FString*>(&message));
}

bool IsAdministrator(AShooterPlayerController* player, PlayerStateCheck playerState)
{
    if (player == nullptr) return false;
    if (playerState == PlayerStateCheck::Required && GameField<void*>(player, "AController.PlayerState") == nullptr) {
        return false;
    }
    auto* character = GameFunction<AShooterCharacter* (*)(AShooterPlayerController*)>(
        "AShooterPlayerController.GetPlayerCharacter")(player);
    return character != nullptr && GameField<std::uint8_t>(character, "AShooterCharacter.bIsServerAdmin") != 0;
}

void ForEachLivePlayer(UWorld* world, const std::function<void(AShooterPlayerController*)>& visit)
{
    const auto& list = GameField<GameArray<FWeakObjectPtr>>(world, "UWorld.PlayerControllerList");
    for (std::int32_t i = 0; i < list.Num; ++i) {
        FWeakObjectPtr entry = list.Data[i];
        void* object = GameFunction<void* (*)(FWeakObjectPtr*, bool)>("FWeakObjectPtr.Get")(&entry, false);
        if (object != nullptr) visit(static_cast<AShooterPlayerController*>(object));
    }
}

void SendDirectMessage(AShooterPlayerController* player, const FString& text, MessageColor color)
{
    GameFunction<void (*)(AShooterPlayerController*, FString*, MessageColor, bool)>(
        "AShooterPlayerController.ClientServerChatDirectMessage")(player, const_cast<FString*>(&text), color, false);
}

void SendNotification(AShooterPlayerController* player, const FString& text, MessageColor color, float scale,
                      float seconds)
{
    GameFunction<void (*)(AShooterPlayerController*, FString*, MessageColor, float, float, void*, void*)>(
        "AShooterPlayerController.ClientServerSOTFNotificationCustom")(player, const_cast<FString*>(&text), color,
                                                                       scale, seconds, nullptr, nullptr);
}

void SendChatMessage(AShooterPlayerController* player, const ChatMessageRecord& record)
{
    // By value, and the compiler's own copy: under Microsoft's rules the caller makes it and the game
    // destroys it, under MinGW's the caller does both. Copying or freeing by hand here would hold for
    // one of the two only (scripts/check-msvc.sh calls reads which the build does).
    GameFunction<void (*)(AShooterPlayerController*, ChatMessageRecord)>("AShooterPlayerController.ClientChatMessage")(
        player, record);
}

void SendRconReply(RCONClientConnection* connection, std::int32_t requestId, const FString& text)
{
    constexpr std::int32_t responseValue = 0;
    GameFunction<void (*)(RCONClientConnection*, int, int, FString*)>("RCONClientConnection.SendMessageW")(
        connection, requestId, responseValue, const_cast<FString*>(&text));
}

void* Malloc(std::size_t bytes)
{
    return GameFunction<void* (*)(std::uint64_t, std::uint32_t)>("FMemory.Malloc")(bytes, 0);
}

void* Realloc(void* block, std::size_t bytes)
{
    return GameFunction<void* (*)(void*, std::uint64_t)>("FMemory.Realloc")(block, bytes);
}

void Free(void* block) { GameFunction<void (*)(void*)>("FMemory.Free")(block); }

} // namespace Game

} // namespace qv
