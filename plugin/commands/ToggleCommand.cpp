// The toggle keeps out of a weekend the schedule switched on, and tells the administrator so; the
// owner it records always matches what the game mode holds.
#include "plugin/commands/ToggleCommand.h"

#include "plugin/host/Clock.h"
#include "plugin/host/Game.h"
#include "plugin/rates/Decisions.h"
#include "plugin/rates/Executor.h"

namespace qv {

void Toggle(const Asker& asker)
{
    Perform(DecideToggle(State.Settings, State.Boost, State.Schedule, Clock::Now()), asker);
}

void ToggleChatCommand(AShooterPlayerController* player, FString*, EChatSendMode::Type)
{
    if (!Game::IsAdministrator(player, Game::PlayerStateCheck::NotChecked)) return;
    Toggle(player);
}

} // namespace qv
