// serve's RCON under load: 1,000 commands from 16 clients at once over loopback, through the
// listener and onto the game thread (the benchmark's own), where the probe plug-in
// (tests/rcon/RconProbePlugin.cpp) answers each with the thread it ran on. Every client checks that
// each command is answered once, in its order, on the game thread, and that nothing follows. The
// figure is the wall time of the whole; aim: under a second.
#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include <fmt/format.h>

#include "tests/support/PluginServer.h"
#include "tool/GameTasks.h"
#include "tool/RconBridge.h"
#include "tool/SimulateCommand.h"

namespace qvbench {

namespace {

constexpr int kCommands = 1000;
constexpr int kClients = 16;
constexpr const char* kPassword = "bench";

// A blocking client that reads whole packets.
class Client {
public:
    explicit Client(std::uint16_t port) : socket_(::socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (connect(socket_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            throw std::runtime_error("cannot connect");
        }
    }
    ~Client() { close(socket_); }

    void Send(const qvtool::rcon::Packet& packet) const
    {
        const std::string bytes = qvtool::rcon::EncodePacket(packet);
        if (send(socket_, bytes.data(), bytes.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(bytes.size())) {
            throw std::runtime_error("cannot send");
        }
    }

    qvtool::rcon::Packet Receive()
    {
        while (true) {
            auto decoded = qvtool::rcon::DecodePacket(received_);
            if (auto* packet = std::get_if<qvtool::rcon::Decoded>(&decoded)) {
                received_.erase(0, packet->Bytes);
                return packet->Value;
            }
            if (std::holds_alternative<qvtool::rcon::Malformed>(decoded))
                throw std::runtime_error("a malformed answer");
            char buffer[8192];
            const ssize_t count = recv(socket_, buffer, sizeof buffer, 0);
            if (count <= 0) throw std::runtime_error("the server closed the connection");
            received_.append(buffer, static_cast<std::size_t>(count));
        }
    }

private:
    int socket_;
    std::string received_;
};

// The client's commands, one after the other as an administrator's tool sends them; empty, or what
// went wrong.
std::string RunClient(std::uint16_t port, int client, int commands)
{
    try {
        Client connection(port);
        connection.Send({1, qvtool::rcon::kAuth, kPassword});
        connection.Receive();
        if (connection.Receive().Id != 1) return "refused";
        for (int i = 0; i < commands; ++i) {
            const std::string tag = fmt::format("{}-{}", client, i);
            connection.Send({i + 2, qvtool::rcon::kExecCommand, "thread " + tag});
            const qvtool::rcon::Packet answer = connection.Receive();
            if (answer.Id != i + 2 || answer.Body != "game thread " + tag) {
                return fmt::format("command {} of client {} answered with id {}: \"{}\"", i, client, answer.Id,
                                   answer.Body);
            }
        }
        // An empty response value comes back as it went: anything before it was answered twice.
        connection.Send({0x7FFFFFFF, qvtool::rcon::kResponseValue, {}});
        if (connection.Receive().Id != 0x7FFFFFFF) return fmt::format("client {} got one answer too many", client);
        return {};
    } catch (const std::exception& error) {
        return fmt::format("client {}: {}", client, error.what());
    }
}

void BM_RconThousandCommands(benchmark::State& state)
{
    testing_support::TempDirectory folder;
    qvtool::ServerRunOptions run{QV_EXAMPLE_CONFIG, qvtool::Instant{}, 0, false};
    run.RealClock = true;
    run.Library = standin::Server::LibraryBesideExecutable("qv_rcon_probe_plugin");
    const std::unique_ptr<qvtool::Simulation> server = qvtool::StartServer(run, qv::LocalClock(), 0, {});
    qvtool::GameTasks tasks;
    qvtool::RconListenerOptions options;
    options.Password = kPassword;
    qvtool::RconBridge bridge(options, *server, tasks, {});

    for (auto _ : state) {
        std::atomic<int> finished{0};
        std::mutex failuresMutex;
        std::vector<std::string> failures;
        std::vector<std::thread> clients;
        for (int client = 0; client < kClients; ++client) {
            const int commands = kCommands / kClients + (client < kCommands % kClients ? 1 : 0);
            clients.emplace_back([&, client, commands] {
                std::string failure = RunClient(bridge.Port(), client, commands);
                if (!failure.empty()) {
                    const std::lock_guard<std::mutex> lock(failuresMutex);
                    failures.push_back(std::move(failure));
                }
                ++finished;
                tasks.Post([] {}); // wakes the game thread to see it
            });
        }
        // This thread is the game thread meanwhile.
        while (finished < kClients) tasks.RunUntil(std::chrono::steady_clock::now() + std::chrono::milliseconds(5));
        for (auto& client : clients) client.join();
        if (!failures.empty()) {
            state.SkipWithError(failures.front().c_str());
            break;
        }
    }
    state.counters["commands"] = kCommands;
}

} // namespace

BENCHMARK(BM_RconThousandCommands)
    ->Name("Rcon/1000_commands_16_clients")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

} // namespace qvbench
