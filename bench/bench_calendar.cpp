// The calendar command end to end (reading the config, working out the stretches, writing the feed
// or the page) over a year of a config with 100 windows: evenings on weekdays, afternoons at the
// weekend and dated events through the year, which split the weekly windows they fall in. It should
// take well under a second.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include "bench/BenchSupport.h"
#include "tests/support/PluginServer.h"
#include "tool/CalendarCommand.h"

namespace qvbench {

namespace {

std::string HundredWindowsConfigText()
{
    nlohmann::json config = nlohmann::json::parse(ExampleConfigText());
    nlohmann::json schedules = nlohmann::json::array();
    for (int i = 0; i < 50; ++i) {
        schedules.push_back({{"Name", "Hour " + std::to_string(i)},
                             {"Days", {i % 7}},
                             {"From", fmt::format("{:02}:{:02}", 8 + i % 14, i % 4 * 15)},
                             {"Until", fmt::format("{:02}:00", 9 + i % 14)},
                             {"XPMultiplier", 1.0 + i % 5}});
    }
    for (int i = 0; i < 50; ++i) {
        const int month = 1 + i % 12;
        const int day = 1 + i * 7 % 27;
        schedules.push_back({{"Name", "Event " + std::to_string(i)},
                             {"From", fmt::format("2026-{:02}-{:02}T{:02}:00", month, day, 10 + i % 8)},
                             {"Until", fmt::format("2026-{:02}-{:02}T23:00", month, day + 1)},
                             {"HarvestAmountMultiplier", 3}});
    }
    config["Quorvandelle"]["Schedules"] = schedules;
    return config.dump(2);
}

void BM_CalendarYear(benchmark::State& state)
{
    const testing_support::TempDirectory folder;
    const std::filesystem::path file = folder.Path() / "config.json";
    std::ofstream(file) << HundredWindowsConfigText();
    const qvtool::CalendarOptions options{
        file.string(),
        qvtool::InstantOfWall(qv::LocalClock(), *qvtool::ParseLocalDateTime("2026-01-01")).Time,
        365,
        state.range(0) == 0 ? qvtool::CalendarFormat::Feed : qvtool::CalendarFormat::Page,
        {}};
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::ostringstream out, err;
        qvtool::Output output{out, err, qvtool::Style(false), qvtool::Style(false), false};
        if (qvtool::RunCalendar(options, output) != qvtool::kSuccess) {
            state.SkipWithError(("the calendar failed: " + err.str()).c_str());
            break;
        }
        bytes = out.str().size();
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

BENCHMARK(BM_CalendarYear)
    ->Name("Tool/calendar_year_100_windows")
    ->ArgName("html")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

} // namespace

} // namespace qvbench
