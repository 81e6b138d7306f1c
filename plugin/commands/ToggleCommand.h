// "/ToggleQuorvandelle": administrators switch the weekend rates on and off by hand.
#pragma once

#include "plugin/host/ArkApi.h"
#include "plugin/messaging/Messaging.h"

namespace qv {

// For an administrator: the asker is told what the toggle did or why it did nothing.
void Toggle(const Asker& asker);
void ToggleChatCommand(AShooterPlayerController* player, FString* message, EChatSendMode::Type mode);

} // namespace qv
