// Reading config files: the plug-in's LoadConfig against the JSON library parsing the same file
// alone, for the example config and for a file of mostly unknown members just under the size limit;
// what a reload does with files just under the limit in their costliest shapes; and the reload chat
// command end to end, against an empty chat command dispatched the same way.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <vector>

#include <nlohmann/json.hpp>

#include "bench/BenchSupport.h"
#include "plugin/config/Config.h"
#include "plugin/config/LoadConfig.h"
#include "plugin/rates/PluginState.h"

namespace qvbench {

namespace {

using namespace qv;

// Just under the plug-in's limit, whatever LargeConfigText adds beyond the bytes asked for.
constexpr std::size_t kLargeConfigBytes = kMostConfigBytes - 1024;

enum class ConfigFile { Example, Large };
enum class Reader { JsonLibraryAlone, LoadConfig };

// LoadConfig here is the plug-in's core linked into this executable, reading through the stand-in
// host like the loaded library does; its settings are this executable's own copy.
void BM_ReadConfig(benchmark::State& state, ConfigFile file, Reader reader)
{
    testing_support::PluginServer host(kWednesday.year, kWednesday.month, kWednesday.day);
    const std::string text = file == ConfigFile::Example ? ExampleConfigText() : LargeConfigText(kLargeConfigBytes);
    host.WriteConfigText(text);
    const std::string path = host.ConfigFile().string();

    const auto read = [&] {
        if (reader == Reader::LoadConfig) {
            const ConfigLoad load = LoadConfig(std::nullopt);
            if (!load.Loaded()) throw std::runtime_error(DescribeAll(load.File, load.Decoded.Errors));
            return;
        }
        std::ifstream input(path);
        nlohmann::json document = nlohmann::json::parse(input);
        benchmark::DoNotOptimize(document);
    };
    try {
        read();
    } catch (const std::exception& error) {
        state.SkipWithError(error.what());
        return;
    }

    UsageMeter meter(host.server());
    for (auto _ : state) read();
    const Usage usage = meter.Read();

    const double iterations = static_cast<double>(state.iterations());
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
    state.counters["file_bytes"] = static_cast<double>(text.size());
    state.counters["heap_allocs"] = static_cast<double>(usage.heapAllocations) / iterations;
    state.counters["fmemory_allocs"] = static_cast<double>(usage.gameAllocations) / iterations;
    // The strings belong to the game's allocator, which must outlive them.
    State = PluginState{};
}

enum class Shape { UnknownMembers, OneLongText, SmallNumbers, MembersInTheSection };

// A file just under the size limit, in the shapes that cost the most: many members, one long text,
// an array of small numbers (the most values a byte), many unknown members of the section (each one
// a warning to look at).
std::string NearTheLimit(Shape shape)
{
    const std::size_t room = kMostConfigBytes - ExampleConfigText().size() - 64;
    nlohmann::json config = nlohmann::json::parse(ExampleConfigText());
    switch (shape) {
    case Shape::UnknownMembers:
        return LargeConfigText(kLargeConfigBytes);
    case Shape::OneLongText:
        config["Padding"] = std::string(room, 'x');
        break;
    case Shape::SmallNumbers:
        config["Numbers"] = std::vector<int>(room / 2, 1);
        break;
    case Shape::MembersInTheSection:
        // "k123456":1, is eleven bytes or fewer: fill by that measure, then check the text.
        for (std::size_t i = 0, size = config.dump().size(); size + 11 < room; ++i) {
            const std::string key = "k" + std::to_string(i);
            config["Quorvandelle"][key] = 1;
            size += key.size() + 5;
        }
        break;
    }
    return config.dump();
}

// What a reload does with a file just under the limit: read, parse, decode, and look for probable
// mistakes. The aim is under 100 ms and 50 MB at the peak.
void BM_LoadNearTheLimit(benchmark::State& state, Shape shape)
{
    testing_support::PluginServer host(kWednesday.year, kWednesday.month, kWednesday.day);
    const std::string text = NearTheLimit(shape);
    host.WriteConfigText(text);
    double peak = 0.0;
    for (auto _ : state) {
        ResetPeakHeap();
        const std::uint64_t before = ProcessHeap().liveBytes;
        const ConfigLoad load = LoadConfig(std::nullopt);
        if (!load.Loaded()) {
            state.SkipWithError(DescribeAll(load.File, load.Decoded.Errors).c_str());
            break;
        }
        benchmark::DoNotOptimize(load.Decoded.Warnings);
        peak = std::max(peak, static_cast<double>(ProcessHeap().peakBytes - before));
    }
    state.counters["file_bytes"] = static_cast<double>(text.size());
    state.counters["peak_heap_mb"] = peak / (1024.0 * 1024.0);
    State = PluginState{};
}

// Chat lines from an administrator, through the stand-in's dispatch; the replies are cleared now
// and then so that the simulated game does not pile them up.
void MeasureChatCommand(benchmark::State& state, standin::Server& server, standin::PlayerId admin,
                        const std::string& line)
{
    UsageMeter meter(server);
    benchmark::IterationCount sinceClear = 0;
    for (auto _ : state) {
        if (!server.Chat(admin, line)) {
            state.SkipWithError(("no command matched " + line).c_str());
            break;
        }
        if (++sinceClear == 1024) {
            state.PauseTiming();
            server.ClearInboxes();
            server.ClearLog();
            sinceClear = 0;
            state.ResumeTiming();
        }
    }
    const Usage usage = meter.Read();
    const double iterations = static_cast<double>(state.iterations());
    state.counters["heap_allocs"] = static_cast<double>(usage.heapAllocations) / iterations;
    state.counters["fmemory_allocs"] = static_cast<double>(usage.gameAllocations) / iterations;
}

void BM_ReloadCommand(benchmark::State& state)
{
    RunningPlugin plugin = StartPlugin(1);
    standin::Server& server = plugin.server();
    MeasureChatCommand(state, server, plugin.players.front(), "/qvreload");
    const standin::Inbox inbox = server.InboxOf(plugin.players.front());
    if (inbox.directChats.empty() || inbox.directChats.back().text != "Config Reloaded!") {
        state.SkipWithError("the reload did not reply \"Config Reloaded!\"");
    }
}

// The status command: the reply a player gets, with normal rates in force (the next window worked
// out) and with the weekend values in force.
void BM_StatusCommand(benchmark::State& state, bool weekend)
{
    nlohmann::json config = nlohmann::json::parse(ExampleConfigText());
    config["Quorvandelle"]["StatusCommand"] = "/rates";
    RunningPlugin plugin = StartPlugin(1, config.dump());
    standin::Server& server = plugin.server();
    const standin::PlayerId admin = plugin.players.front();
    if (weekend) server.Chat(admin, "/ToggleQuorvandelle");
    MeasureChatCommand(state, server, admin, "/rates");
    const standin::Inbox inbox = server.InboxOf(admin);
    const std::string expected = weekend ? "Weekend rates are on" : "Normal rates are on";
    if (inbox.directChats.empty() || inbox.directChats.back().text.rfind(expected, 0) != 0) {
        state.SkipWithError(("the status reply did not start with " + expected).c_str());
    }
}

// The same with HundredWindowsConfigText on Wednesday 23:30 in Berlin: the dated window after the
// 99 daily ones is in force, until the first daily one opens.
void BM_StatusCommandHundredWindows(benchmark::State& state)
{
    RunningPlugin plugin = StartPlugin(1, HundredWindowsConfigText(true));
    standin::Server& server = plugin.server();
    server.SetClock(kWednesdayLateInBerlin);
    server.RunTimer(kIdleCallsBetweenEvaluations + 1);
    const standin::PlayerId admin = plugin.players.front();
    MeasureChatCommand(state, server, admin, "/rates");
    const standin::Inbox inbox = server.InboxOf(admin);
    if (inbox.directChats.empty() || inbox.directChats.back().text.rfind("Always rates are on until", 0) != 0) {
        state.SkipWithError("the status reply did not tell the dated window in force");
    }
}

void BM_EmptyChatCommand(benchmark::State& state)
{
    testing_support::PluginServer host(kWednesday.year, kWednesday.month, kWednesday.day);
    const EmptyRegistrations registrations;
    const standin::PlayerId admin = host.Join("Administrator", true);
    MeasureChatCommand(state, host.server(), admin, EmptyRegistrations::kChatCommand);
}

BENCHMARK_CAPTURE(BM_ReadConfig, example_json_alone, ConfigFile::Example, Reader::JsonLibraryAlone)
    ->Name("ReadConfig/example/json_library_alone")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ReadConfig, example_load, ConfigFile::Example, Reader::LoadConfig)
    ->Name("ReadConfig/example/LoadConfig")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_ReadConfig, large_json_alone, ConfigFile::Large, Reader::JsonLibraryAlone)
    ->Name("ReadConfig/1MiB_unknown_members/json_library_alone")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadConfig, large_load, ConfigFile::Large, Reader::LoadConfig)
    ->Name("ReadConfig/1MiB_unknown_members/LoadConfig")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadNearTheLimit, members, Shape::UnknownMembers)
    ->Name("LoadNearTheLimit/unknown_members")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadNearTheLimit, text, Shape::OneLongText)
    ->Name("LoadNearTheLimit/one_long_text")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadNearTheLimit, numbers, Shape::SmallNumbers)
    ->Name("LoadNearTheLimit/small_numbers")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LoadNearTheLimit, section, Shape::MembersInTheSection)
    ->Name("LoadNearTheLimit/members_in_the_section")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EmptyChatCommand)->Name("ChatCommand/empty_command")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReloadCommand)->Name("ChatCommand/qvreload_end_to_end")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_StatusCommand, normal, false)
    ->Name("ChatCommand/status_normal_rates")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_StatusCommand, weekend, true)
    ->Name("ChatCommand/status_weekend_rates")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StatusCommandHundredWindows)
    ->Name("ChatCommand/status_100_windows_until_9999")
    ->Unit(benchmark::kMicrosecond);

} // namespace

} // namespace qvbench
