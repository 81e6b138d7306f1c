// The status command, under the name the config gives it: any player asks which rates are on.
#pragma once

#include "plugin/host/ArkApi.h"

namespace qv {

void StatusChatCommand(AShooterPlayerController* player, FString* message, EChatSendMode::Type mode);

} // namespace qv
