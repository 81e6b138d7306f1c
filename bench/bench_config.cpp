// Reading config files: the plug-in's LoadConfig against the JSON library parsing the same file
// alone, for the example config and for a 1 MB file of mostly unknown members; and the reload chat
// command end to end, against an empty chat command dispatched the same way.
#include <benchmark/benchmark.h>

#include <fstream>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "bench/BenchSupport.h"
#include "plugin/config/LoadConfig.h"
#include "plugin/config/PluginSettings.h"

namespace qvbench {

namespace {

constexpr std::size_t kLargeConfigBytes = std::size_t{1} << 20;

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
            if (LoadConfig() != LoadOutcome::Loaded) throw std::runtime_error(path + " not found");
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
    PluginSettings = Settings{};
    ConfigDocument = nullptr;
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
    ->Name("ReadConfig/1MB_unknown_members/json_library_alone")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ReadConfig, large_load, ConfigFile::Large, Reader::LoadConfig)
    ->Name("ReadConfig/1MB_unknown_members/LoadConfig")
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EmptyChatCommand)->Name("ChatCommand/empty_command")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReloadCommand)->Name("ChatCommand/qvreload_end_to_end")->Unit(benchmark::kMicrosecond);

} // namespace

} // namespace qvbench
