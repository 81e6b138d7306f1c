// A reload replies "Config Reloaded!" only after a load that completed; a failure leaves every
// setting as it was and tells the administrator why, in red.
#include "plugin/commands/ReloadCommands.h"

#include <stdexcept>
#include <string>

#include "plugin/commands/Administrator.h"
#include "plugin/config/LoadConfig.h"
#include "plugin/host/Colors.h"
#include "plugin/lifecycle/PluginLog.h"
#include "plugin/messaging/Messaging.h"
#include "plugin/messaging/Patterns.h"

namespace {

constexpr ByteColor ReloadReplyColor{0, 255, 0, 255};
constexpr ByteColor ReloadFailureColor{255, 0, 0, 255};

void Reload(AShooterPlayerController* player)
{
    std::string failure;
    try {
        if (LoadConfig() == LoadOutcome::FileMissing) failure = ConfigPath() + " not found";
    } catch (const std::exception& error) {
        failure = error.what();
    }
    if (failure.empty()) {
        LogInfo("Config reloaded from " + ConfigPath());
        TellPlayer(player, ToMessageColor(ReloadReplyColor), "Config Reloaded!");
        return;
    }
    LogError("Config reload failed, the settings in force are kept: " + failure);
    // The reason quotes the file, which may hold braces; the reply text is a pattern.
    TellPlayer(player, ToMessageColor(ReloadFailureColor), EscapeBraces("Config reload failed: " + failure));
}

} // namespace

void ReloadConfigChatCommand(AShooterPlayerController* player, FString*, EChatSendMode::Type)
{
    if (!IsAdministrator(player, PlayerStateCheck::Required)) return;
    Reload(player);
}

void ReloadConfigConsoleCommand(APlayerController* player, FString*, bool)
{
    // The host hands the console's controller as the game's base class; it is the same object.
    Reload(reinterpret_cast<AShooterPlayerController*>(player));
}
