// Every load of config.json ends here, and is reported in one place: the log always, and on a
// reload the administrator who asked. "Config Reloaded!" only follows a load that completed; a
// failure leaves every setting as it was and tells the administrator why, in red.
#include "plugin/commands/ReloadCommands.h"

#include <string>

#include "plugin/commands/Registrations.h"
#include "plugin/config/LoadConfig.h"
#include "plugin/config/PluginSettings.h"
#include "plugin/host/Clock.h"
#include "plugin/host/Colors.h"
#include "plugin/host/Game.h"
#include "plugin/log/PluginLog.h"
#include "plugin/messaging/Messaging.h"
#include "plugin/messaging/Patterns.h"
#include "plugin/rates/ConfigWarnings.h"

namespace {

constexpr ByteColor ReloadReplyColor{0, 255, 0, 255};
constexpr ByteColor ReloadFailureColor{255, 0, 0, 255};
constexpr ByteColor ReloadWarningColor{255, 191, 0, 255};

enum class Occasion { StartUp, Reload };

void LoadAndReport(Occasion occasion, AShooterPlayerController* player)
{
    const std::string statusCommand = PluginSettings.StatusCommand;
    const ConfigLoad load = LoadConfig(&CheckCommandNames);
    if (occasion == Occasion::StartUp && load.FileMissing()) {
        LogWarning(load.File + " not found; running with the initial settings");
        return;
    }
    if (!load.Loaded()) {
        const std::string failure = DescribeAll(load.File, load.Errors);
        if (occasion == Occasion::StartUp) {
            LogError("Config not loaded, running with the initial settings: " + failure);
            return;
        }
        LogError("Config reload failed, the settings in force are kept: " + failure);
        // The reason quotes the file, which may hold braces; the reply text is a pattern.
        TellPlayer(player, ToMessageColor(ReloadFailureColor),
                   EscapeBraces("Config reload failed: " + DescribeAll(load.File, load.Errors, kReplyLength)));
        return;
    }

    // One record a warning, up to a bound: a file can hold any number of stray members.
    constexpr std::size_t kMostLogged = 50;
    const ConfigProblems warnings = LoadWarnings(ConfigDocument, ConfigDocumentPlaces, Clock::LocalNowIfKnown());
    for (std::size_t i = 0; i < warnings.size() && i < kMostLogged; ++i) LogWarning(Describe(load.File, warnings[i]));
    if (warnings.size() > kMostLogged) {
        LogWarning(load.File + ": " + std::to_string(warnings.size() - kMostLogged) +
                   " more warnings; quorvandelle check lists them all");
    }
    if (occasion == Occasion::StartUp) {
        LogInfo("Loaded " + load.File);
        return;
    }
    FollowStatusCommand(statusCommand);
    LogInfo("Config reloaded from " + load.File);
    TellPlayer(player, ToMessageColor(ReloadReplyColor), "Config Reloaded!");
    // The administrator who reloads may never read the server's log.
    if (!warnings.empty()) {
        const std::string count = std::to_string(warnings.size()) + (warnings.size() == 1 ? " warning" : " warnings");
        TellPlayer(player, ToMessageColor(ReloadWarningColor),
                   EscapeBraces(count + " about " + DescribeAll(load.File, warnings, kReplyLength)));
    }
}

} // namespace

void LoadConfigAtStartup() { LoadAndReport(Occasion::StartUp, nullptr); }

void ReloadConfigChatCommand(AShooterPlayerController* player, FString*, EChatSendMode::Type)
{
    if (!Game::IsAdministrator(player, Game::PlayerStateCheck::Required)) return;
    LoadAndReport(Occasion::Reload, player);
}

void ReloadConfigConsoleCommand(APlayerController* player, FString*, bool)
{
    // The host hands the console's controller as the game's base class; it is the same object.
    LoadAndReport(Occasion::Reload, reinterpret_cast<AShooterPlayerController*>(player));
}
