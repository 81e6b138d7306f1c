// The benchmark runner: Google Benchmark's own table, then a summary that sets each figure against
// its baseline from the same run (medians when the run is repeated); the exit status is 1 when a
// measurement failed. With --workload=<name> it runs one fixed workload instead, for
// callgrind-counts.sh.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include <fmt/format.h>
#include <unistd.h>

#include "bench/BenchSupport.h"
#include "bench/Workloads.h"

namespace qvbench {

namespace {

struct Result {
    double seconds = 0.0;    // per iteration
    double cpuSeconds = 0.0; // per iteration, the process's processor time
    benchmark::UserCounters counters;

    double Counter(const std::string& name) const
    {
        const auto found = counters.find(name);
        return found == counters.end() ? 0.0 : found->second.value;
    }
};

std::string Duration(double seconds)
{
    // A difference of two noisy times can come out below zero.
    if (seconds < 0.0) return "-" + Duration(-seconds);
    if (seconds < 1e-6) return fmt::format("{:.1f} ns", seconds * 1e9);
    if (seconds < 1e-3) return fmt::format("{:.2f} us", seconds * 1e6);
    if (seconds < 1.0) return fmt::format("{:.2f} ms", seconds * 1e3);
    return fmt::format("{:.2f} s", seconds);
}

class SummaryReporter : public benchmark::ConsoleReporter {
public:
    SummaryReporter() : ConsoleReporter(isatty(STDOUT_FILENO) != 0 ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.error_occurred) {
                failed_ = true;
                continue;
            }
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            if (run.run_type == Run::RT_Aggregate && !median) continue;
            std::string key = run.run_name.function_name;
            if (!run.run_name.args.empty()) key += "/" + run.run_name.args;
            if (!median && medians_.count(key) != 0) continue;
            if (median) medians_.insert(key);
            const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
            results_[key] = Result{run.GetAdjustedRealTime() / unit, run.GetAdjustedCPUTime() / unit, run.counters};
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        std::ostream& out = GetOutputStream();
        out << "\nSummary (timer calls and switches: the median iteration of a run"
            << (medians_.empty() ? "" : "; every figure: the median of the repetitions") << ")\n";
        PrintIdleCall(out);
        PrintJoin(out);
        PrintEvaluations(out);
        PrintSwitching(out);
        PrintConfig(out);
        PrintMemory(out);
        PrintTool(out);
    }

    // A measurement that found the plug-in misbehaving (SkipWithError) fails the run, so that a
    // script can tell it from figures that are merely slow.
    bool Failed() const { return failed_; }

private:
    std::map<std::string, Result> results_;
    std::set<std::string> medians_;
    bool failed_ = false;

    const Result* Find(const std::string& key) const
    {
        const auto found = results_.find(key);
        return found == results_.end() ? nullptr : &found->second;
    }

    void PrintIdleCall(std::ostream& out) const
    {
        const Result* plugin = Find("TimerCall/plugin_idle");
        const Result* empty = Find("TimerCall/empty_callback");
        if (plugin == nullptr || empty == nullptr) return;
        if (const Result* fifty = Find("TimerCall/plugin_idle_50_schedules")) {
            out << fmt::format("  idle timer call with 50 schedules and reminders: {:.1f} ns, ratio {:.2f}x the empty "
                               "callback (aim: within 1.2x), {:.3f} heap allocations per call\n",
                               fifty->Counter("median_ns_per_call"),
                               fifty->Counter("median_ns_per_call") / empty->Counter("median_ns_per_call"),
                               fifty->Counter("heap_allocs_per_call"));
        }
        const double pluginCall = plugin->Counter("median_ns_per_call");
        const double emptyCall = empty->Counter("median_ns_per_call");
        out << fmt::format(
            "  idle timer call through the stand-in's timer dispatch: plug-in {:.1f} ns, empty callback {:.1f} ns, "
            "ratio {:.2f}x (aim: within 2x)\n",
            pluginCall, emptyCall, pluginCall / emptyCall);
        const double pluginHeap = plugin->Counter("heap_allocs_per_call");
        const double emptyHeap = empty->Counter("heap_allocs_per_call");
        out << fmt::format("  heap allocations per idle call: {:.3f} with the plug-in, {:.3f} with the empty callback "
                           "(the plug-in's own: {:.3f}); FMemory: {:.3f} and {:.3f}\n",
                           pluginHeap, emptyHeap, pluginHeap - emptyHeap, plugin->Counter("fmemory_allocs_per_call"),
                           empty->Counter("fmemory_allocs_per_call"));
    }

