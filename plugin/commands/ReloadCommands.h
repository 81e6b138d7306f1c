// "/qvreload" (chat, administrators) and "qvreload" (console): re-read the config file.
#pragma once

#include "plugin/host/ArkApi.h"

void ReloadConfigChatCommand(AShooterPlayerController* player, FString* message, EChatSendMode::Type mode);
void ReloadConfigConsoleCommand(APlayerController* player, FString* command, bool flag);
