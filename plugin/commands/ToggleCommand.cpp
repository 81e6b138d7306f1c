// The toggle keeps out of a weekend the schedule switched on, and its flag always matches
// what the game mode holds: a switch that did not happen puts the flag back.
#include "plugin/commands/ToggleCommand.h"

#include "plugin/commands/Administrator.h"
#include "plugin/lifecycle/PluginLog.h"
#include "plugin/rates/Schedule.h"
#include "plugin/rates/Switching.h"

bool ManualWeekendActive = false;

void ToggleChatCommand(AShooterPlayerController* player, FString*, EChatSendMode::Type)
{
    if (!IsAdministrator(player, PlayerStateCheck::NotChecked)) return;
    if (ScheduledWeekendActive) return;

    ManualWeekendActive = !ManualWeekendActive;
    const bool switched = ManualWeekendActive ? SwitchToWeekend() : SwitchToNormal();
    if (!switched) {
        ManualWeekendActive = !ManualWeekendActive;
    } else {
        LogInfo(ManualWeekendActive ? "Weekend rates switched on by hand" : "Normal rates switched back by hand");
    }
}
