// A plug-in library that misbehaves on purpose: it registers a chat command and a timer callback and
// hooks the game's new-player handler when loaded, and never takes any of them back, so the server's
// handling of leftovers can be tested.
#include <cstdint>
#include <string>

#include "plugin/host/ArkApi.h"
#include "tests/standin/TestPluginName.h"

namespace {

using test_plugin::Name;

int timerCalls = 0;

using Handler = bool (*)(AShooterGameMode*, AShooterPlayerController*, UPrimalPlayerData*, AShooterCharacter*, bool);
Handler original = nullptr;

bool Detour(AShooterGameMode* gameMode, AShooterPlayerController* player, UPrimalPlayerData* data,
            AShooterCharacter* character, bool fromLogin)
{
    return original(gameMode, player, data, character, fromLogin);
}

struct LoadsAndForgets {
    LoadsAndForgets()
    {
        ArkApi::GetCommands().RegisterChatCommand(Name(u"/leak").ref(),
                                                  [](AShooterPlayerController*, FString*, EChatSendMode::Type) {});
        ArkApi::GetCommands().RegisterTimerCallback(Name(u"leak").ref(), [] { ++timerCalls; });
        ArkApi::GetHooks().SetHook("AShooterGameMode.HandleNewPlayer_Implementation", reinterpret_cast<LPVOID>(&Detour),
                                   &original);
    }
};

const LoadsAndForgets entryPoint;

} // namespace
