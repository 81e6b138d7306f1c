// Setting and taking out the new-player hook as the config in force asks.
#include "plugin/commands/NewPlayerHook.h"

#include <cstddef>
#include <exception>

#include "plugin/config/JoinMessages.h"
#include "plugin/host/Framework.h"
#include "plugin/log/PluginLog.h"
#include "plugin/rates/PluginState.h"
#include "plugin/rates/Welcomes.h"

namespace qv {

namespace {

// A server full of players reconnecting at once, so that noting a join allocates nothing on the
// game thread.
constexpr std::size_t kJoinsWaitingAtOnce = 128;

} // namespace

std::string FollowWelcomes()
{
    if (!HasWelcomes(State.Settings)) {
        DropWelcomes();
        return {};
    }
    if (Framework::NewPlayerHooked()) return {};
    const std::string refused = "the hook on new players could not be set";
    const std::string consequence = ", so nobody who joins is welcomed; the next reload tries again";
    try {
        State.Welcomes.Waiting.reserve(kJoinsWaitingAtOnce);
        if (Framework::HookNewPlayer(&WelcomeLater, &LogCallbackFailure)) return {};
        return refused + " (the host refused it)" + consequence;
    } catch (const std::exception& error) {
        return refused + " (" + error.what() + ")" + consequence;
    } catch (...) {
        return refused + consequence;
    }
}

void DropWelcomes()
{
    Framework::UnhookNewPlayer();
    State.Welcomes = PendingWelcomes{};
    RefreshWakeAt(State);
}

} // namespace qv
