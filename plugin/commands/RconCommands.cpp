// The RCON table: one row a command, its name worked out from the config in force (empty: not
// registered). The game has checked the client against the server's RCON password, so every command
// runs as for an administrator. The answer is gathered whole and sent once, with the request's id.
#include "plugin/commands/RconCommands.h"

#include <cstddef>
#include <exception>
#include <memory>
#include <string_view>

#include "plugin/commands/ReloadCommands.h"
#include "plugin/commands/StatusCommand.h"
#include "plugin/commands/ToggleCommand.h"
#include "plugin/config/CommandNames.h"
#include "plugin/host/FString.h"
#include "plugin/host/Framework.h"
#include "plugin/host/Game.h"
#include "plugin/host/RCONPacket.h"
#include "plugin/log/Guard.h"
#include "plugin/messaging/Messaging.h"
#include "plugin/rates/PluginState.h"

namespace qv {

namespace {

using Answering = void (*)(const Asker& asker);

// The console's name for a chat command: without its leading slash.
std::string ConsoleName(std::string_view chatName)
{
    if (!chatName.empty() && chatName.front() == '/') chatName.remove_prefix(1);
    return std::string(chatName);
}

struct RconRow {
    std::string (*Name)(const Config& config);
    Answering Answer;
};

const RconRow kRconRows[] = {
    {[](const Config&) { return std::string(kReloadConsoleCommand); }, &ReloadConfig},
    {[](const Config&) { return ConsoleName(kToggleChatCommand); }, &Toggle},
    {[](const Config& config) { return ConsoleName(config.StatusCommand); }, &TellStatus},
};
constexpr std::size_t kRconRowCount = sizeof(kRconRows) / sizeof(kRconRows[0]);

void Answer(RCONClientConnection* connection, const RCONPacket* packet, Answering answering)
{
    if (connection == nullptr || packet == nullptr) return;
    std::wstring answer;
    Asker asker;
    asker.RconAnswer = &answer;
    answering(asker);
    Game::SendRconReply(connection, packet->Id, FString(answer));
}

void Register(const std::string& name, Answering answering)
{
    auto shared = std::make_shared<const std::string>(name);
    Framework::RegisterRconCommand(name.c_str(),
                                   [shared, answering](RCONClientConnection* connection, RCONPacket* packet, UWorld*) {
                                       // A reload over RCON may remove this very command, and the host its callable
                                       // with it: only locals from here on (copies that cannot throw).
                                       const std::shared_ptr<const std::string> callback = shared;
                                       const Answering handler = answering;
                                       RunGuarded(callback->c_str(), [&] { Answer(connection, packet, handler); });
                                   });
}

std::string Refused(const std::string& name, const char* reason)
{
    return "the RCON command " + name + " could not be registered with the host (" + reason +
           "); the next reload tries again";
}

} // namespace

std::string FollowRconCommands()
{
    State.RconCommands.resize(kRconRowCount);
    std::string failures;
    for (std::size_t row = 0; row < kRconRowCount; ++row) {
        const std::string wanted = State.Settings.RconCommands ? kRconRows[row].Name(State.Settings) : std::string();
        std::string& registered = State.RconCommands[row];
        if (wanted == registered) continue;
        try {
            if (!registered.empty()) {
                Framework::UnregisterRconCommand(registered.c_str());
                registered.clear();
            }
            if (!wanted.empty()) {
                Register(wanted, kRconRows[row].Answer);
                registered = wanted;
            }
        } catch (const std::exception& error) {
            failures += (failures.empty() ? "" : "; ") + Refused(wanted, error.what());
        } catch (...) {
            failures += (failures.empty() ? "" : "; ") + Refused(wanted, "an unknown failure");
        }
    }
    return failures;
}

void UnregisterRconCommands()
{
    for (std::string& registered : State.RconCommands) {
        if (!registered.empty()) Framework::UnregisterRconCommand(registered.c_str());
    }
    State.RconCommands.clear();
}

} // namespace qv
