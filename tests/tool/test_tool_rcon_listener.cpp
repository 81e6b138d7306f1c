// serve's RCON listener over a real socket, for what takes a clock: a client that says nothing is
// closed once idle, but not while the game thread runs its command. (The protocol itself is tested
// with a real client, tests/rcon.)
#if !defined(_WIN32)

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <variant>

#include "tool/RconListener.h"

using namespace qvtool;
using namespace std::chrono_literals;

namespace {

int Connect(std::uint16_t port)
{
    const int socket = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    return socket;
}

// What arrives within the time: the bytes, and whether the server closed the connection.
std::pair<std::string, bool> Receive(int socket, std::chrono::milliseconds within)
{
    std::string bytes;
    const auto end = std::chrono::steady_clock::now() + within;
    while (std::chrono::steady_clock::now() < end) {
        pollfd ready{socket, POLLIN, 0};
        if (poll(&ready, 1, 10) <= 0) continue;
        char buffer[4096];
        const ssize_t count = recv(socket, buffer, sizeof buffer, 0);
        if (count <= 0) return {bytes, true};
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    return {bytes, false};
}

} // namespace

TEST(ToolRconListener, AnIdleClientIsClosedButNotWhileItsCommandRuns)
{
    std::mutex mutex;
    std::optional<RconCommand> running;
    std::string closedWhy;
    RconListenerOptions options;
    options.Password = "pw";
    options.IdleTimeout = 200ms;
    RconListener listener(options, {[&](RconCommand command) {
                                        const std::lock_guard<std::mutex> lock(mutex);
                                        running = std::move(command);
                                    },
                                    [&](std::uint64_t, std::string why) {
                                        const std::lock_guard<std::mutex> lock(mutex);
                                        closedWhy = why;
                                    }});

    const int busy = Connect(listener.Port());
    const std::string authenticate = rcon::EncodePacket({1, rcon::kAuth, "pw"});
    send(busy, authenticate.data(), authenticate.size(), 0);
    const std::string command = rcon::EncodePacket({2, rcon::kExecCommand, "slow"});
    send(busy, command.data(), command.size(), 0);
    // The game thread takes three idle times to answer: the client waits, and is not idle.
    EXPECT_FALSE(Receive(busy, 600ms).second);
    {
        const std::lock_guard<std::mutex> lock(mutex);
        ASSERT_TRUE(running.has_value());
        EXPECT_EQ(running->Line, "slow");
        listener.Answer(running->Client, running->Id, {{running->Id, rcon::kResponseValue, "done"}});
    }
    const auto [answer, closed] = Receive(busy, 100ms);
    EXPECT_EQ(answer, rcon::EncodePacket({2, rcon::kResponseValue, "done"}));
    EXPECT_FALSE(closed);
    // Then it says nothing.
    EXPECT_TRUE(Receive(busy, 1000ms).second);
    close(busy);
    // The listener tells why just after it closed the socket.
    for (int i = 0; i < 100; ++i) {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            if (!closedWhy.empty()) break;
        }
        std::this_thread::sleep_for(10ms);
    }
    const std::lock_guard<std::mutex> lock(mutex);
    EXPECT_EQ(closedWhy, "idle for 0.2 s");
}

#endif
