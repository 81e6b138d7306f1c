// The two switches: snapshot and weekend values in, snapshot back out; each with the message
// of the day and the announcements the settings ask for.
#include "plugin/rates/Switching.h"

#include <string>

#include "plugin/config/LoadConfig.h"
#include "plugin/config/PluginSettings.h"
#include "plugin/host/Game.h"
#include "plugin/log/PluginLog.h"
#include "plugin/messaging/Messaging.h"
#include "plugin/rates/WeekendState.h"

namespace {

constexpr float kNotificationScale = 1.2f;
constexpr float kNotificationSeconds = 8.0f;

void Announce(const MessageColor& color, FString Settings::*message)
{
    const std::wstring text = (PluginSettings.*message).ToWide();
    if (PluginSettings.Notification && !BroadcastNotification(color, kNotificationScale, kNotificationSeconds, text)) {
        LogWarning(std::string(KeyOf(message)) +
                   " is not a valid message pattern (a single brace or a replacement field); sent as written");
    }
    if (PluginSettings.Chatbox) BroadcastChat(color, text);
}

void WriteSnapshotBack(AShooterGameMode* gameMode)
{
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        Game::WriteMultiplier(gameMode, WeekendMultiplierTable[row].Key, Weekend.SavedMultipliers[row]);
    }
}

} // namespace

bool SwitchToWeekend()
{
    AShooterGameMode* gameMode = Game::CurrentGameMode();
    if (gameMode == nullptr) {
        LogWarning("Weekend rates not switched on: the server has no game mode");
        return false;
    }

    // Without this, the reason would read as a fault of a file the server never loaded.
    if (ConfigDocument.is_null()) {
        LogError("Weekend rates not switched on, nothing changed: no config has been loaded from " + ConfigPath());
        return false;
    }

    // Every value is read before anything is written, so a bad one cannot leave half a switch.
    ConfigProblems problems;
    const std::optional<MultiplierValues> weekend = ReadWeekendValues(ConfigDocument, problems);
    if (!weekend) {
        Locate(problems, ConfigDocumentPlaces);
        LogError("Weekend rates not switched on, nothing changed: " + DescribeAll(ConfigPath(), problems));
        return false;
    }

    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        const char* field = WeekendMultiplierTable[row].Key;
        if (!Weekend.WeekendValuesInForce) Weekend.SavedMultipliers[row] = Game::ReadMultiplier(gameMode, field);
        if ((*weekend)[row] != 0.0f) Game::WriteMultiplier(gameMode, field, (*weekend)[row]);
    }
    Weekend.WeekendValuesInForce = true;

    if (PluginSettings.MOTDChangeEnabled) Game::SetMessageOfTheDay(gameMode, PluginSettings.WeekendMOTD);
    Announce(PluginSettings.EnabledColor, &Settings::EnabledMessage);
    return true;
}

bool SwitchToNormal()
{
    AShooterGameMode* gameMode = Game::CurrentGameMode();
    if (gameMode == nullptr) {
        LogWarning("Normal rates not switched back: the server has no game mode");
        return false;
    }
    // Without a snapshot there is nothing true to write back; zeros would wreck the rates.
    if (!Weekend.WeekendValuesInForce) {
        LogWarning("Switch back to normal rates skipped: no weekend rates are in force");
        return false;
    }

    WriteSnapshotBack(gameMode);
    Weekend.WeekendValuesInForce = false;

    if (PluginSettings.MOTDChangeEnabled) Game::SetMessageOfTheDay(gameMode, PluginSettings.NormalMOTD);
    Announce(PluginSettings.DisabledColor, &Settings::DisabledMessage);
    return true;
}

bool SwitchWithFlag(bool& flag, bool weekend)
{
    const bool before = flag;
    flag = weekend;
    const bool switched = weekend ? SwitchToWeekend() : SwitchToNormal();
    if (!switched) flag = before;
    return switched;
}

void RestoreNormalOnUnload()
{
    if (!Weekend.WeekendValuesInForce) return;
    AShooterGameMode* gameMode = Game::CurrentGameMode();
    if (gameMode == nullptr) {
        LogWarning("Weekend rates left as they are at unload: the server has no game mode to restore them into");
        return;
    }

    WriteSnapshotBack(gameMode);
    Weekend.WeekendValuesInForce = false;
    if (PluginSettings.MOTDChangeEnabled) Game::SetMessageOfTheDay(gameMode, PluginSettings.NormalMOTD);
    LogInfo("Normal rates restored on unload");
}
