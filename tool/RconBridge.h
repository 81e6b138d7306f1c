// serve's RCON on the game thread: the listener's commands go through GameTasks to the simulated
// server, each client a connection of the game's, and the answers go back to the listener.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "tool/GameTasks.h"
#include "tool/RconListener.h"
#include "tool/Simulation.h"

namespace qvtool {

class RconBridge {
public:
    // Listens at once; throws std::runtime_error when it cannot. tell receives, on the game thread, a
    // line about each client that went and why. server and tasks outlive the bridge; tasks posted but
    // not run when it goes are never to run.
    RconBridge(RconListenerOptions options, Simulation& server, GameTasks& tasks,
               std::function<void(const std::string&)> tell);
    // Stops the listener first: nothing is posted afterwards.
    ~RconBridge();
    RconBridge(const RconBridge&) = delete;
    RconBridge& operator=(const RconBridge&) = delete;

    std::uint16_t Port() const;

private:
    Simulation& server_;
    GameTasks& tasks_;
    std::function<void(const std::string&)> tell_;
    // The game's connection of each client; on the game thread only.
    std::map<std::uint64_t, standin::RconConnectionId> connections_;
    std::unique_ptr<RconListener> listener_;

    void Run(const RconCommand& command);
    void Gone(std::uint64_t client, const std::string& why);
};

} // namespace qvtool
