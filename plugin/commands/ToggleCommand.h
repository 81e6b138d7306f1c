// "/ToggleQuorvandelle": administrators switch the weekend rates on and off by hand.
#pragma once

#include "plugin/host/ArkApi.h"

// True from a switch-on made by this command until its switch back.
extern bool ManualWeekendActive;

void ToggleChatCommand(AShooterPlayerController* player, FString* message, EChatSendMode::Type mode);
