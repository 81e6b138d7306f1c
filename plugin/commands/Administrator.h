// Who may use the administrators' commands.
#pragma once

#include "plugin/host/ArkApi.h"

enum class PlayerStateCheck { Required, NotChecked };

// A player whose character carries the server-admin mark. The tests run in order (player,
// player state when required, character, mark) and a refusal is silent.
bool IsAdministrator(AShooterPlayerController* player, PlayerStateCheck playerState);
