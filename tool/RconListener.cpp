// One thread polls the listening socket, a wake-up pipe and every client. What the game thread hands
// back waits in a list under a mutex, and a byte down the pipe makes the poll return to send it. A
// client's input is read only while it has no command running and little output waiting, so neither
// a flood of commands nor a client that never reads grows the server's memory.
#include "tool/RconListener.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <utility>
#include <variant>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fmt/format.h>

namespace qvtool {

namespace {

using Clock = std::chrono::steady_clock;

// Output beyond this waits for the client to read before its next packet is taken.
constexpr std::size_t kMostWaitingOutput = 64 * 1024;
// Input beyond one packet's worth is left in the socket.
constexpr std::size_t kMostBufferedInput = 2 * (4 + rcon::kMostPacketSize);

std::string SystemError(const char* what) { return fmt::format("{}: {}", what, std::strerror(errno)); }

bool SetNonBlocking(int descriptor)
{
    const int flags = fcntl(descriptor, F_GETFL, 0);
    return flags != -1 && fcntl(descriptor, F_SETFL, flags | O_NONBLOCK) != -1 &&
           fcntl(descriptor, F_SETFD, FD_CLOEXEC) != -1;
}

// Compares every byte whatever the first difference, so that the time taken tells nothing of the
// password.
bool SamePassword(std::string_view given, std::string_view expected)
{
    if (expected.empty()) return false;
    unsigned char difference = given.size() == expected.size() ? 0 : 1;
    for (std::size_t i = 0; i < given.size(); ++i) {
        difference |= static_cast<unsigned char>(given[i] ^ expected[i % expected.size()]);
    }
    return difference == 0;
}

struct Client {
    int socket = -1;
    std::string input;
    std::string output;
    bool authenticated = false;
    bool commandRunning = false;
    bool closeWhenSent = false; // after a refused password
    Clock::time_point lastHeard = Clock::now();
};

struct Answered {
    std::uint64_t client = 0;
    std::int32_t id = 0;
    std::vector<rcon::Packet> replies;
};

} // namespace

struct RconListener::State {
    RconListenerOptions options;
    RconListenerCallbacks callbacks;
    int listening = -1;
    int wakeRead = -1;
    int wakeWrite = -1;
    std::uint16_t port = 0;
    std::map<std::uint64_t, Client> clients;
    std::uint64_t lastClient = 0;
    std::atomic<bool> stopping{false};
    std::mutex answeredMutex;
    std::vector<Answered> answered;
    std::thread thread;

    void Wake() const
    {
        const char byte = 0;
        // A full pipe has a wake-up in it already.
        [[maybe_unused]] const ssize_t written = write(wakeWrite, &byte, 1);
    }

    void Run()
    {
        while (!stopping) {
            std::vector<pollfd> polled{{wakeRead, POLLIN, 0}, {listening, POLLIN, 0}};
            std::vector<std::uint64_t> order;
            for (auto& [number, client] : clients) {
                short events = 0;
                if (WantsInput(client)) events |= POLLIN;
                if (!client.output.empty()) events |= POLLOUT;
                polled.push_back({client.socket, events, 0});
                order.push_back(number);
            }
            const int ready = poll(polled.data(), polled.size(), PollTimeout());
            if (ready < 0 && errno != EINTR) break;
            if (polled[0].revents & POLLIN) DrainWakeUps();
            TakeAnswers();
            if (polled[1].revents & POLLIN) Accept();
            for (std::size_t i = 0; i < order.size(); ++i) {
                const short events = polled[i + 2].revents;
                if (events != 0) Serve(order[i], events);
            }
            CloseIdle();
        }
        for (auto& entry : clients) close(entry.second.socket);
        clients.clear();
    }

    bool WantsInput(const Client& client) const
    {
        return !client.commandRunning && !client.closeWhenSent && client.output.size() < kMostWaitingOutput &&
               client.input.size() < kMostBufferedInput;
    }

