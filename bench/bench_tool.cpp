// The administrators' tool over long runs, through its own commands with their output formatted
// and then discarded: a simulated year with 3 and with 100 players, and the console taking 2,500
// and 10,000 toggles. The figures that matter are the ratios between the sizes: a cost linear in
// simulated time and in the number of events keeps the year with 100 players close to the year
// with 3, and the cost of one toggle the same at both sizes.
#include <benchmark/benchmark.h>

#include <fstream>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>

#include "bench/BenchSupport.h"
#include "tool/ConsoleCommand.h"
#include "tool/SimulateCommand.h"

namespace qvbench {

namespace {

class DiscardingBuffer : public std::streambuf {
protected:
    int overflow(int c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

struct DiscardedOutput {
    DiscardingBuffer buffer;
    std::ostream out{&buffer};
    std::ostringstream err;
    qvtool::Output output{out, err, qvtool::Style(false), qvtool::Style(false), false};
};

// A Wednesday: the example's window opens two days later.
qvtool::ServerRunOptions RunOptions(int players, bool json)
{
    return {QV_EXAMPLE_CONFIG,
            qvtool::InstantOfWall(qv::LocalClock(), *qvtool::ParseLocalDateTime("2025-01-08T12:00")).Time, players,
            json};
}

void BM_SimulateYear(benchmark::State& state)
{
    const qvtool::SimulateOptions options{RunOptions(static_cast<int>(state.range(0)), true), 365, {}};
    for (auto _ : state) {
        DiscardedOutput output;
        if (qvtool::RunSimulate(options, output.output) != qvtool::kSuccess) {
            state.SkipWithError(("the simulation failed: " + output.err.str()).c_str());
        }
    }
}

// One simulated day from Wednesday noon with 3 players: the example (0), the example with a hundred
// windows (1), and with those and the new keys: three reminders, a zone and ExactSwitching (2), as
// bench/BenchSupport.h makes them. The third's cost over the second's is the figure.
void BM_SimulateDay(benchmark::State& state)
{
    const auto kind = state.range(0);
    testing_support::TempDirectory folder;
    const std::string file = (folder.Path() / "config.json").string();
    std::ofstream(file) << HundredWindowsConfigText(kind == 2);
    qvtool::ServerRunOptions run = RunOptions(3, true);
    if (kind != 0) run.Config = file;
    const qvtool::SimulateOptions options{run, 1, {}};
    for (auto _ : state) {
        DiscardedOutput output;
        if (qvtool::RunSimulate(options, output.output) != qvtool::kSuccess) {
            state.SkipWithError(("the simulation failed: " + output.err.str()).c_str());
        }
    }
}

void BM_ConsoleToggles(benchmark::State& state)
{
    const auto toggles = static_cast<int>(state.range(0));
    std::string input;
    for (int i = 0; i < toggles; ++i) input += "say player1 /ToggleQuorvandelle\n";
    for (auto _ : state) {
        std::istringstream in(input);
        DiscardedOutput output;
        if (qvtool::RunConsole(RunOptions(3, false), in, false, output.output) != qvtool::kSuccess ||
            !output.err.str().empty()) {
            state.SkipWithError(("the console failed: " + output.err.str()).c_str());
        }
    }
    state.counters["toggles"] = toggles;
}

BENCHMARK(BM_SimulateDay)
    ->Name("Tool/simulate_day")
    ->ArgName("example_100_windows_new_keys")
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond);
// Runs of a second or more: each size once a repetition.
BENCHMARK(BM_SimulateYear)
    ->Name("Tool/simulate_year")
    ->ArgName("players")
    ->Arg(3)
    ->Arg(100)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK(BM_ConsoleToggles)
    ->Name("Tool/console")
    ->ArgName("toggles")
    ->Arg(2500)
    ->Arg(10000)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

} // namespace

} // namespace qvbench
