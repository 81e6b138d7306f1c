// The two switches: snapshot and weekend values in, snapshot back out; each with the message
// of the day and the announcements the settings ask for.
#include "plugin/rates/Switching.h"

#include <string>

#include "plugin/config/LoadConfig.h"
#include "plugin/config/PluginSettings.h"
#include "plugin/host/Game.h"
#include "plugin/lifecycle/PluginLog.h"
#include "plugin/messaging/Messaging.h"

MultiplierValues SavedMultipliers{};
bool WeekendValuesInForce = false;

namespace {

constexpr float kNotificationScale = 1.2f;
constexpr float kNotificationSeconds = 8.0f;

void Announce(const MessageColor& color, const FString& message, const char* messageKey)
{
    const std::wstring text = message.ToWide();
    if (PluginSettings.Notification &&
        !BroadcastNotification(color, kNotificationScale, kNotificationSeconds, nullptr, text)) {
        LogWarning(std::string(messageKey) +
                   " is not a valid message pattern (a single brace or a replacement field); sent as written");
    }
    if (PluginSettings.Chatbox) BroadcastChat(color.R, color.G, color.B, color.A, text);
}

void WriteSnapshotBack(AShooterGameMode* gameMode)
{
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        Game::WriteMultiplier(gameMode, WeekendMultiplierTable[row].Key, SavedMultipliers[row]);
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
    ConfigErrors errors;
    const std::optional<MultiplierValues> weekend = ReadWeekendValues(ConfigDocument, errors);
    if (!weekend) {
        LogError("Weekend rates not switched on, nothing changed: " + JoinErrors(errors));
        return false;
    }

    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        const char* field = WeekendMultiplierTable[row].Key;
        if (!WeekendValuesInForce) SavedMultipliers[row] = Game::ReadMultiplier(gameMode, field);
        if ((*weekend)[row] != 0.0f) Game::WriteMultiplier(gameMode, field, (*weekend)[row]);
    }
    WeekendValuesInForce = true;

    if (PluginSettings.MOTDChangeEnabled) Game::SetMessageOfTheDay(gameMode, PluginSettings.WeekendMOTD);
    Announce(PluginSettings.EnabledColor, PluginSettings.EnabledMessage, "QuorvandelleEnabledMessage");
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
    if (!WeekendValuesInForce) {
        LogWarning("Switch back to normal rates skipped: no weekend rates are in force");
        return false;
    }

    WriteSnapshotBack(gameMode);
    WeekendValuesInForce = false;

    if (PluginSettings.MOTDChangeEnabled) Game::SetMessageOfTheDay(gameMode, PluginSettings.NormalMOTD);
    Announce(PluginSettings.DisabledColor, PluginSettings.DisabledMessage, "QuorvandelleDisabledMessage");
    return true;
}

void RestoreNormalOnUnload()
{
    if (!WeekendValuesInForce) return;
    AShooterGameMode* gameMode = Game::CurrentGameMode();
    if (gameMode == nullptr) {
        LogWarning("Weekend rates left as they are at unload: the server has no game mode to restore them into");
        return;
    }

    WriteSnapshotBack(gameMode);
    WeekendValuesInForce = false;
    if (PluginSettings.MOTDChangeEnabled) Game::SetMessageOfTheDay(gameMode, PluginSettings.NormalMOTD);
    LogInfo("Normal rates restored on unload");
}
