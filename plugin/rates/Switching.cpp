// The switches: snapshot and a window's values in, snapshot back out. Every value a switch writes
// was decoded with the config; nothing here reads the file.
#include "plugin/rates/Switching.h"

#include <string>

#include <fmt/format.h>

#include "plugin/config/Config.h"
#include "plugin/config/LoadConfig.h"
#include "plugin/config/Windows.h"
#include "plugin/host/Game.h"
#include "plugin/log/PluginLog.h"
#include "plugin/messaging/Messaging.h"
#include "plugin/rates/PluginState.h"
#include "plugin/rates/SwitchRecords.h"

namespace qv {

namespace {

void Announce(const MessageColor& color, const FString& message, const std::string& messageKey)
{
    const Config& config = State.Settings;
    const std::wstring text = message.ToWide();
    if (config.Notification && !BroadcastNotification(color, kNotificationScale, kNotificationSeconds, text)) {
        LogWarning(messageKey +
                   " is not a valid message pattern (a single brace or a replacement field); sent as written");
    }
    if (config.Chatbox) BroadcastChat(config.ServerName, color, text);
}

// The value a switch writes into a row, or 0 (the game's own) for a relative one whose product the
// game's 32-bit rate cannot hold, which is logged.
float ValueToWrite(const Window& window, std::size_t row, float normal)
{
    if (Overflows(window.Rates, row, normal)) {
        LogWarning(fmt::format("{}: {:g} times the server's normal {:g} is beyond the game's 32-bit rates; the game's "
                               "own value is kept",
                               WeekendMultiplierTable[row].Key, window.Rates.Values[row], normal));
    }
    return WrittenValue(window.Rates, row, normal);
}

void WriteSnapshotBack(AShooterGameMode* gameMode)
{
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        Game::WriteMultiplier(gameMode, WeekendMultiplierTable[row].Key, State.Boost.Saved[row]);
    }
}

// The game mode, when there is one and the window's values can all be read; nothing otherwise
// (logged), and then nothing was written.
AShooterGameMode* GameModeToSwitch(const Window& window)
{
    AShooterGameMode* gameMode = Game::CurrentGameMode();
    if (gameMode == nullptr) {
        LogWarning("Weekend rates not switched on: the server has no game mode");
        return nullptr;
    }
    // Without this, the reason would read as a fault of a file the server never loaded.
    if (!State.Settings.FromFile) {
        LogError("Weekend rates not switched on, nothing changed: no config has been loaded from " + ConfigPath());
        return nullptr;
    }
    if (!window.Rates.Readable()) {
        LogError(std::string(window.Id.DisplayName()) +
                 " rates not switched on, nothing changed: " + DescribeAll(ConfigPath(), window.Rates.Unreadable));
        return nullptr;
    }
    return gameMode;
}

enum class Announcement { Made, Withheld };

void ShowWindow(AShooterGameMode* gameMode, const Window& window, Owner owner, Announcement announcement)
{
    const Config& config = State.Settings;
    const WindowLook look = LookOf(config, window);
    State.Boost.OwnedBy = owner;
    State.Boost.InForce = window.Id;
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        State.Boost.Written[row] = WrittenValue(window.Rates, row, State.Boost.Saved[row]);
    }
    State.Boost.GameMode = gameMode;
    if (config.MOTDChangeEnabled) Game::SetMessageOfTheDay(gameMode, *look.WeekendMOTD);
    if (announcement == Announcement::Made) Announce(look.EnabledColor, *look.EnabledMessage, look.EnabledMessageKey);
}

// The snapshot belongs to a game mode that is gone; the one in force holds the server's normal values.
void ForgetReplacedGameMode()
{
    LogInfo("The game mode was replaced while weekend rates were in force; the new one holds the server's normal "
            "values, and the saved ones of the old one are dropped");
}

// From the normal values (or a replaced game mode's, which are the new game mode's own) into a window:
// a snapshot of the values in force, then the window's values. Every caller comes here with no boost in
// force or with the game mode that held it replaced, so the values in force are the normal ones.
bool SwitchFromNormal(const Window& window, Owner owner, Announcement announcement)
{
    AShooterGameMode* gameMode = GameModeToSwitch(window);
    if (gameMode == nullptr) return false;
    if (GameModeReplaced()) ForgetReplacedGameMode();
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        const char* field = WeekendMultiplierTable[row].Key;
        State.Boost.Saved[row] = Game::ReadMultiplier(gameMode, field);
        const float value = ValueToWrite(window, row, State.Boost.Saved[row]);
        if (value != 0.0f) Game::WriteMultiplier(gameMode, field, value);
    }
    ShowWindow(gameMode, window, owner, announcement);
    return true;
}

} // namespace

bool GameModeReplaced() { return State.Boost.Active() && Game::CurrentGameMode() != State.Boost.GameMode; }

bool SwitchToWindow(const Window& window, Owner owner) { return SwitchFromNormal(window, owner, Announcement::Made); }

bool SwitchToWeekend(Owner owner) { return SwitchToWindow(State.Settings.Weekly, owner); }

bool PutIntoNewGameMode(const Window& window)
{
    return SwitchFromNormal(window, State.Boost.OwnedBy, Announcement::Withheld);
}

bool MoveToWindow(const Window& window, Owner owner)
{
    if (GameModeReplaced()) return SwitchToWindow(window, owner);
    AShooterGameMode* gameMode = GameModeToSwitch(window);
    if (gameMode == nullptr) return false;

    // A 0 leaves the game's own value: the normal one, which the snapshot holds.
    for (std::size_t row = 0; row < kMultiplierCount; ++row) {
        const float normal = State.Boost.Saved[row];
        const float value = ValueToWrite(window, row, normal);
        Game::WriteMultiplier(gameMode, WeekendMultiplierTable[row].Key, value != 0.0f ? value : normal);
    }
    ShowWindow(gameMode, window, owner, Announcement::Made);
    return true;
}

void SwitchToNormal()
{
    const Config& config = State.Settings;
    AShooterGameMode* gameMode = Game::CurrentGameMode();
    if (gameMode == nullptr) {
        LogInfo("No game mode: the weekend values went with the game mode, and the one the server builds next "
                "starts from its normal values");
    } else if (GameModeReplaced()) {
        // A replaced game mode holds the normal values already; the weekend's end is still told.
        ForgetReplacedGameMode();
    } else {
        WriteSnapshotBack(gameMode);
    }
    if (gameMode != nullptr && config.MOTDChangeEnabled) Game::SetMessageOfTheDay(gameMode, config.NormalMOTD);
    // A reload may have taken the window away; then its announcement is the main section's.
    const Window* window = FindWindow(config, State.Boost.InForce);
    const WindowLook look = LookOf(config, window != nullptr ? *window : config.Weekly);
    State.Boost.OwnedBy = Owner::Nobody;
    State.Boost.InForce = WindowId::Weekly();
    State.Boost.Written = {};
    Announce(look.DisabledColor, *look.DisabledMessage, look.DisabledMessageKey);
}

void RestoreNormalOnUnload()
{
    if (!State.Boost.Active()) return;
    const Config& config = State.Settings;
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
        State.Boost.OwnedBy = Owner::Nobody;
        return;
    }

    WriteSnapshotBack(gameMode);
    State.Boost.OwnedBy = Owner::Nobody;
    if (config.MOTDChangeEnabled) Game::SetMessageOfTheDay(gameMode, config.NormalMOTD);
    LogInfo(RecordText({SwitchEvent::RestoredOnUnload}));
}

} // namespace qv
