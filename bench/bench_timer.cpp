// The host's timer call: between evaluations, against an empty callback registered and dispatched
// the same way; and the evaluation calls, with and without a switch.
#include <benchmark/benchmark.h>

#include <chrono>

#include <nlohmann/json.hpp>

#include "bench/BenchSupport.h"
#include "bench/Workloads.h"

namespace qvbench {

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

// Batches of the 600 calls that lie between two evaluations, each timed on its own; the evaluation
// after each batch runs untimed. Every timer call moves the simulated clock on by a second, so the
// date goes back to the Wednesday before each evaluation, which then switches nothing.
void MeasureIdleBatches(benchmark::State& state, testing_support::PluginServer& host)
{
    standin::Server& server = host.server();
    UsageMeter meter(server);
    Usage batches;
    Samples samples;
    for (auto _ : state) {
        meter.Restart();
        const auto start = Clock::now();
        IdleCallsUnderTest(server, kIdleCallsBetweenEvaluations);
        const double batch = Seconds(Clock::now() - start);
        batches += meter.Read();
        samples.Add(state, batch);
        host.SetDate(kWednesday.year, kWednesday.month, kWednesday.day);
        server.RunTimer(1);
    }
    const double calls = static_cast<double>(state.iterations()) * kIdleCallsBetweenEvaluations;
    state.counters["median_ns_per_call"] = samples.Median() * 1e9 / kIdleCallsBetweenEvaluations;
    state.counters["heap_allocs_per_call"] = static_cast<double>(batches.heapAllocations) / calls;
    state.counters["fmemory_allocs_per_call"] = static_cast<double>(batches.gameAllocations) / calls;
}

void BM_TimerCall_EmptyCallback(benchmark::State& state)
{
    testing_support::PluginServer host(kWednesday.year, kWednesday.month, kWednesday.day);
    const EmptyRegistrations registrations;
    MeasureIdleBatches(state, host);
}

enum class IdleConfig { Example, FiftySchedules, ExactSwitching, Welcome };

void BM_TimerCall_PluginIdle(benchmark::State& state, IdleConfig kind)
{
    nlohmann::json config = nlohmann::json::parse(ExampleConfigText());
    if (kind == IdleConfig::ExactSwitching) {
        config["Quorvandelle"]["ExactSwitching"] = true;
        config["Quorvandelle"]["TimeZone"] = "Europe/Berlin";
    }
    RunningPlugin plugin = StartPlugin(0, kind == IdleConfig::FiftySchedules ? FiftySchedulesConfigText()
                                          : kind == IdleConfig::Welcome      ? WelcomeConfigText()
                                                                             : config.dump());
    MeasureIdleBatches(state, *plugin.plugin);
    if (plugin.server().MessageOfTheDayChanges() != 0) state.SkipWithError("an evaluation switched the rates");
}

enum class Evaluation { NoSwitch, SwitchOn, SwitchBack, NoSwitchFiftySchedules };

// One evaluation call per iteration, timed on its own; the 600 calls before it, and the switch that
// brings the normal rates back for the next iteration, run untimed.
void BM_Evaluation(benchmark::State& state, Evaluation kind)
{
    RunningPlugin plugin =
        StartPlugin(0, kind == Evaluation::NoSwitchFiftySchedules ? FiftySchedulesConfigText() : ExampleConfigText());
    standin::Server& server = plugin.server();
    Usage measured;
    Samples samples;
    const auto untimedEvaluation = [&] { server.RunTimer(kIdleCallsBetweenEvaluations + 1); };
    for (auto _ : state) {
        switch (kind) {
        case Evaluation::NoSwitch:
        case Evaluation::NoSwitchFiftySchedules:
            plugin.SetDate(kWednesday);
            samples.Add(state, TimeNextEvaluation(server, measured));
            break;
        case Evaluation::SwitchOn:
            plugin.SetDate(kSaturday);
            samples.Add(state, TimeNextEvaluation(server, measured));
            plugin.SetDate(kWednesday);
            untimedEvaluation();
            break;
        case Evaluation::SwitchBack:
            plugin.SetDate(kSaturday);
            untimedEvaluation();
            plugin.SetDate(kWednesday);
            samples.Add(state, TimeNextEvaluation(server, measured));
            break;
        }
        server.ClearLog();
    }
    const bool switches = kind == Evaluation::SwitchOn || kind == Evaluation::SwitchBack;
    const auto expectedSwitches = switches ? 2 * state.iterations() : 0;
    if (server.MessageOfTheDayChanges() != expectedSwitches) {
        state.SkipWithError("the evaluations did not switch as this benchmark expects");
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["median_ns"] = samples.Median() * 1e9;
    state.counters["heap_allocs"] = static_cast<double>(measured.heapAllocations) / iterations;
    state.counters["fmemory_allocs"] = static_cast<double>(measured.gameAllocations) / iterations;
}

BENCHMARK(BM_TimerCall_EmptyCallback)->Name("TimerCall/empty_callback")->UseManualTime()->Unit(benchmark::kMicrosecond);
// With 99 daily windows and one dated window until 9999 after them, in force on Wednesday 23:40 in
// Berlin: each evaluation finds the next change and each window's next coming into force (every
// daily window within the day-ahead reminder), and the status reply the end of the one in force.
void BM_EvaluationHundredWindows(benchmark::State& state)
{
    // The count brings each evaluation: with ExactSwitching one due moment or another would.
    nlohmann::json config = nlohmann::json::parse(HundredWindowsConfigText(true));
    config["Quorvandelle"]["ExactSwitching"] = false;
    RunningPlugin plugin = StartPlugin(0, config.dump());
    standin::Server& server = plugin.server();
    Usage measured;
    Samples samples;
    for (auto _ : state) {
        server.SetClock(kWednesdayLateInBerlin);
        samples.Add(state, TimeNextEvaluation(server, measured));
        server.ClearLog();
    }
    if (!plugin.plugin->PluginLogMessages(standin::LogLevel::Error).empty())
        state.SkipWithError("an evaluation failed");
    state.counters["median_ns"] = samples.Median() * 1e9;
    state.counters["heap_allocs"] = static_cast<double>(measured.heapAllocations) / state.iterations();
}

BENCHMARK_CAPTURE(BM_TimerCall_PluginIdle, example, IdleConfig::Example)
    ->Name("TimerCall/plugin_idle")
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TimerCall_PluginIdle, fifty_schedules, IdleConfig::FiftySchedules)
    ->Name("TimerCall/plugin_idle_50_schedules")
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TimerCall_PluginIdle, exact_switching, IdleConfig::ExactSwitching)
    ->Name("TimerCall/plugin_idle_exact_switching")
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
// A welcome configured, its hook set, and nobody waiting: the same idle call.
BENCHMARK_CAPTURE(BM_TimerCall_PluginIdle, welcome, IdleConfig::Welcome)
    ->Name("TimerCall/plugin_idle_welcome")
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_EvaluationHundredWindows)
    ->Name("Evaluation/no_switch_100_windows_until_9999")
    ->UseManualTime()
    ->Iterations(2000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Evaluation, no_switch, Evaluation::NoSwitch)
    ->Name("Evaluation/no_switch")
    ->UseManualTime()
    ->Iterations(2000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Evaluation, no_switch_50_schedules, Evaluation::NoSwitchFiftySchedules)
    ->Name("Evaluation/no_switch_50_schedules")
    ->UseManualTime()
    ->Iterations(2000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Evaluation, switch_on, Evaluation::SwitchOn)
    ->Name("Evaluation/switch_on")
    ->UseManualTime()
    ->Iterations(500)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Evaluation, switch_back, Evaluation::SwitchBack)
    ->Name("Evaluation/switch_back")
    ->UseManualTime()
    ->Iterations(500)
    ->Unit(benchmark::kMicrosecond);

} // namespace

} // namespace qvbench
