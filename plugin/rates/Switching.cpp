// The switches: snapshot and a window's values in, snapshot back out; each with the message of the
// day and the announcements the settings ask for.
#include "plugin/rates/Switching.h"

#include <string>

#include "plugin/config/LoadConfig.h"
#include "plugin/config/PluginSettings.h"
#include "plugin/host/Game.h"
#include "plugin/log/PluginLog.h"
#include "plugin/messaging/Messaging.h"
#include "plugin/rates/WeekendState.h"
#include "plugin/rates/Windows.h"

namespace {

constexpr float kNotificationScale = 1.2f;
constexpr float kNotificationSeconds = 8.0f;

void Announce(const MessageColor& color, const FString& message, const std::string& messageKey)
{
    const std::wstring text = message.ToWide();
    if (PluginSettings.Notification && !BroadcastNotification(color, kNotificationScale, kNotificationSeconds, text)) {
        LogWarning(messageKey +
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

// The game mode, and the window's values, all of them read before anything is written, so a bad
// one cannot leave half a switch. Nothing when either is missing (logged).
std::optional<MultiplierValues> ValuesToSwitchTo(int window, AShooterGameMode*& gameMode)
{
    gameMode = Game::CurrentGameMode();
    if (gameMode == nullptr) {
        LogWarning("Weekend rates not switched on: the server has no game mode");
        return std::nullopt;
    }
    // Without this, the reason would read as a fault of a file the server never loaded.
    if (ConfigDocument.is_null()) {
        LogError("Weekend rates not switched on, nothing changed: no config has been loaded from " + ConfigPath());
        return std::nullopt;
    }
    ConfigProblems problems;
    const std::optional<MultiplierValues> values = ReadWindowValues(ConfigDocument, window, problems);
    if (!values) {
        Locate(problems, ConfigDocumentPlaces);
        const std::string which =
            window == kWeeklyWindow ? "Weekend rates" : DisplayName(PluginSettings, window) + " rates";
        LogError(which + " not switched on, nothing changed: " + DescribeAll(ConfigPath(), problems));
    }
    return values;
}

enum class Announcement { Made, Withheld };

void ShowWindow(AShooterGameMode* gameMode, int window, Announcement announcement)
{
    const WindowLook look = LookOf(PluginSettings, window);
    Weekend.WindowName = WindowName(PluginSettings, window);
    if (PluginSettings.MOTDChangeEnabled) Game::SetMessageOfTheDay(gameMode, *look.WeekendMOTD);
    if (announcement == Announcement::Made) Announce(look.EnabledColor, *look.EnabledMessage, look.EnabledMessageKey);
}

// A snapshot of the game mode's values while the normal ones are in force, then the window's values.
void WriteFromNormal(AShooterGameMode* gameMode, const MultiplierValues& values)
{
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        const char* field = WeekendMultiplierTable[row].Key;
        if (!Weekend.WeekendValuesInForce) Weekend.SavedMultipliers[row] = Game::ReadMultiplier(gameMode, field);
        if (values[row] != 0.0f) Game::WriteMultiplier(gameMode, field, values[row]);
    }
    Weekend.WeekendValuesInForce = true;
    Weekend.SwitchedGameMode = gameMode;
}

// The snapshot belongs to a game mode that is gone; the one in force holds the server's normal values.
void ForgetReplacedGameMode()
{
    if (!GameModeReplaced()) return;
    Weekend.WeekendValuesInForce = false;
    LogInfo("The game mode was replaced while weekend rates were in force; the new one holds the server's normal "
            "values, and the saved ones of the old one are dropped");
}

// From the normal values (or a replaced game mode's, which are the new game mode's own) into a window.
bool SwitchFromNormal(int window, Announcement announcement)
{
    AShooterGameMode* gameMode = nullptr;
    const std::optional<MultiplierValues> values = ValuesToSwitchTo(window, gameMode);
    if (!values) return false;
    ForgetReplacedGameMode();
    WriteFromNormal(gameMode, *values);
    ShowWindow(gameMode, window, announcement);
    return true;
}

} // namespace

bool GameModeReplaced() { return Weekend.WeekendValuesInForce && Game::CurrentGameMode() != Weekend.SwitchedGameMode; }

bool SwitchToWeekend() { return SwitchToWindow(kWeeklyWindow); }

bool SwitchToWindow(int window) { return SwitchFromNormal(window, Announcement::Made); }

bool PutIntoNewGameMode(int window) { return SwitchFromNormal(window, Announcement::Withheld); }

bool MoveToWindow(int window)
{
    if (GameModeReplaced()) return SwitchToWindow(window);
    AShooterGameMode* gameMode = nullptr;
    const std::optional<MultiplierValues> values = ValuesToSwitchTo(window, gameMode);
    if (!values) return false;

    // A 0 leaves the game's own value: the normal one, which the snapshot holds.
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        const float value = (*values)[row] != 0.0f ? (*values)[row] : Weekend.SavedMultipliers[row];
        Game::WriteMultiplier(gameMode, WeekendMultiplierTable[row].Key, value);
    }
    ShowWindow(gameMode, window, Announcement::Made);
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

    // A replaced game mode holds the normal values already; the weekend's end is still told.
    if (GameModeReplaced()) {
        ForgetReplacedGameMode();
    } else {
        WriteSnapshotBack(gameMode);
        Weekend.WeekendValuesInForce = false;
    }

    if (PluginSettings.MOTDChangeEnabled) Game::SetMessageOfTheDay(gameMode, PluginSettings.NormalMOTD);
    // A reload may have taken the window away; then its announcement is the main section's.
    const WindowLook look =
        LookOf(PluginSettings, FindWindow(PluginSettings, Weekend.WindowName).value_or(kWeeklyWindow));
    Announce(look.DisabledColor, *look.DisabledMessage, look.DisabledMessageKey);
    Weekend.WindowName.clear();
    return true;
}

bool SwitchWithFlag(bool& flag, bool weekend, int window)
{
    const bool before = flag;
    flag = weekend;
    const bool switched = weekend ? SwitchToWindow(window) : SwitchToNormal();
    if (!switched) flag = before;
    return switched;
}

void RestoreNormalOnUnload()
{
    if (!Weekend.WeekendValuesInForce) return;
    AShooterGameMode* gameMode = Game::CurrentGameMode();
    // The saved values die with the library; that loses nothing, since a game mode the host builds
    // later starts from the server's normal values.
    if (gameMode == nullptr) {
        LogInfo("No game mode at unload: the weekend values went with the game mode, and the one the server "
                "builds next starts from its normal values");
        return;
    }
    if (GameModeReplaced()) {
        ForgetReplacedGameMode();
        return;
    }

    WriteSnapshotBack(gameMode);
    Weekend.WeekendValuesInForce = false;
    if (PluginSettings.MOTDChangeEnabled) Game::SetMessageOfTheDay(gameMode, PluginSettings.NormalMOTD);
    LogInfo("Normal rates restored on unload");
}