    void PrintJoin(std::ostream& out) const
    {
        const Result* none = Find("Join/no_hook");
        const Result* normal = Find("Join/hooked_normal_rates");
        const Result* weekend = Find("Join/hooked_weekend");
        if (none == nullptr || normal == nullptr || weekend == nullptr) return;
        const double base = none->Counter("median_ns");
        out << fmt::format("  a join through the host's chain: {:.0f} ns without the hook; with the plug-in's detour "
                           "{:.0f} ns at normal rates, {:.0f} ns noting a player during the weekend: the plug-in's "
                           "share {:.0f} ns (aim: under 2 us); heap allocations per join {:.2f}, {:.2f} and {:.2f}\n",
                           base, normal->Counter("median_ns"), weekend->Counter("median_ns"),
                           weekend->Counter("median_ns") - base, none->Counter("heap_allocs"),
                           normal->Counter("heap_allocs"), weekend->Counter("heap_allocs"));
        if (const Result* idle = Find("TimerCall/plugin_idle_welcome")) {
            out << fmt::format("  idle timer call with a welcome configured and nobody waiting: {:.1f} ns\n",
                               idle->Counter("median_ns_per_call"));
        }
    }

    void PrintEvaluations(std::ostream& out) const
    {
        const Result* idle = Find("TimerCall/plugin_idle");
        for (const char* kind : {"no_switch", "no_switch_50_schedules", "switch_on", "switch_back"}) {
            const Result* evaluation = Find(std::string("Evaluation/") + kind);
            if (evaluation == nullptr) continue;
            const double nanoseconds = evaluation->Counter("median_ns");
            std::string line = fmt::format("  evaluation, {}: {}", kind, Duration(nanoseconds * 1e-9));
            if (idle != nullptr) {
                line += fmt::format(" = {:.1f} idle calls", nanoseconds / idle->Counter("median_ns_per_call"));
            }
            out << line
                << fmt::format(" ({:.0f} heap and {:.0f} FMemory allocations)\n", evaluation->Counter("heap_allocs"),
                               evaluation->Counter("fmemory_allocs"));
        }
    }

    void PrintSwitching(std::ostream& out) const
    {
        const auto roundTrip = [&](int players) -> std::optional<double> {
            const Result* result = Find("SwitchRoundTrip/players:" + std::to_string(players));
            if (result == nullptr) return std::nullopt;
            return result->Counter("median_us") * 1e-6;
        };
        const std::optional<double> none = roundTrip(0);
        bool header = false;
        for (int players : {1, 100, 1000}) {
            const std::optional<double> some = roundTrip(players);
            if (!some) continue;
            if (!header) {
                out << "  switch on + back with both announcements, thread CPU time"
                    << (none ? fmt::format(" (no players: {})", Duration(*none)) : "") << ":\n";
                header = true;
            }
            std::string line = fmt::format("    {:>5} players: {:>10}, per player {:>10}", players, Duration(*some),
                                           Duration(*some / players));
            if (none) {
                line +=
                    fmt::format(", per player beyond the no-player switch {:>10}", Duration((*some - *none) / players));
            }
            out << line << "\n";
        }
    }