    int PollTimeout() const
    {
        auto wait = std::chrono::milliseconds(options.IdleTimeout);
        const auto now = Clock::now();
        for (const auto& entry : clients) {
            if (entry.second.commandRunning) continue;
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(entry.second.lastHeard +
                                                                                    options.IdleTimeout - now);
            wait = std::min(wait, std::max(left, std::chrono::milliseconds(0)));
        }
        return static_cast<int>(std::min<std::chrono::milliseconds::rep>(wait.count() + 1, 60'000));
    }

    void DrainWakeUps() const
    {
        char bytes[256];
        while (read(wakeRead, bytes, sizeof bytes) > 0) {}
    }

    void TakeAnswers()
    {
        std::vector<Answered> taken;
        {
            std::lock_guard<std::mutex> lock(answeredMutex);
            taken.swap(answered);
        }
        for (auto& answer : taken) {
            const auto found = clients.find(answer.client);
            if (found == clients.end()) continue;
            Client& client = found->second;
            if (answer.replies.empty()) answer.replies.push_back(rcon::Packet{answer.id, rcon::kResponseValue, {}});
            for (const auto& reply : answer.replies)
                client.output += rcon::EncodeAnswer(reply.Id, reply.Type, reply.Body);
            client.commandRunning = false;
            client.lastHeard = Clock::now();
            ReadPackets(answer.client);
            if (clients.count(answer.client) != 0) Send(answer.client);
        }
    }

    void Accept()
    {
        while (true) {
            const int socket = accept(listening, nullptr, nullptr);
            if (socket < 0) return;
            if (clients.size() >= options.MostClients || !SetNonBlocking(socket)) {
                close(socket);
                continue;
            }
            clients[++lastClient].socket = socket;
        }
    }

    void Serve(std::uint64_t number, short events)
    {
        // Closed earlier in this turn, by an answer's malformed successor.
        if (clients.count(number) == 0) return;
        if (events & POLLOUT) {
            Send(number);
            if (clients.count(number) == 0) return;
        }
        if (events & (POLLIN | POLLHUP | POLLERR)) Receive(number);
    }

    void Receive(std::uint64_t number)
    {
        Client& client = clients.at(number);
        char buffer[16 * 1024];
        const ssize_t count = recv(client.socket, buffer, sizeof buffer, 0);
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
        if (count <= 0) {
            Close(number, count < 0              ? SystemError("receiving")
                          : client.input.empty() ? std::string("closed by the client")
                                                 : std::string("closed by the client in the middle of a packet"));
            return;
        }
        client.input.append(buffer, static_cast<std::size_t>(count));
        client.lastHeard = Clock::now();
        ReadPackets(number);
        if (clients.count(number) != 0 && !clients.at(number).output.empty()) Send(number);
    }

    // Takes the client's packets one at a time, until a command runs or the input ends.
    void ReadPackets(std::uint64_t number)
    {
        Client& client = clients.at(number);
        while (!client.commandRunning && !client.closeWhenSent && client.output.size() < kMostWaitingOutput) {
            auto decoded = rcon::DecodePacket(client.input);
            if (std::holds_alternative<rcon::Incomplete>(decoded)) return;
            if (const auto* malformed = std::get_if<rcon::Malformed>(&decoded)) {
                Close(number, malformed->Reason);
                return;
            }
            auto& [packet, bytes] = std::get<rcon::Decoded>(decoded);
            client.input.erase(0, bytes);
            if (!Take(number, client, std::move(packet))) return;
        }
    }

    // False when the client was closed.
    bool Take(std::uint64_t number, Client& client, rcon::Packet packet)
    {
        switch (packet.Type) {
        case rcon::kAuth: {
            const bool accepted = SamePassword(packet.Body, options.Password);
            // Game servers send an empty response value first; clients written for them skip it.
            client.output += rcon::EncodePacket({packet.Id, rcon::kResponseValue, {}});
            client.output += rcon::EncodePacket({accepted ? packet.Id : rcon::kRefused, rcon::kAuthResponse, {}});
            client.authenticated = accepted;
            client.closeWhenSent = !accepted;
            return true;
        }
        case rcon::kExecCommand:
            if (!client.authenticated) break;
            client.commandRunning = true;
            callbacks.Command(RconCommand{number, packet.Id, std::move(packet.Body)});
            return true;
        case rcon::kResponseValue:
            // An empty response value comes back as it went: clients send one after a command, and its
            // echo tells them that every packet of the answer has come.
            if (!client.authenticated) break;
            client.output += rcon::EncodePacket({packet.Id, rcon::kResponseValue, {}});
            return true;
        default:
            Close(number, fmt::format("a packet of type {}, which is no request", packet.Type));
            return false;
        }
        Close(number, "a request before the password");
        return false;
    }

    void Send(std::uint64_t number)
    {
        Client& client = clients.at(number);
        while (!client.output.empty()) {
            const ssize_t sent = send(client.socket, client.output.data(), client.output.size(), MSG_NOSIGNAL);
            if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
            if (sent < 0 && errno == EINTR) continue;
            if (sent <= 0) {
                Close(number, SystemError("sending"));
                return;
            }
            client.output.erase(0, static_cast<std::size_t>(sent));
        }
        if (client.closeWhenSent) {
            Close(number, "a wrong password");
            return;
        }
        // Packets that waited behind a full output can be taken now.
        if (!client.input.empty()) ReadPackets(number);
    }

    void CloseIdle()
    {
        const auto now = Clock::now();
        std::vector<std::uint64_t> idle;
        for (const auto& [number, client] : clients) {
            if (!client.commandRunning && now - client.lastHeard >= options.IdleTimeout) idle.push_back(number);
        }
        for (const auto number : idle) {
            Close(number, fmt::format("idle for {} s", std::chrono::duration<double>(options.IdleTimeout).count()));
        }
    }

    void Close(std::uint64_t number, std::string why)
    {
        const auto found = clients.find(number);
        if (found == clients.end()) return;
        close(found->second.socket);
        clients.erase(found);
        if (callbacks.Closed) callbacks.Closed(number, std::move(why));
    }
};

RconListener::RconListener(RconListenerOptions options, RconListenerCallbacks callbacks)
    : state_(std::make_unique<State>())
{
    State& state = *state_;
    state.options = std::move(options);
    state.callbacks = std::move(callbacks);
    const auto fail = [&](const std::string& what) {
        const std::string message = fmt::format("cannot listen for RCON on 127.0.0.1:{}: {}", state.options.Port, what);
        if (state.listening != -1) close(state.listening);
        if (state.wakeRead != -1) close(state.wakeRead);
        if (state.wakeWrite != -1) close(state.wakeWrite);
        throw std::runtime_error(message);
    };
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) fail(std::strerror(errno));
    state.wakeRead = pipeEnds[0];
    state.wakeWrite = pipeEnds[1];
    state.listening = socket(AF_INET, SOCK_STREAM, 0);
    if (state.listening < 0 || !SetNonBlocking(state.listening) || !SetNonBlocking(state.wakeRead) ||
        !SetNonBlocking(state.wakeWrite)) {
        fail(std::strerror(errno));
    }
    const int reuse = 1;
    setsockopt(state.listening, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(state.options.Port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(state.listening, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) fail(std::strerror(errno));
    if (listen(state.listening, SOMAXCONN) != 0) fail(std::strerror(errno));
    socklen_t length = sizeof address;
    if (getsockname(state.listening, reinterpret_cast<sockaddr*>(&address), &length) != 0) fail(std::strerror(errno));
    state.port = ntohs(address.sin_port);
    state.thread = std::thread([&state] { state.Run(); });
}

RconListener::~RconListener()
{
    state_->stopping = true;
    state_->Wake();
    state_->thread.join();
    close(state_->listening);
    close(state_->wakeRead);
    close(state_->wakeWrite);
}

std::uint16_t RconListener::Port() const { return state_->port; }

void RconListener::Answer(std::uint64_t client, std::int32_t id, std::vector<rcon::Packet> replies)
{
    {
        std::lock_guard<std::mutex> lock(state_->answeredMutex);
        state_->answered.push_back(Answered{client, id, std::move(replies)});
    }
    state_->Wake();
}

} // namespace qvtool
