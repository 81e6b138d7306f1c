// Load and Unload: the logger, the first config read and the host registrations. Every callable
// handed to the host goes through RunGuarded, so no failure reaches the host.
#include "plugin/lifecycle/Lifecycle.h"

#include <variant>

#include "plugin/commands/ReloadCommands.h"
#include "plugin/commands/ToggleCommand.h"
#include "plugin/host/Framework.h"
#include "plugin/log/Guard.h"
#include "plugin/log/PluginLog.h"
#include "plugin/rates/Schedule.h"
#include "plugin/rates/Switching.h"

namespace {

using ChatHandler = void (*)(AShooterPlayerController*, FString*, EChatSendMode::Type);
using ConsoleHandler = void (*)(APlayerController*, FString*, bool);
using TimerHandler = void (*)();

// What the plug-in registers with the host, in the order Load makes the registrations and Unload
// removes them. The handler's type says the kind: chat command, console command or timer.
struct Registration {
    const char* Name;
    std::variant<ChatHandler, ConsoleHandler, TimerHandler> Handler;
};

const Registration Registrations[] = {
    {"/qvreload", &ReloadConfigChatCommand},
    {"qvreload", &ReloadConfigConsoleCommand},
    {"QuorvandelleCheck", &CheckSchedule},
    {"/ToggleQuorvandelle", &ToggleChatCommand},
};

// The failure report names the registration, as the host knows it.
void Register(const Registration& registration)
{
    const char* name = registration.Name;
    if (const auto* chat = std::get_if<ChatHandler>(&registration.Handler)) {
        Framework::RegisterChatCommand(
            name, [name, handler = *chat](AShooterPlayerController* player, FString* text, EChatSendMode::Type mode) {
                RunGuarded(name, [&] { handler(player, text, mode); });
            });
    } else if (const auto* console = std::get_if<ConsoleHandler>(&registration.Handler)) {
        Framework::RegisterConsoleCommand(
            name, [name, handler = *console](APlayerController* player, FString* text, bool flag) {
                RunGuarded(name, [&] { handler(player, text, flag); });
            });
    } else {
        Framework::RegisterTimerCallback(
            name, [name, handler = std::get<TimerHandler>(registration.Handler)] { RunGuarded(name, handler); });
    }
}

void Unregister(const Registration& registration)
{
    if (std::holds_alternative<ChatHandler>(registration.Handler)) {
        Framework::UnregisterChatCommand(registration.Name);
    } else if (std::holds_alternative<ConsoleHandler>(registration.Handler)) {
        Framework::UnregisterConsoleCommand(registration.Name);
    } else {
        Framework::UnregisterTimerCallback(registration.Name);
    }
}

} // namespace

void Load()
{
    RunGuarded("Load", [] { CreatePluginLog(); });
    // A bad file must not cost the administrator the reload command that would fix it.
    RunGuarded("Load", [] { LoadConfigAtStartup(); });
    RunGuarded("Load", [] {
        for (const Registration& registration : Registrations) Register(registration);
    });
}

void Unload(UnloadReason reason)
{
    RunGuarded("Unload", [] {
        for (const Registration& registration : Registrations) Unregister(registration);
    });
    // Weekend values left in the game would be snapshotted as "normal" by the next load.
    if (reason == UnloadReason::LibraryUnloaded) RunGuarded("Unload", [] { RestoreNormalOnUnload(); });
}
