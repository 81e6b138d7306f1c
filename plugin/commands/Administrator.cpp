// The administrator test shared by the chat commands.
#include "plugin/commands/Administrator.h"

#include "plugin/host/Game.h"

bool IsAdministrator(AShooterPlayerController* player, PlayerStateCheck playerState)
{
    if (player == nullptr) return false;
    if (playerState == PlayerStateCheck::Required && !Game::HasPlayerState(player)) return false;
    AShooterCharacter* character = Game::PlayerCharacter(player);
    return character != nullptr && Game::IsServerAdmin(character);
}
