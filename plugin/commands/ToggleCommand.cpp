// The toggle keeps out of a weekend the schedule switched on, and tells the administrator so; the
// owner it records always matches what the game mode holds.
#include "plugin/commands/ToggleCommand.h"

#include "plugin/host/Clock.h"
#include "plugin/host/Colors.h"
#include "plugin/host/Game.h"
#include "plugin/log/PluginLog.h"
#include "plugin/messaging/Messaging.h"
#include "plugin/messaging/Patterns.h"
#include "plugin/rates/Status.h"
#include "plugin/rates/SwitchRecords.h"
#include "plugin/rates/Switching.h"
#include "plugin/rates/WeekendState.h"

namespace qv {

namespace {

constexpr ByteColor ToggleUnavailableColor{255, 191, 0, 255};

} // namespace

void ToggleChatCommand(AShooterPlayerController* player, FString*, EChatSendMode::Type)
{
    if (!Game::IsAdministrator(player, Game::PlayerStateCheck::NotChecked)) return;
    // The administrator is told why nothing happens; the window's name may hold braces.
    if (Weekend.ScheduledWeekendActive()) {
        TellPlayer(player, ToMessageColor(ToggleUnavailableColor), EscapeBraces(ToggleUnavailable(Clock::Now())));
        return;
    }

    if (Weekend.ManualWeekendActive()) {
        SwitchToNormal();
        LogInfo(RecordText({SwitchEvent::BackByHand}));
    } else if (SwitchToWeekend(Owner::Administrator)) {
        LogInfo(RecordText({SwitchEvent::OnByHand}));
    }
}

} // namespace qv
