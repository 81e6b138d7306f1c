// "/qvreload" (chat, administrators) and "qvreload" (console): re-read the config file. The
// first read at start-up is reported here too, so every load of the file is told the same way.
#pragma once

#include "plugin/host/ArkApi.h"
#include "plugin/messaging/Messaging.h"

namespace qv {

// A missing or bad file is logged and the initial settings stay in force.
void LoadConfigAtStartup();

// For an administrator: the asker is told how the reload went.
void ReloadConfig(const Asker& asker);
void ReloadConfigChatCommand(AShooterPlayerController* player, FString* message, EChatSendMode::Type mode);
void ReloadConfigConsoleCommand(APlayerController* player, FString* command, bool flag);

} // namespace qv
