// A plug-in library that hooks the game's new-player handler while it is loaded, as a well-behaved
// plug-in does: it sets its detour when loaded and disables it when unloaded. Its detour tells each
// new player "hooked", after the rest of the chain.
#include <string>

#include "plugin/host/ArkApi.h"
#include "tests/standin/TestPluginName.h"

namespace {

const std::string HandleNewPlayer = "AShooterGameMode.HandleNewPlayer_Implementation";

struct Color {
    float R, G, B, A;
};

using Handler = bool (*)(AShooterGameMode*, AShooterPlayerController*, UPrimalPlayerData*, AShooterCharacter*, bool);
using DirectMessage = void (*)(AShooterPlayerController*, FString*, Color, bool);

Handler original = nullptr;

bool Detour(AShooterGameMode* gameMode, AShooterPlayerController* player, UPrimalPlayerData* data,
            AShooterCharacter* character, bool fromLogin)
{
    const bool handled = original(gameMode, player, data, character, fromLogin);
    test_plugin::Name text(u"hooked");
    reinterpret_cast<DirectMessage>(GetAddress("AShooterPlayerController.ClientServerChatDirectMessage"))(
        player, const_cast<FString*>(&text.ref()), Color{1, 1, 1, 1}, false);
    return handled;
}

struct HooksWhileLoaded {
    HooksWhileLoaded() { ArkApi::GetHooks().SetHook(HandleNewPlayer, reinterpret_cast<LPVOID>(&Detour), &original); }
    ~HooksWhileLoaded() { ArkApi::GetHooks().DisableHook(HandleNewPlayer, reinterpret_cast<LPVOID>(&Detour)); }
    HooksWhileLoaded(const HooksWhileLoaded&) = delete;
    HooksWhileLoaded& operator=(const HooksWhileLoaded&) = delete;
};

const HooksWhileLoaded entryPoint;

} // namespace
