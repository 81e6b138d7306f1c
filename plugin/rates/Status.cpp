// The status is told from what the game holds (the weekend state), with the times from the windows.
#include "plugin/rates/Status.h"

#include <fmt/format.h>

#include <stdexcept>

#include "plugin/config/Config.h"
#include "plugin/config/Windows.h"
#include "plugin/host/Framework.h"
#include "plugin/host/Game.h"
#include "plugin/rates/Decisions.h"
#include "plugin/rates/Switching.h"
#include "plugin/schedule/LocalClock.h"
#include "util/PlainNumber.h"

namespace qv {

namespace {

std::string RateText(float value, std::size_t row)
{
    return util::PlainNumber(value) + "x " + WeekendMultiplierTable[row].Label;
}

// The rates in force that differ from the normal values they replaced. A rate of the window in force
// that multiplies the normal value is told as that factor, as its announcement tells it; the others
// as the value written.
std::vector<std::string> ChangedInForce(const Config& config, const BoostState& boost)
{
    const Window* window = FindWindow(config, boost.InForce);
    std::vector<std::string> listed;
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        const float value = boost.Written[row];
        if (value == 0.0f || value == boost.Saved[row]) continue;
        const bool relative = window != nullptr && window->Rates.Relative.test(row) && boost.Saved[row] != 0.0f;
        listed.push_back(RateText(relative ? value / boost.Saved[row] : value, row));
    }
    return listed;
}

// The rates a window would change, against the values the game holds now (the normal ones), a
// relative one as its factor; without a game mode, every rate it sets.
std::vector<std::string> ChangedBy(const WindowRates& rates)
{
    AShooterGameMode* gameMode = Game::CurrentGameMode();
    std::vector<std::string> listed;
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        if (rates.Values[row] == 0.0f) continue;
        if (gameMode != nullptr) {
            const float normal = Game::ReadMultiplier(gameMode, WeekendMultiplierTable[row].Key);
            if (WrittenValue(rates, row, normal) == normal) continue;
        }
        listed.push_back(RateText(rates.Values[row], row));
    }
    return listed;
}

// head, then " (2x XP, 1.5x taming)." with as many as fit in a reply and the count of the others.
std::string WithRates(std::string head, const std::vector<std::string>& listed)
{
    if (listed.empty()) return head + ".";
    // Room for ", and 16 more)." at the end.
    constexpr std::size_t kTailRoom = 16;
    std::string text = head + " (";
    for (std::size_t i = 0; i < listed.size(); ++i) {
        const std::string next = (i == 0 ? "" : ", ") + listed[i];
        const bool last = i + 1 == listed.size();
        if (text.size() + next.size() + (last ? 2 : kTailRoom) > kReplyLength) {
            return text + (i == 0 ? "" : ", ") + "and " + std::to_string(listed.size() - i) + " more).";
        }
        text += next;
    }
    return text + ").";
}

// A wall-clock time, with the config's zone when it names one.
std::string When(const Config& config, WallTime wall)
{
    return config.Zone ? FormatWallTime(wall) + " " + config.Zone->Name : FormatWallTime(wall);
}

std::string Until(const Config& config, const std::optional<WindowChange>& change)
{
    return change ? " until " + When(config, change->At) : std::string();
}

std::string Named(const Window& window) { return std::string(window.Id.DisplayName()); }

// The next change that brings a window that can switch on; one that cannot leaves the rates as they
// are, so it is no promise. A few steps: windows that cannot switch on are few.
std::optional<WindowChange> NextBoost(const Config& config, WallTime wall)
{
    constexpr int kMostSteps = 64;
    WallTime from = wall;
    for (int step = 0; step < kMostSteps; ++step) {
        const std::optional<WindowChange> change = NextChange(config, from);
        if (!change || (change->InForce != nullptr && change->InForce->Rates.Readable())) return change;
        from = change->At;
    }
    return std::nullopt;
}

// How long the window the schedule put in force lasts: " until <time>", nothing when it never
// ends, or " until the next check of the schedule" when its time is up already.
// byClock is the window the clock has in force at wall.
std::string ScheduledUntil(const Config& config, const BoostState& boost, const Window* byClock, WallTime wall)
{
    if (byClock == nullptr || byClock->Id != boost.InForce) return " until the next check of the schedule";
    return Until(config, NextChange(config, wall));
}

// The wall-clock time the schedule decides by at instant.
WallTime DecisionWall(const Config& config, const ScheduleMemory& memory, Instant instant)
{
    const std::optional<WallTime> wall = ClockOf(config).WallAt(instant);
    if (!wall) throw std::runtime_error("the clock's time has no local date");
    return DecisionTime(config, memory, instant, *wall);
}

} // namespace

std::wstring RatesStatus(const PluginState& state, Instant instant)
{
    const Config& config = state.Settings;
    const BoostState& boost = state.Boost;
    // Told by the time the schedule decides by, so that the hour the clocks repeat promises nothing
    // the schedule will not do.
    const WallTime wall = DecisionWall(config, state.Schedule, instant);
    const Window* byClock = WindowInForceAt(config, wall);
    std::string text;
    if (boost.Active() && GameModeReplaced()) {
        const std::string name(boost.InForce.DisplayName());
        text = "Normal rates are on: the game mode that held the " + name +
               " rates was replaced, and the new one holds the server's normal values; " + name +
               " rates come back at the next check of the schedule.";
    } else if (boost.Active()) {
        std::string head = std::string(boost.InForce.DisplayName()) + " rates are on";
        if (boost.Manual()) {
            head += ", switched on by an administrator";
        } else {
            head += ScheduledUntil(config, boost, byClock, wall);
        }
        text = WithRates(head, ChangedInForce(config, boost));
    } else if (byClock != nullptr && byClock->Rates.Readable()) {
        text = WithRates("Normal rates are on; " + Named(*byClock) + " rates start at the next check of the schedule",
                         ChangedBy(byClock->Rates));
    } else if (const std::optional<WindowChange> next = NextBoost(config, wall)) {
        const Window& window = *next->InForce;
        text = WithRates("Normal rates are on. Next: " + Named(window) + " rates from " + When(config, next->At) +
                             Until(config, NextChange(config, next->At)),
                         ChangedBy(window.Rates));
    } else {
        text = "Normal rates are on; no boosted rates are scheduled.";
    }
    return Framework::Utf8Decode(text);
}

std::wstring ToggleUnavailable(const Config& config, const BoostState& boost, const ScheduleMemory& memory,
                               Instant instant)
{
    const WallTime wall = DecisionWall(config, memory, instant);
    const std::string until = ScheduledUntil(config, boost, WindowInForceAt(config, wall), wall);
    return Framework::Utf8Decode(std::string(boost.InForce.DisplayName()) + " rates are scheduled" + until +
                                 "; the toggle is not available now.");
}

} // namespace qv
