// The registration table. Every callable handed to the host goes through RunGuarded, so no
// failure reaches the host; the failure report names the registration as the host knows it.
#include "plugin/commands/Registrations.h"

#include <exception>
#include <variant>

#include "plugin/commands/RconCommands.h"
#include "plugin/commands/ReloadCommands.h"
#include "plugin/commands/StatusCommand.h"
#include "plugin/commands/ToggleCommand.h"
#include "plugin/config/CommandNames.h"
#include "plugin/host/Framework.h"
#include "plugin/log/Guard.h"
#include "plugin/log/PluginLog.h"
#include "plugin/rates/PluginState.h"
#include "plugin/rates/Schedule.h"

namespace qv {

namespace {

using ChatHandler = void (*)(AShooterPlayerController*, FString*, EChatSendMode::Type);
using ConsoleHandler = void (*)(APlayerController*, FString*, bool);
using TimerHandler = void (*)();

// The handler's type says the kind: chat command, console command or timer.
struct Registration {
    const char* Name;
    std::variant<ChatHandler, ConsoleHandler, TimerHandler> Handler;
};

const Registration Registrations[] = {
    {kReloadChatCommand, &ReloadConfigChatCommand},
    {kReloadConsoleCommand, &ReloadConfigConsoleCommand},
    {kCheckTimer, &CheckSchedule},
    {kToggleChatCommand, &ToggleChatCommand},
};

void RegisterChat(const std::string& name, ChatHandler handler)
{
    Framework::RegisterChatCommand(
        name.c_str(), [name, handler](AShooterPlayerController* player, FString* text, EChatSendMode::Type mode) {
            RunGuarded(name.c_str(), [&] { handler(player, text, mode); });
        });
}

void Register(const Registration& registration)
{
    const char* name = registration.Name;
    if (const auto* chat = std::get_if<ChatHandler>(&registration.Handler)) {
        RegisterChat(name, *chat);
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

void RegisterAll()
{
    for (const Registration& registration : Registrations) Register(registration);
    const std::string& status = State.Settings.StatusCommand;
    if (!status.empty()) {
        RegisterChat(status, &StatusChatCommand);
        State.StatusCommand = status;
    }
    const std::string rcon = FollowRconCommands();
    if (!rcon.empty()) LogError("Config loaded, but " + rcon);
}

void UnregisterAll()
{
    for (const Registration& registration : Registrations) Unregister(registration);
    if (!State.StatusCommand.empty()) Framework::UnregisterChatCommand(State.StatusCommand.c_str());
    State.StatusCommand.clear();
    UnregisterRconCommands();
}

std::string FollowStatusCommand()
{
    const std::string& wanted = State.Settings.StatusCommand;
    if (wanted == State.StatusCommand) return {};
    try {
        if (!State.StatusCommand.empty()) {
            Framework::UnregisterChatCommand(State.StatusCommand.c_str());
            State.StatusCommand.clear();
        }
        if (!wanted.empty()) {
            RegisterChat(wanted, &StatusChatCommand);
            State.StatusCommand = wanted;
        }
        return {};
    } catch (const std::exception& error) {
        return "the status command " + wanted + " could not be registered with the host (" + error.what() +
               "); the next reload tries again";
    } catch (...) {
        return "the status command " + wanted + " could not be registered with the host; the next reload tries again";
    }
}

} // namespace qv
