// The status is told from what the game holds (the weekend state), with the times from the windows.
#include "plugin/rates/Status.h"

#include <fmt/format.h>

#include "plugin/config/Config.h"
#include "plugin/config/Windows.h"
#include "plugin/host/Framework.h"
#include "plugin/rates/Switching.h"
#include "plugin/rates/WeekendState.h"

namespace qv {

namespace {

// head, then " (XPMultiplier 2, TamingSpeedMultiplier 3)": the values that are not 0 (the game's
// own) or 1, as many as fit in a reply, and the count of the others. A relative row's value is a
// factor of the normal one: "XPMultiplier x2".
std::string WithRates(std::string head, const MultiplierValues& values, const MultiplierRows& relative = {})
{
    std::vector<std::string> listed;
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        const float value = values[row];
        if (value == 0.0f || value == 1.0f) continue;
        listed.push_back(
            fmt::format("{} {}{:g}", WeekendMultiplierTable[row].Key, relative.test(row) ? "x" : "", value));
    }
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

std::string Until(const std::optional<WindowChange>& change)
{
    return change ? " until " + FormatWallTime(change->At) : std::string();
}

std::string Named(const Window& window) { return std::string(window.Id.DisplayName()); }

// How long the window the schedule put in force lasts: " until <time>", nothing when it never
// ends, or " until the next check of the schedule" when its time is up already.
// byClock is the window the clock has in force, change the next change of it.
std::string ScheduledUntil(const Window* byClock, const std::optional<WindowChange>& change)
{
    if (byClock == nullptr || byClock->Id != Weekend.InForce) return " until the next check of the schedule";
    return Until(change);
}

} // namespace

std::wstring RatesStatus(const LocalTime& now)
{
    const Config& config = ConfigInForce;
    const WallSeconds wall = ToWallSeconds(now);
    const Window* byClock = WindowInForce(config, now);
    const std::optional<WindowChange> change = NextChange(config, wall);
    std::string text;
    if (Weekend.BoostedValuesInForce() && GameModeReplaced()) {
        const std::string name(Weekend.InForce.DisplayName());
        text = "Normal rates are on: the game mode that held the " + name +
               " rates was replaced, and the new one holds the server's normal values; " + name +
               " rates come back at the next check of the schedule.";
    } else if (Weekend.BoostedValuesInForce()) {
        std::string head = std::string(Weekend.InForce.DisplayName()) + " rates are on";
        if (Weekend.ManualWeekendActive()) {
            head += ", switched on by an administrator";
        } else {
            head += ScheduledUntil(byClock, change);
        }
        text = WithRates(head, Weekend.Written);
    } else if (byClock != nullptr) {
        text =
            WithRates("Normal rates are on; " + Named(*byClock) + " rates start at the next check of the schedule",
                      byClock->Rates.Readable() ? byClock->Rates.Values : MultiplierValues{}, byClock->Rates.Relative);
    } else if (change && change->InForce != nullptr) {
        const Window& next = *change->InForce;
        text = WithRates("Normal rates are on. Next: " + Named(next) + " rates from " + FormatWallTime(change->At) +
                             Until(NextChange(config, change->At)),
                         next.Rates.Readable() ? next.Rates.Values : MultiplierValues{}, next.Rates.Relative);
    } else {
        text = "Normal rates are on; no boosted rates are scheduled.";
    }
    return Framework::Utf8Decode(text);
}

std::wstring ToggleUnavailable(const LocalTime& now)
{
    const Config& config = ConfigInForce;
    const std::string until = ScheduledUntil(WindowInForce(config, now), NextChange(config, ToWallSeconds(now)));
    return Framework::Utf8Decode(std::string(Weekend.InForce.DisplayName()) + " rates are scheduled" + until +
                                 "; the toggle is not available now.");
}

} // namespace qv
