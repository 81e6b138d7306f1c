// The game as the rest of the plug-in sees it: operations in the plug-in's own terms. Only this
// file's implementation knows the names, layouts and calls behind them.
#pragma once

#include <functional>

#include "plugin/host/ArkApi.h"
#include "plugin/host/ChatMessageRecord.h"
#include "plugin/host/Colors.h"
#include "plugin/host/FString.h"

namespace Game {

AShooterGameMode* CurrentGameMode();
UWorld* CurrentWorld();

// A game-mode rate multiplier by its field name, such as "XPMultiplier".
float ReadMultiplier(AShooterGameMode* gameMode, const char* field);
void WriteMultiplier(AShooterGameMode* gameMode, const char* field, float value);
void SetMessageOfTheDay(AShooterGameMode* gameMode, const FString& message);

bool HasPlayerState(AShooterPlayerController* player);
AShooterCharacter* PlayerCharacter(AShooterPlayerController* player);
bool IsServerAdmin(AShooterCharacter* character);

// Calls visit with every player of the world's controller list that still exists, in list order.
void ForEachLivePlayer(UWorld* world, const std::function<void(AShooterPlayerController*)>& visit);

void SendDirectMessage(AShooterPlayerController* player, const FString& text, MessageColor color);
void SendNotification(AShooterPlayerController* player, const FString& text, MessageColor color, float scale,
                      float seconds);
// The game takes the record by value and disposes of its copy.
void SendChatMessage(AShooterPlayerController* player, const ChatMessageRecord& record);

} // namespace Game
