// A switch-on and the switch back, each with its notification and chat line to every player, at
// several numbers of players; with no players as the baseline for the cost per player. Timed by
// the thread's processor time: with a thousand players a round trip outlasts a busy machine's time
// slices, so hardly any sample would be free of other processes' turns.
#include <benchmark/benchmark.h>

#include <utility>

#include "bench/BenchSupport.h"

namespace qvbench {

namespace {

void BM_SwitchRoundTrip(benchmark::State& state)
{
    const int players = static_cast<int>(state.range(0));
    RunningPlugin plugin = StartPlugin(players);
    standin::Server& server = plugin.server();
    Usage measured;
    Samples samples;
    for (auto _ : state) {
        // What the players received last time would otherwise pile up in the simulated game.
        server.ClearInboxes();
        server.ClearLog();
        plugin.SetDate(kSaturday);
        double iteration = TimeNextEvaluation(server, measured, TimeKind::ThreadCpu);
        plugin.SetDate(kWednesday);
        iteration += TimeNextEvaluation(server, measured, TimeKind::ThreadCpu);
        samples.Add(state, iteration);
    }

    if (players > 0) {
        // Every player, the last one included, got both announcements of both switches.
        const standin::Inbox inbox = server.InboxOf(plugin.players.back());
        if (inbox.notifications.size() != 2 || inbox.chatRecords.size() != 2) {
            state.SkipWithError("a player did not receive both announcements of both switches");
        }
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["median_us"] = samples.Median() * 1e6;
    if (players > 0) state.counters["median_ns_per_player"] = samples.Median() * 1e9 / players;
    state.counters["heap_allocs"] = static_cast<double>(measured.heapAllocations) / iterations;
    state.counters["fmemory_allocs"] = static_cast<double>(measured.gameAllocations) / iterations;
}

// Fixed iteration counts: every iteration also runs 1,200 untimed timer calls to reach the two
// evaluations, which the library would not count when it picks a number.
[[maybe_unused]] const bool registered = [] {
    const std::pair<int, benchmark::IterationCount> sizes[] = {{0, 400}, {1, 400}, {100, 100}, {1000, 20}};
    for (const auto& [players, iterations] : sizes) {
        benchmark::RegisterBenchmark("SwitchRoundTrip", BM_SwitchRoundTrip)
            ->ArgName("players")
            ->Arg(players)
            ->Iterations(iterations)
            ->UseManualTime()
            ->Unit(benchmark::kMicrosecond);
    }
    return true;
}();

} // namespace

} // namespace qvbench
