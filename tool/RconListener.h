// The RCON listener of `serve`: Source RCON on 127.0.0.1, as game servers speak it. Its own thread
// accepts clients, checks their password and reads their packets; each command goes to whoever runs
// commands (the game thread), and the client's next packet waits until Answer brings that command's
// replies back, so that every client is answered in the order it asked. POSIX sockets: the Windows
// build of the tool has no listener.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tool/RconPackets.h"

namespace qvtool {

struct RconListenerOptions {
    std::uint16_t Port = 0; // 0: a free port the system picks
    std::string Password;
    std::size_t MostClients = 16;
    // A client that sends nothing for this long, while no command of its is running, is closed.
    std::chrono::milliseconds IdleTimeout{60000};
};

// A command line a client sent, once it had given the password.
struct RconCommand {
    std::uint64_t Client = 0; // numbered from 1 in the order the clients connected
    std::int32_t Id = 0;      // the client's id for the request, which the answer must carry
    std::string Line;
};

struct RconListenerCallbacks {
    // On the listener's thread: hand the command over and return; Answer sends its replies.
    std::function<void(RconCommand)> Command;
    // On the listener's thread: the client is gone, and why ("closed by the client", "idle for 60 s",
    // what was malformed). A command of its still running is answered into the void.
    std::function<void(std::uint64_t client, std::string why)> Closed;
};

class RconListener {
public:
    // Listens at once. Throws std::runtime_error naming the port and the system's reason.
    RconListener(RconListenerOptions options, RconListenerCallbacks callbacks);
    // Closes every connection and stops the thread.
    ~RconListener();
    RconListener(const RconListener&) = delete;
    RconListener& operator=(const RconListener&) = delete;

    std::uint16_t Port() const;
    // From any thread: the replies to the client's running command, in order. A client with no command
    // running still gets them; one that has gone gets nothing. A command answered with no reply at all
    // gets one empty response value, as game servers send: a client waits for an answer to each command.
    void Answer(std::uint64_t client, std::int32_t id, std::vector<rcon::Packet> replies);

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace qvtool
