// Detours a test sets on the game's new-player handler. Each writes its letter into Trace() on the
// way in, calls what the host gave it as original, and writes the letter in lower case on the way
// out, so that a join's trace shows the chain: "BAab" is B entering A, A entering the game.
#pragma once

#include <string>

#include "plugin/host/ArkApi.h"

namespace test_detours {

inline const std::string HandleNewPlayer = "AShooterGameMode.HandleNewPlayer_Implementation";

using Handler = bool (*)(AShooterGameMode*, AShooterPlayerController*, UPrimalPlayerData*, AShooterCharacter*, bool);

inline std::string& Trace()
{
    static std::string trace;
    return trace;
}

template <char Letter>
struct Detour {
    static inline Handler original = nullptr;

    static bool Call(AShooterGameMode* gameMode, AShooterPlayerController* player, UPrimalPlayerData* data,
                     AShooterCharacter* character, bool fromLogin)
    {
        Trace() += Letter;
        const bool handled = original(gameMode, player, data, character, fromLogin);
        Trace() += static_cast<char>(Letter - 'A' + 'a');
        return handled;
    }
    static LPVOID Address() { return reinterpret_cast<LPVOID>(&Call); }
    static bool Set() { return ArkApi::GetHooks().SetHook(HandleNewPlayer, Address(), &original); }
    static bool Disable() { return ArkApi::GetHooks().DisableHook(HandleNewPlayer, Address()); }
};

} // namespace test_detours
