// The toggle keeps out of a weekend the schedule switched on, and the owner it records always
// matches what the game mode holds.
#include "plugin/commands/ToggleCommand.h"

#include "plugin/host/Game.h"
#include "plugin/log/PluginLog.h"
#include "plugin/rates/SwitchRecords.h"
#include "plugin/rates/Switching.h"
#include "plugin/rates/WeekendState.h"

namespace qv {

void ToggleChatCommand(AShooterPlayerController* player, FString*, EChatSendMode::Type)
{
    if (!Game::IsAdministrator(player, Game::PlayerStateCheck::NotChecked)) return;
    if (Weekend.ScheduledWeekendActive()) return;

    if (Weekend.ManualWeekendActive()) {
        if (SwitchToNormal()) LogInfo(RecordText({SwitchEvent::BackByHand}));
    } else if (SwitchToWeekend(Owner::Administrator)) {
        LogInfo(RecordText({SwitchEvent::OnByHand}));
    }
}

} // namespace qv
