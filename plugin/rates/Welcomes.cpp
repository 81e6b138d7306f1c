// The welcome is decided when it falls due, not when the player joins: by then the player may have
// left, or the rates may have ended, and the time left is told as it is then.
#include "plugin/rates/Welcomes.h"

#include <algorithm>
#include <limits>
#include <string>

#include "plugin/config/JoinMessages.h"
#include "plugin/config/Windows.h"
#include "plugin/host/Clock.h"
#include "plugin/host/Framework.h"
#include "plugin/host/Game.h"
#include "plugin/messaging/Messaging.h"
#include "plugin/messaging/Patterns.h"
#include "plugin/rates/Executor.h"
#include "plugin/schedule/LocalClock.h"

namespace qv {

namespace {

// How long the rates in force last from now.
struct RatesLeft {
    // The clock has left the window whose rates are in force: the next evaluation ends them.
    bool Over = false;
    // Real minutes, rounded up; none when the plug-in knows no end (an administrator's weekend, a
    // window that never closes).
    std::optional<std::int32_t> Minutes;
};

RatesLeft LeftOf(const Config& config, const BoostState& boost, const ScheduleMemory& memory, Instant now)
{
    if (boost.Manual()) return {};
    const LocalClock clock = ClockOf(config);
    const std::optional<WallTime> local = clock.WallAt(now);
    if (!local) return {true, std::nullopt};
    // The time the schedule decides by, so that the hour the clocks repeat is not lived twice here either.
    const WallTime wall = DecisionTime(config, memory, now, *local);
    const Window* byClock = WindowInForceAt(config, wall);
    if (byClock == nullptr || byClock->Id != boost.InForce) return {true, std::nullopt};
    const std::optional<WindowChange> change = NextChange(config, wall);
    if (!change) return {};
    const Seconds left = clock.FirstInstantShowing(change->At, now) - now;
    const std::int64_t minutes = std::chrono::ceil<Minutes>(left).count();
    return {false,
            static_cast<std::int32_t>(std::clamp<std::int64_t>(minutes, 1, std::numeric_limits<std::int32_t>::max()))};
}

bool Contains(const std::vector<const AShooterPlayerController*>& players, const AShooterPlayerController* player)
{
    return std::find(players.begin(), players.end(), player) != players.end();
}

std::vector<const AShooterPlayerController*> ConnectedPlayers()
{
    std::vector<const AShooterPlayerController*> connected;
    if (UWorld* world = Game::CurrentWorld()) {
        Game::ForEachLivePlayer(world, [&](AShooterPlayerController* player) { connected.push_back(player); });
    }
    return connected;
}

} // namespace

void NoteJoin(PendingWelcomes& pending, const BoostState& boost, AShooterPlayerController* player, Instant due)
{
    if (player == nullptr || !boost.Active()) return;
    if (pending.Window != boost.InForce) {
        pending.Waiting.clear();
        pending.NextDue = Instant::max();
        pending.Window = boost.InForce;
    }
    pending.Waiting.push_back({player, due});
    pending.NextDue = std::min(pending.NextDue, due);
}

void WelcomeLater(AShooterPlayerController* player)
{
    // Nothing to wait for, and no clock to read, while the normal rates are in force.
    if (!State.Boost.Active()) return;
    NoteJoin(State.Welcomes, State.Boost, player, Clock::Now() + State.Settings.JoinMessageDelay);
    State.WakeAt = std::min(State.WakeAt, State.Welcomes.NextDue);
}

ActionList DecideWelcomes(const Config& config, const BoostState& boost, const ScheduleMemory& memory,
                          const PendingWelcomes& pending, Instant now,
                          const std::vector<const AShooterPlayerController*>& connected)
{
    ActionList actions;
    if (!boost.Active() || boost.InForce != pending.Window) return actions;
    const Window* window = FindWindow(config, pending.Window);
    if (window == nullptr || JoinMessageOf(config, *window).IsEmpty()) return actions;
    std::optional<RatesLeft> left;
    const auto& waiting = pending.Waiting;
    for (auto entry = waiting.begin(); entry != waiting.end(); ++entry) {
        if (entry->Due > now || !Contains(connected, entry->Player)) continue;
        const auto later = [&](const PendingWelcome& other) { return other.Player == entry->Player; };
        if (std::any_of(entry + 1, waiting.end(), later)) continue;
        if (!left) left = LeftOf(config, boost, memory, now);
        if (left->Over) return {};
        actions.push_back(action::Welcome{entry->Player, pending.Window, left->Minutes});
    }
    return actions;
}

void SettleWelcomes(PendingWelcomes& pending, Instant now)
{
    auto& waiting = pending.Waiting;
    waiting.erase(
        std::remove_if(waiting.begin(), waiting.end(), [&](const PendingWelcome& entry) { return entry.Due <= now; }),
        waiting.end());
    pending.NextDue = Instant::max();
    for (const PendingWelcome& entry : waiting) pending.NextDue = std::min(pending.NextDue, entry.Due);
}

void SendDueWelcomes(Instant now)
{
    const ActionList welcomes =
        DecideWelcomes(State.Settings, State.Boost, State.Schedule, State.Welcomes, now, ConnectedPlayers());
    // Taken out before they are sent: should a send fail, nobody is told twice.
    SettleWelcomes(State.Welcomes, now);
    RefreshWakeAt(State);
    Perform(welcomes);
}

void SendWelcome(const Config& config, const Window& window, AShooterPlayerController* player,
                 std::optional<std::int32_t> minutesLeft)
{
    const std::wstring pattern = JoinMessageOf(config, window).ToWide();
    const std::wstring name = Framework::Utf8Decode(std::string(window.Id.DisplayName()));
    // The decoding made sure that it formats, to 1 to kLongestWelcome characters.
    const std::wstring text = FormatWelcome(pattern, name, WelcomeTimeLeft(minutesLeft)).value_or(pattern);
    const MessageColor color = LookOf(config, window).EnabledColor;
    if (config.Notification) NotifyPlayer(player, color, text);
    if (config.Chatbox) ChatToPlayer(player, config.ServerName, color, text);
}

} // namespace qv
