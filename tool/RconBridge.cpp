// The listener's callbacks only post; everything that touches the server runs in the posted tasks.
#include "tool/RconBridge.h"

#include <utility>
#include <vector>

#include <fmt/format.h>

namespace qvtool {

RconBridge::RconBridge(RconListenerOptions options, Simulation& server, GameTasks& tasks,
                       std::function<void(const std::string&)> tell)
    : server_(server), tasks_(tasks), tell_(std::move(tell))
{
    RconListenerCallbacks callbacks;
    callbacks.Command = [this](RconCommand command) {
        tasks_.Post([this, command = std::move(command)] { Run(command); });
    };
    callbacks.Closed = [this](std::uint64_t client, std::string why) {
        tasks_.Post([this, client, why = std::move(why)] { Gone(client, why); });
    };
    listener_ = std::make_unique<RconListener>(std::move(options), std::move(callbacks));
}

RconBridge::~RconBridge() { listener_.reset(); }

std::uint16_t RconBridge::Port() const { return listener_->Port(); }

void RconBridge::Run(const RconCommand& command)
{
    auto found = connections_.find(command.Client);
    if (found == connections_.end()) found = connections_.emplace(command.Client, server_.OpenRconConnection()).first;
    std::vector<rcon::Packet> replies;
    for (auto& reply : server_.Rcon(found->second, command.Id, command.Line).Replies) {
        replies.push_back(rcon::Packet{reply.Id, reply.Type, std::move(reply.Text)});
    }
    listener_->Answer(command.Client, command.Id, std::move(replies));
}

void RconBridge::Gone(std::uint64_t client, const std::string& why)
{
    if (const auto found = connections_.find(client); found != connections_.end()) {
        server_.CloseRconConnection(found->second);
        connections_.erase(found);
    }
    if (tell_) tell_(fmt::format("RCON client {}: {}", client, why));
}

} // namespace qvtool
