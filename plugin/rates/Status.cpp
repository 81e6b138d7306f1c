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
// own) or 1, as many as fit in a reply, and the count of the others.
std::string WithRates(std::string head, const MultiplierValues& values)
{
    std::vector<std::string> listed;
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        const float value = values[row];
        if (value == 0.0f || value == 1.0f) continue;
        listed.push_back(fmt::format("{} {:g}", WeekendMultiplierTable[row].Key, value));
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
        } else if (byClock != nullptr && byClock->Id == Weekend.InForce) {
            head += Until(change);
        } else {
            head += " until the next check of the schedule";
        }
        text = WithRates(head, Weekend.Written);
    } else if (byClock != nullptr) {
        text = WithRates("Normal rates are on; " + Named(*byClock) + " rates start at the next check of the schedule",
                         byClock->Rates.Readable() ? byClock->Rates.Values : MultiplierValues{});
    } else if (change && change->InForce != nullptr) {
        const Window& next = *change->InForce;
        text = WithRates("Normal rates are on. Next: " + Named(next) + " rates from " + FormatWallTime(change->At) +
                             Until(NextChange(config, change->At)),
                         next.Rates.Readable() ? next.Rates.Values : MultiplierValues{});
    } else {
        text = "Normal rates are on; no boosted rates are scheduled.";
    }
    return Framework::Utf8Decode(text);
}

} // namespace qv