    // Processor time: these measurements are timed by the library, with no median of their own.
    void PrintConfig(std::ostream& out) const
    {
        for (const char* file : {"example", "1MiB_unknown_members"}) {
            const Result* load = Find(std::string("ReadConfig/") + file + "/LoadConfig");
            const Result* json = Find(std::string("ReadConfig/") + file + "/json_library_alone");
            if (load == nullptr || json == nullptr) continue;
            out << fmt::format("  config {} ({:.0f} bytes), CPU time: LoadConfig {}, the JSON library alone {}, "
                               "ratio {:.2f}x\n",
                               file, load->Counter("file_bytes"), Duration(load->cpuSeconds),
                               Duration(json->cpuSeconds), load->cpuSeconds / json->cpuSeconds);
        }
        double slowest = 0.0;
        double largest = 0.0;
        for (const char* shape : {"unknown_members", "one_long_text", "small_numbers", "members_in_the_section"}) {
            if (const Result* load = Find(std::string("LoadNearTheLimit/") + shape)) {
                slowest = std::max(slowest, load->cpuSeconds);
                largest = std::max(largest, load->Counter("peak_heap_mb"));
            }
        }
        if (slowest > 0.0) {
            out << fmt::format(
                "  a reload's read of a file just under the 1 MiB limit, the costliest of four shapes: {} "
                "CPU (aim: under 100 ms), heap peak {:.1f} MB (aim: under 50 MB)\n",
                Duration(slowest), largest);
        }
        const Result* reload = Find("ChatCommand/qvreload_end_to_end");
        if (reload == nullptr) return;
        std::string line = fmt::format("  /qvreload end to end, CPU time: {}", Duration(reload->cpuSeconds));
        if (const Result* load = Find("ReadConfig/example/LoadConfig")) {
            line += fmt::format(" = {:.2f}x LoadConfig of the example", reload->cpuSeconds / load->cpuSeconds);
        }
        if (const Result* empty = Find("ChatCommand/empty_command")) {
            line += fmt::format("; an empty chat command: {}", Duration(empty->cpuSeconds));
        }
        out << line << "\n";
    }

    void PrintMemory(std::ostream& out) const
    {
        for (const char* name : {"Memory/week1_vs_year", "Memory/week1_vs_year_50_schedules"}) PrintMemory(out, name);
    }

    void PrintMemory(std::ostream& out, const std::string& name) const
    {
        const Result* memory = Find(name);
        if (memory == nullptr) return;
        const auto row = [&](const char* what, const std::string& counter) {
            const double week = memory->Counter(counter + "_week1");
            const double year = memory->Counter(counter + "_year");
            out << fmt::format("    {:<34} {:>12.0f} {:>12.0f} {:>+10.0f}\n", what, week, year, year - week);
        };
        out << fmt::format("  memory after the first week and after 52 weeks{} ({:.0f} switches):\n",
                           name.find("50_schedules") != std::string::npos ? ", 50 schedules and reminders" : "",
                           memory->Counter("switches"));
        out << fmt::format("    {:<34} {:>12} {:>12} {:>10}\n", "", "week 1", "week 52", "growth");
        row("FMemory live blocks", "fmemory_blocks");
        row("FMemory live bytes", "fmemory_bytes");
        row("process heap live blocks (new)", "heap_blocks");
        row("process heap live bytes (new)", "heap_bytes");
    }

    // Processor time for the ratios: runs of seconds on a shared machine lose time to other work.
    void PrintTool(std::ostream& out) const
    {
        const Result* few = Find("Tool/simulate_year/players:3");
        const Result* many = Find("Tool/simulate_year/players:100");
        if (few != nullptr && many != nullptr) {
            out << fmt::format("  quorvandelle simulate, a year: 3 players {} ({} CPU; aim: under 2 s), 100 players {} "
                               "CPU, ratio {:.2f}x (aim: at most 1.5x)\n",
                               Duration(few->seconds), Duration(few->cpuSeconds), Duration(many->cpuSeconds),
                               many->cpuSeconds / few->cpuSeconds);
        }
        if (const Result* rcon = Find("Rcon/1000_commands_16_clients")) {
            out << fmt::format("  serve's RCON, 1,000 commands from 16 clients, each answered once on the game "
                               "thread: {} (aim: under 1 s)\n",
                               Duration(rcon->seconds));
        }
        const Result* small = Find("Tool/console/toggles:2500");
        const Result* large = Find("Tool/console/toggles:10000");
        if (small != nullptr && large != nullptr) {
            const double smallEach = small->cpuSeconds / small->Counter("toggles");
            const double largeEach = large->cpuSeconds / large->Counter("toggles");
            out << fmt::format("  quorvandelle console, CPU time a toggle: {} of 2,500, {} of 10,000, ratio {:.2f}x "
                               "(linear: about 1x)\n",
                               Duration(smallEach), Duration(largeEach), largeEach / smallEach);
        }
    }
};

} // namespace

} // namespace qvbench

int main(int argc, char** argv)
{
    constexpr std::string_view workloadFlag = "--workload=";
    if (argc == 2 && std::string_view(argv[1]).substr(0, workloadFlag.size()) == workloadFlag) {
        return qvbench::RunWorkload(std::string_view(argv[1]).substr(workloadFlag.size()));
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    qvbench::SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.Failed() ? 1 : 0;
}
