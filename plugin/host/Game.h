// The game as the rest of the plug-in sees it: operations in the plug-in's own terms. Only this
// file's implementation knows the names, layouts and calls behind them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "plugin/host/ArkApi.h"
#include "plugin/host/ChatMessageRecord.h"
#include "plugin/host/Colors.h"
#include "plugin/host/FString.h"
#include "plugin/host/RCONPacket.h"

namespace qv {

namespace Game {

AShooterGameMode* CurrentGameMode();
UWorld* CurrentWorld();

// A game-mode rate multiplier by its field name, such as "XPMultiplier".
float ReadMultiplier(AShooterGameMode* gameMode, const char* field);
void WriteMultiplier(AShooterGameMode* gameMode, const char* field, float value);
void SetMessageOfTheDay(AShooterGameMode* gameMode, const FString& message);

enum class PlayerStateCheck { Required, NotChecked };
// A player whose character carries the game's server-admin mark. The tests run in order (player,
// player state when required, character, mark); the first that fails answers false.
bool IsAdministrator(AShooterPlayerController* player, PlayerStateCheck playerState);

// Calls visit with every player of the world's controller list that still exists, in list order.
void ForEachLivePlayer(UWorld* world, const std::function<void(AShooterPlayerController*)>& visit);

void SendDirectMessage(AShooterPlayerController* player, const FString& text, MessageColor color);
void SendNotification(AShooterPlayerController* player, const FString& text, MessageColor color, float scale,
                      float seconds);
// The game takes the record by value and disposes of its copy.
void SendChatMessage(AShooterPlayerController* player, const ChatMessageRecord& record);

// Answers an RCON request over its connection: a response value (type 0) carrying the request's id
// (RCONPacket::Id). The client shows the text as it comes, so it is plain, without colour markup.
void SendRconReply(RCONClientConnection* connection, std::int32_t requestId, const FString& text);

// The game's allocator, "FMemory". Every block of game-visible storage the plug-in owns comes from
// here, because the game frees what it receives with its own allocator.
void* Malloc(std::size_t bytes);
void* Realloc(void* block, std::size_t bytes);
void Free(void* block);

} // namespace Game

} // namespace qv
