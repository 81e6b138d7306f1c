// Memory after a simulated year of weekly switches against memory after the first week, with the
// example config and with fifty windows and reminders: the game's allocator, as the stand-in
// accounts for it, and the process heap.
#include <benchmark/benchmark.h>

#include "bench/BenchSupport.h"

namespace qvbench {

namespace {

constexpr int kPlayers = 10;
constexpr int kSecondsPerDay = 24 * 60 * 60;
constexpr int kDaysPerWeek = 7;
constexpr int kWeeksPerYear = 52;

// Exact accounts only: glibc's own statistics (mallinfo2) count the blocks held in its per-thread
// cache as in use, so they move by a few hundred bytes with the order of recent frees.
struct MemoryUse {
    standin::AllocatorAccounts game;
    HeapCounts heap;
};

MemoryUse Measure(const standin::Server& server) { return MemoryUse{server.Allocations(), ProcessHeap()}; }

void BM_MemoryOverAYear(benchmark::State& state, bool fiftySchedules)
{
    for (auto _ : state) {
        RunningPlugin plugin = StartPlugin(kPlayers, fiftySchedules ? FiftySchedulesConfigText() : ExampleConfigText());
        standin::Server& server = plugin.server();
        // One timer call per simulated second. What the players received and the log records are
        // dropped every day: they are the simulated game's and the host's memory, not the plug-in's.
        const auto runDays = [&](int days) {
            for (int day = 0; day < days; ++day) {
                server.RunTimer(kSecondsPerDay);
                server.ClearInboxes();
                server.ClearLog();
            }
        };
        runDays(kDaysPerWeek);
        const MemoryUse firstWeek = Measure(server);
        const int switchesInFirstWeek = server.MessageOfTheDayChanges();
        runDays((kWeeksPerYear - 1) * kDaysPerWeek);
        const MemoryUse year = Measure(server);

        // Every week repeats the first: the example switches on and back once, the fifty windows more often.
        if (switchesInFirstWeek < 2 || server.MessageOfTheDayChanges() != switchesInFirstWeek * kWeeksPerYear) {
            state.SkipWithError("the year did not switch the same way every week");
        }
        const auto counter = [&](const char* name, double value) { state.counters[name] = value; };
        counter("switches", server.MessageOfTheDayChanges());
        counter("fmemory_blocks_week1", static_cast<double>(firstWeek.game.liveBlocks));
        counter("fmemory_blocks_year", static_cast<double>(year.game.liveBlocks));
        counter("fmemory_bytes_week1", static_cast<double>(firstWeek.game.liveBytes));
        counter("fmemory_bytes_year", static_cast<double>(year.game.liveBytes));
        counter("heap_blocks_week1", static_cast<double>(firstWeek.heap.LiveBlocks()));
        counter("heap_blocks_year", static_cast<double>(year.heap.LiveBlocks()));
        counter("heap_bytes_week1", static_cast<double>(firstWeek.heap.liveBytes));
        counter("heap_bytes_year", static_cast<double>(year.heap.liveBytes));
    }
}

// One simulated year is a long run of its own: never repeated.
BENCHMARK_CAPTURE(BM_MemoryOverAYear, example, false)
    ->Name("Memory/week1_vs_year")
    ->Iterations(1)
    ->Repetitions(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_MemoryOverAYear, fifty_schedules, true)
    ->Name("Memory/week1_vs_year_50_schedules")
    ->Iterations(1)
    ->Repetitions(1)
    ->Unit(benchmark::kSecond);

} // namespace

} // namespace qvbench
