// What the measurements share: the example config and a large one, the days the example's
// Friday-to-Monday window is open and closed, a stand-in server with the real plug-in loaded, and
// host registrations that do nothing, dispatched as the plug-in's are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/HeapCounter.h"
#include "standin/server/Server.h"
#include "tests/support/PluginServer.h"

namespace qvbench {

// Counted timer calls between two evaluations: the 601st after one evaluation is the next.
inline constexpr int kIdleCallsBetweenEvaluations = 600;

struct Date {
    int year;
    int month;
    int day;
};
// The example's window opens on Friday and closes on Monday.
inline constexpr Date kWednesday{2026, 12, 9};
inline constexpr Date kSaturday{2026, 12, 12};
// Wednesday 2026-12-09 22:30 UTC, 23:30 in Berlin: no daily window of HundredWindowsConfigText is
// open until after midnight.
inline constexpr std::int64_t kWednesdayLateInBerlin = 1796855400;

// examples/config.json, byte for byte.
std::string ExampleConfigText();
// The example with fifty weekly windows (ten on each weekday morning, half an hour each, some with
// rates of their own) and reminders 60 and 10 minutes ahead; none is open on a Wednesday afternoon.
std::string FiftySchedulesConfigText();
// The example with a hundred windows: 99 daily ones of 14 minutes spread over the day, some with
// rates of their own, then one dated window open until 9999 (in force whenever no daily one is),
// and the status command "/rates". With the new keys, in Europe/Berlin with ExactSwitching and
// reminders 1440, 60 and 10 minutes ahead.
std::string HundredWindowsConfigText(bool newKeys);
// The example with a welcome for players who join during the weekend, 30 s after they join.
std::string WelcomeConfigText();
// The example's members plus unknown members, inside its section and beside it, up to about bytes.
std::string LargeConfigText(std::size_t bytes);

// A server on a Wednesday with the example config and the players connected (the first an
// administrator), the plug-in loaded and its first evaluation done: normal rates in force, and the
// next evaluation 601 timer calls away.
struct RunningPlugin {
    std::unique_ptr<testing_support::PluginServer> plugin;
    std::vector<standin::PlayerId> players;

    standin::Server& server() { return plugin->server(); }
    void SetDate(Date date) { plugin->SetDate(date.year, date.month, date.day); }
};
RunningPlugin StartPlugin(int players, const std::string& config = ExampleConfigText());

// Joins with the settling around them: every kJoinsPerSettle joins, the timer runs until the
// welcomes of those joins are due (none goes out: each player has left again), so that never more
// players wait than a crowd reconnecting at once.
inline constexpr int kJoinsPerSettle = 100;
inline constexpr int kCallsToSettle = 31;

// The four registrations the plug-in makes (two chat commands, a console command, a timer), with
// callables that do nothing and names of their own; removed again on destruction.
class EmptyRegistrations {
public:
    EmptyRegistrations();
    ~EmptyRegistrations();
    EmptyRegistrations(const EmptyRegistrations&) = delete;
    EmptyRegistrations& operator=(const EmptyRegistrations&) = delete;

    static constexpr const char* kChatCommand = "/qvbenchempty";
};

// Heap and game-allocator use over a stretch of work.
struct Usage {
    std::uint64_t heapAllocations = 0;
    std::uint64_t gameAllocations = 0; // FMemory allocations and reallocations

    Usage& operator+=(const Usage& other)
    {
        heapAllocations += other.heapAllocations;
        gameAllocations += other.gameAllocations;
        return *this;
    }
};

class UsageMeter;

// The times of single iterations. On a busy machine some iterations share the processor with
// other work or lose it for a whole time slice; the median of the samples shrugs those off where
// the library's mean does not.
class Samples {
public:
    // Hands the time on to the library as the iteration's time, too.
    void Add(benchmark::State& state, double seconds);
    double Median() const;

private:
    std::vector<double> seconds_;
};

enum class TimeKind {
    Wall,
    // The thread's own processor time: what a sample of several milliseconds, longer than the
    // time slices of a busy machine, can still be measured by.
    ThreadCpu,
};

// Runs the 600 calls before the next evaluation untimed, then the evaluating call alone under the
// clock. Adds what that call allocated to usage and returns how long it took, in seconds.
double TimeNextEvaluation(standin::Server& server, Usage& usage, TimeKind kind = TimeKind::Wall);

class UsageMeter {
public:
    explicit UsageMeter(const standin::Server& server);
    // What was allocated since construction or the last Restart.
    Usage Read() const;
    void Restart();

private:
    const standin::Server& server_;
    HeapCounts heap_;
    standin::AllocatorAccounts game_;
};

} // namespace qvbench
