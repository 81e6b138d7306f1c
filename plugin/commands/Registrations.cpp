// The registration table. Every callable handed to the host goes through RunGuarded, so no
// failure reaches the host; the failure report names the registration as the host knows it.
#include "plugin/commands/Registrations.h"

#include <algorithm>
#include <cctype>
#include <variant>

#include "plugin/commands/ReloadCommands.h"
#include "plugin/commands/StatusCommand.h"
#include "plugin/commands/ToggleCommand.h"
#include "plugin/host/Framework.h"
#include "plugin/log/Guard.h"
#include "plugin/rates/Schedule.h"
#include "util/Ascii.h"

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
    {"/qvreload", &ReloadConfigChatCommand},
    {"qvreload", &ReloadConfigConsoleCommand},
    {"QuorvandelleCheck", &CheckSchedule},
    {"/ToggleQuorvandelle", &ToggleChatCommand},
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
    if (!PluginSettings.StatusCommand.empty()) RegisterChat(PluginSettings.StatusCommand, &StatusChatCommand);
}

void UnregisterAll()
{
    for (const Registration& registration : Registrations) Unregister(registration);
    if (!PluginSettings.StatusCommand.empty()) Framework::UnregisterChatCommand(PluginSettings.StatusCommand.c_str());
}

void FollowStatusCommand(const std::string& before)
{
    const std::string& now = PluginSettings.StatusCommand;
    if (now == before) return;
    if (!before.empty()) Framework::UnregisterChatCommand(before.c_str());
    if (!now.empty()) RegisterChat(now, &StatusChatCommand);
}

void CheckCommandNames(const Settings& settings, ConfigProblems& problems)
{
    if (settings.StatusCommand.empty()) return;
    for (const Registration& registration : Registrations) {
        // The host matches a command's first word without regard to ASCII case.
        if (!util::EqualIgnoringAsciiCase(settings.StatusCommand, registration.Name)) continue;
        problems.push_back({ProblemKind::Member,
                            SectionMember("StatusCommand"),
                            "\"" + settings.StatusCommand + "\" is one of the plug-in's own commands",
                            {}});
    }
}
