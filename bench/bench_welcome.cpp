// A join as the game thread pays for it: through the host's chain on the game's new-player handler,
// with the plug-in's detour noting the player for a welcome, against the same join without the
// hook; and the idle timer call while the hook is set and nobody waits.
#include <benchmark/benchmark.h>

#include <chrono>

#include "bench/BenchSupport.h"
#include "bench/Workloads.h"

namespace qvbench {

namespace {

using Clock = std::chrono::steady_clock;

enum class JoinKind {
    Unhooked,      // no welcome configured: no detour
    HookedNormal,  // a welcome configured, normal rates in force: the detour only looks
    HookedBoosted, // a welcome configured, the weekend in force: the detour notes the player
};

// One join per iteration, timed on its own; the player leaves again untimed, and the joins are
// settled as the callgrind workload settles them.
void BM_Join(benchmark::State& state, JoinKind kind)
{
    RunningPlugin plugin = StartPlugin(0, kind == JoinKind::Unhooked ? ExampleConfigText() : WelcomeConfigText());
    standin::Server& server = plugin.server();
    if (kind != JoinKind::HookedNormal) {
        plugin.SetDate(kSaturday);
        server.RunTimer(kIdleCallsBetweenEvaluations + 1);
    }
    standin::PlayerProfile profile;
    profile.name = "Joiner";
    UsageMeter meter(server);
    Usage joins;
    Samples samples;
    std::int64_t count = 0;
    for (auto _ : state) {
        meter.Restart();
        const auto start = Clock::now();
        const standin::PlayerId player = JoinUnderTest(server, profile);
        samples.Add(state, std::chrono::duration<double>(Clock::now() - start).count());
        joins += meter.Read();
        server.RemovePlayer(player);
        if (++count % kJoinsPerSettle == 0) server.RunTimer(kCallsToSettle);
    }
    if (server.Hooks().empty() != (kind == JoinKind::Unhooked)) state.SkipWithError("the hook is not as expected");
    const double iterations = static_cast<double>(state.iterations());
    state.counters["median_ns"] = samples.Median() * 1e9;
    state.counters["heap_allocs"] = static_cast<double>(joins.heapAllocations) / iterations;
}

BENCHMARK_CAPTURE(BM_Join, unhooked, JoinKind::Unhooked)
    ->Name("Join/no_hook")
    ->UseManualTime()
    ->Iterations(20000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Join, hooked_normal, JoinKind::HookedNormal)
    ->Name("Join/hooked_normal_rates")
    ->UseManualTime()
    ->Iterations(20000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Join, hooked_boosted, JoinKind::HookedBoosted)
    ->Name("Join/hooked_weekend")
    ->UseManualTime()
    ->Iterations(20000)
    ->Unit(benchmark::kMicrosecond);

} // namespace

} // namespace qvbench
