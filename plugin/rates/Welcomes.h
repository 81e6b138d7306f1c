// Welcoming players who join while boosted rates are in force: noting them as they join, deciding at
// a timer call whom to tell what, and telling them.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "plugin/config/Config.h"
#include "plugin/rates/Decisions.h"
#include "plugin/rates/PluginState.h"

namespace qv {

// A join, as the new-player hook reports it: a player who joins while boosted rates are in force
// waits for a welcome at due. Those who joined into other rates are forgotten: those rates ended.
// No allocation once the list has room, and none for a player who joins normal rates: it runs on
// the game thread, inside the game's handling of the player.
void NoteJoin(PendingWelcomes& pending, const BoostState& boost, AShooterPlayerController* player, Instant due);

// The new-player hook's callback: NoteJoin on State, due JoinMessageDelay from the clock's now.
void WelcomeLater(AShooterPlayerController* player);

// The welcomes due by now: one for each pending player who is still connected (among connected),
// while the window they joined into is in force and has a JoinMessage, and while the clock has not
// left it yet. Every other welcome due is dropped. A later join of the same controller supersedes
// an earlier one, whose player left: the game can give a new player the object of one who left.
ActionList DecideWelcomes(const Config& config, const BoostState& boost, const ScheduleMemory& memory,
                          const PendingWelcomes& pending, Instant now,
                          const std::vector<const AShooterPlayerController*>& connected);

// Takes every welcome due by now out of pending (each is decided once) and sets NextDue to the
// earliest of those left.
void SettleWelcomes(PendingWelcomes& pending, Instant now);

// A timer call's part: the welcomes due by now decided, taken out of State and sent.
void SendDueWelcomes(Instant now);

// Tells player the window's JoinMessage in its switch-on colour, through the channels the config
// names.
void SendWelcome(const Config& config, const Window& window, AShooterPlayerController* player,
                 std::optional<std::int32_t> minutesLeft);

} // namespace qv
