// The status is told from what the game holds (the weekend state), with the times from the windows.
#include "plugin/rates/Status.h"

#include <fmt/format.h>

#include "plugin/config/PluginSettings.h"
#include "plugin/host/Framework.h"
#include "plugin/rates/WeekendState.h"
#include "plugin/rates/Windows.h"

namespace {

// " (XPMultiplier 2, TamingSpeedMultiplier 3)": the values the window writes that are not 1.
std::string RatesOf(int window)
{
    ConfigProblems ignored;
    const auto values = ReadWindowValues(ConfigDocument, window, ignored);
    if (!values) return {};
    std::string listed;
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        const float value = (*values)[row];
        if (value == 0.0f || value == 1.0f) continue;
        listed += fmt::format("{}{} {:g}", listed.empty() ? "" : ", ", WeekendMultiplierTable[row].Key, value);
    }
    return listed.empty() ? listed : " (" + listed + ")";
}

std::string Until(const std::optional<WindowChange>& change)
{
    return change ? " until " + FormatWallTime(change->At) : std::string();
}

} // namespace

std::wstring RatesStatus(const LocalTime& now)
{
    const Settings& settings = PluginSettings;
    const WallSeconds wall = ToWallSeconds(now);
    const std::optional<int> byClock = WindowInForce(settings, now);
    const std::optional<WindowChange> change = NextChange(settings, wall);
    std::string text;
    if (Weekend.WeekendValuesInForce) {
        const int window = FindWindow(settings, Weekend.WindowName).value_or(kWeeklyWindow);
        text = DisplayName(settings, window) + " rates are on";
        if (Weekend.ManualWeekendActive) {
            text += ", switched on by an administrator";
        } else if (byClock == window) {
            text += Until(change);
        } else {
            text += " until the next check of the schedule";
        }
        text += RatesOf(window);
    } else if (byClock) {
        text = "Normal rates are on; " + DisplayName(settings, *byClock) +
               " rates start at the next check of the schedule" + RatesOf(*byClock);
    } else if (change && change->Window) {
        text = "Normal rates are on. Next: " + DisplayName(settings, *change->Window) + " rates from " +
               FormatWallTime(change->At) + Until(NextChange(settings, change->At)) + RatesOf(*change->Window);
    } else {
        text = "Normal rates are on; no boosted rates are scheduled";
    }
    return Framework::Utf8Decode(text + ".");
}
