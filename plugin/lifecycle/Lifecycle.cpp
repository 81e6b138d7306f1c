// Load and Unload: the logger, the first config read and the four host registrations. Every
// callable handed to the host goes through RunGuarded, so no failure reaches the host.
#include "plugin/lifecycle/Lifecycle.h"

#include "plugin/commands/ReloadCommands.h"
#include "plugin/commands/ToggleCommand.h"
#include "plugin/config/LoadConfig.h"
#include "plugin/host/ArkApi.h"
#include "plugin/host/FString.h"
#include "plugin/lifecycle/Guard.h"
#include "plugin/lifecycle/PluginLog.h"
#include "plugin/rates/Schedule.h"
#include "plugin/rates/Switching.h"

void Load()
{
    RunGuarded("Load", [] { CreatePluginLog(); });
    // A bad file must not cost the administrator the reload command that would fix it.
    RunGuarded("Load", [] { LoadConfigAtStartup(); });
    RunGuarded("Load", [] {
        RegisterReloadCommands();
        RegisterToggleAndCheck();
    });
}

void Unload(UnloadReason reason)
{
    RunGuarded("Unload", [] {
        UnregisterReloadCommands();
        UnregisterToggleAndCheck();
    });
    // Weekend values left in the game would be snapshotted as "normal" by the next load.
    if (reason == UnloadReason::LibraryUnloaded) RunGuarded("Unload", [] { RestoreNormalOnUnload(); });
}

void RegisterReloadCommands()
{
    ArkApi::GetCommands().RegisterChatCommand(
        FString("/qvreload"), [](AShooterPlayerController* player, FString* message, EChatSendMode::Type mode) {
            RunGuarded("/qvreload", [&] { ReloadConfigChatCommand(player, message, mode); });
        });
    ArkApi::GetCommands().RegisterConsoleCommand(
        FString("qvreload"), [](APlayerController* player, FString* command, bool flag) {
            RunGuarded("qvreload", [&] { ReloadConfigConsoleCommand(player, command, flag); });
        });
}

void RegisterToggleAndCheck()
{
    ArkApi::GetCommands().RegisterTimerCallback(FString("QuorvandelleCheck"),
                                                [] { RunGuarded("QuorvandelleCheck", [] { CheckSchedule(); }); });
    ArkApi::GetCommands().RegisterChatCommand(
        FString("/ToggleQuorvandelle"),
        [](AShooterPlayerController* player, FString* message, EChatSendMode::Type mode) {
            RunGuarded("/ToggleQuorvandelle", [&] { ToggleChatCommand(player, message, mode); });
        });
}

void UnregisterReloadCommands()
{
    ArkApi::GetCommands().UnregisterChatCommand(FString("/qvreload"));
    ArkApi::GetCommands().UnregisterConsoleCommand(FString("qvreload"));
}

void UnregisterToggleAndCheck()
{
    ArkApi::GetCommands().UnregisterTimerCallback(FString("QuorvandelleCheck"));
    ArkApi::GetCommands().UnregisterChatCommand(FString("/ToggleQuorvandelle"));
}
