// The status command, under the name the config gives it: any player asks which rates are on.
#pragma once

#include "plugin/host/ArkApi.h"
#include "plugin/messaging/Messaging.h"

namespace qv {

// Which rates are on, told to asker.
void TellStatus(const Asker& asker);
void StatusChatCommand(AShooterPlayerController* player, FString* message, EChatSendMode::Type mode);

} // namespace qv
