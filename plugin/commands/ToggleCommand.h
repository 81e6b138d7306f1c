// "/ToggleQuorvandelle": administrators switch the weekend rates on and off by hand.
#pragma once

#include "plugin/host/ArkApi.h"

namespace qv {

void ToggleChatCommand(AShooterPlayerController* player, FString* message, EChatSendMode::Type mode);

} // namespace qv
