// The toggle keeps out of a weekend the schedule switched on, and its flag always matches
// what the game mode holds.
#include "plugin/commands/ToggleCommand.h"

#include "plugin/host/Game.h"
#include "plugin/log/PluginLog.h"
#include "plugin/rates/Switching.h"
#include "plugin/rates/WeekendState.h"
#include "plugin/rates/Windows.h"

void ToggleChatCommand(AShooterPlayerController* player, FString*, EChatSendMode::Type)
{
    if (!Game::IsAdministrator(player, Game::PlayerStateCheck::NotChecked)) return;
    if (Weekend.ScheduledWeekendActive) return;

    const bool weekend = !Weekend.ManualWeekendActive;
    if (SwitchWithFlag(Weekend.ManualWeekendActive, weekend, kWeeklyWindow)) {
        LogInfo(weekend ? "Weekend rates switched on by hand" : "Normal rates switched back by hand");
    }
}
