// The shared set-up of the measurements.
#include "bench/BenchSupport.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include "bench/Workloads.h"
#include "plugin/host/ArkApi.h"
#include "plugin/host/FString.h"

namespace qvbench {

std::string ExampleConfigText()
{
    std::ifstream input(QV_EXAMPLE_CONFIG, std::ios::binary);
    if (!input) throw std::runtime_error(std::string("cannot read ") + QV_EXAMPLE_CONFIG);
    std::ostringstream text;
    text << input.rdbuf();
    return text.str();
}

std::string WelcomeConfigText()
{
    nlohmann::json config = nlohmann::json::parse(ExampleConfigText());
    config["Quorvandelle"]["JoinMessage"] = "Welcome! {name} rates are on for {time_left}.";
    return config.dump(2);
}

namespace {

// One unknown member of every JSON kind, nested, about 200 bytes.
std::string UnknownMember(const char* prefix, int index)
{
    const std::string id = std::to_string(index);
    return "    \"" + std::string(prefix) + id + "\": {\"Note\": \"an option of another version, kept for " + id +
           " reasons\", \"Values\": [1, -2, 3.25, 4e10, true, false, null, \"text\"], \"Nested\": {\"Depth\": " +
           "{\"Flag\": false, \"Count\": " + id + "}}, \"Empty\": {}, \"None\": []}";
}

} // namespace

std::string LargeConfigText(std::size_t bytes)
{
    std::string text = ExampleConfigText();
    const std::string sectionStart = "\"Quorvandelle\": {";
    const std::size_t sectionBody = text.find(sectionStart);
    const std::size_t documentEnd = text.rfind('}');
    const std::size_t sectionEnd = documentEnd == std::string::npos ? documentEnd : text.rfind('}', documentEnd - 1);
    if (sectionBody == std::string::npos || sectionEnd == std::string::npos) {
        throw std::runtime_error("examples/config.json is not one section in one object");
    }

    // Half the bulk inside the section, ahead of the known members; half in sections of other plug-ins.
    std::string inside = "\n";
    std::string beside;
    for (int index = 0; text.size() + inside.size() + beside.size() < bytes; ++index) {
        if (index % 2 == 0) {
            inside += UnknownMember("UnknownOption", index) + ",\n";
        } else {
            beside +=
                ",\n  \"OtherPlugin" + std::to_string(index) + "\": {\n" + UnknownMember("Setting", index) + "\n  }";
        }
    }
    text.insert(sectionEnd + 1, beside);
    text.insert(sectionBody + sectionStart.size(), inside);
    return text;
}

std::string FiftySchedulesConfigText()
{
    nlohmann::json config = nlohmann::json::parse(ExampleConfigText());
    nlohmann::json schedules = nlohmann::json::array();
    for (int i = 0; i < 50; ++i) {
        const int hour = i / 5;
        nlohmann::json window = {{"Name", "Morning " + std::to_string(i)},
                                 {"Days", {i % 5 + 1}},
                                 {"From", fmt::format("{:02}:30", hour)},
                                 {"Until", fmt::format("{:02}:00", hour + 1)}};
        if (i % 2 == 0) window["XPMultiplier"] = 1.0 + i / 10.0;
        schedules.push_back(window);
    }
    config["Quorvandelle"]["Schedules"] = schedules;
    config["Quorvandelle"]["Reminders"] = {60, 10};
    return config.dump(2);
}

std::string HundredWindowsConfigText(bool newKeys)
{
    nlohmann::json config = nlohmann::json::parse(ExampleConfigText());
    nlohmann::json schedules = nlohmann::json::array();
    const nlohmann::json everyDay = {0, 1, 2, 3, 4, 5, 6};
    for (int i = 0; i < 99; ++i) {
        const int from = i * 14 + 7; // minutes after midnight, the last ending 23:13
        nlohmann::json window = {{"Name", "Daily " + std::to_string(i)},
                                 {"Days", everyDay},
                                 {"From", fmt::format("{:02}:{:02}", from / 60, from % 60)},
                                 {"Until", fmt::format("{:02}:{:02}", (from + 14) / 60, (from + 14) % 60)}};
        if (i % 2 == 0) window["XPMultiplier"] = 1.0 + i / 10.0;
        schedules.push_back(window);
    }
    schedules.push_back(
        {{"Name", "Always"}, {"From", "2026-01-01T00:00"}, {"Until", "9999-12-31T00:00"}, {"XPMultiplier", 1.5}});
    config["Quorvandelle"]["Schedules"] = schedules;
    config["Quorvandelle"]["StatusCommand"] = "/rates";
    if (newKeys) {
        config["Quorvandelle"]["Reminders"] = {1440, 60, 10};
        config["Quorvandelle"]["TimeZone"] = "Europe/Berlin";
        config["Quorvandelle"]["ExactSwitching"] = true;
    }
    return config.dump(2);
}

RunningPlugin StartPlugin(int players, const std::string& config)
{
    RunningPlugin running;
    running.plugin = std::make_unique<testing_support::PluginServer>(kWednesday.year, kWednesday.month, kWednesday.day);
    auto& plugin = *running.plugin;
    plugin.WriteConfigText(config);
    for (int player = 0; player < players; ++player) {
        running.players.push_back(plugin.Join("Player " + std::to_string(player + 1), player == 0));
    }
    plugin.Load();
    plugin.RunToFirstEvaluation();
    // Warnings are the config's business (fifty windows overlap the weekend); errors are not.
    if (!plugin->EscapedExceptions().empty() || !plugin.PluginLogMessages(standin::LogLevel::Error).empty()) {
        throw std::runtime_error("the plug-in did not start cleanly on its config");
    }
    return running;
}

namespace {

double Now(TimeKind kind)
{
    if (kind == TimeKind::Wall) {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    }
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

} // namespace

double TimeNextEvaluation(standin::Server& server, Usage& usage, TimeKind kind)
{
    server.RunTimer(kIdleCallsBetweenEvaluations);
    const UsageMeter meter(server);
    const double start = Now(kind);
    EvaluationUnderTest(server);
    const double elapsed = Now(kind) - start;
    usage += meter.Read();
    return elapsed;
}

namespace {

constexpr const char* kConsoleCommand = "qvbenchempty";
constexpr const char* kTimer = "QuorvandelleBenchEmpty";
constexpr const char* kSecondChatCommand = "/qvbenchempty2";

} // namespace

EmptyRegistrations::EmptyRegistrations()
{
    auto& commands = ArkApi::GetCommands();
    commands.RegisterChatCommand(FString(kChatCommand),
                                 [](AShooterPlayerController*, FString*, EChatSendMode::Type) {});
    commands.RegisterConsoleCommand(FString(kConsoleCommand), [](APlayerController*, FString*, bool) {});
    commands.RegisterTimerCallback(FString(kTimer), [] {});
    commands.RegisterChatCommand(FString(kSecondChatCommand),
                                 [](AShooterPlayerController*, FString*, EChatSendMode::Type) {});
}

EmptyRegistrations::~EmptyRegistrations()
{
    auto& commands = ArkApi::GetCommands();
    commands.UnregisterChatCommand(FString(kChatCommand));
    commands.UnregisterConsoleCommand(FString(kConsoleCommand));
    commands.UnregisterTimerCallback(FString(kTimer));
    commands.UnregisterChatCommand(FString(kSecondChatCommand));
}

void Samples::Add(benchmark::State& state, double seconds)
{
    state.SetIterationTime(seconds);
    seconds_.push_back(seconds);
}

double Samples::Median() const
{
    if (seconds_.empty()) return 0.0;
    std::vector<double> sorted = seconds_;
    const auto middle = sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2);
    std::nth_element(sorted.begin(), middle, sorted.end());
    return *middle;
}

UsageMeter::UsageMeter(const standin::Server& server) : server_(server) { Restart(); }

Usage UsageMeter::Read() const
{
    const HeapCounts heap = ProcessHeap();
    const standin::AllocatorAccounts game = server_.Allocations();
    Usage usage;
    usage.heapAllocations = heap.allocations - heap_.allocations;
    usage.gameAllocations =
        (game.totalAllocations + game.totalReallocations) - (game_.totalAllocations + game_.totalReallocations);
    return usage;
}

void UsageMeter::Restart()
{
    heap_ = ProcessHeap();
    game_ = server_.Allocations();
}

} // namespace qvbench
