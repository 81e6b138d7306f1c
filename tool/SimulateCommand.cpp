// A run is: check the config, parse the script, start the server, then alternate timer calls
// and scripted actions in time order up to the end.
#include "tool/SimulateCommand.h"

#include <chrono>
#include <optional>

#include <fmt/format.h>

#include "plugin/config/LoadConfig.h"
#include "plugin/config/Windows.h"
#include "tool/CheckCommand.h"
#include "tool/JsonEvents.h"
#include "tool/ScriptParser.h"
#include "tool/Timeline.h"
#include "util/BoundedFile.h"

namespace qvtool {

namespace {

namespace fs = std::filesystem;

// A script is parsed line by line into small actions, with no document tree as JSON has, so it
// costs a small multiple of its size: 16 MiB holds some 360,000 actions, far beyond a script
// written by hand or generated for a year of joins and leaves, and parses in a quarter of a second
// within 90 MB (measured).
constexpr std::size_t kMostScriptBytes = 16 * 1024 * 1024;

// Shown only after the first second, so that short runs stay quiet.
class Progress {
public:
    Progress(Output& output, const qv::LocalClock& clock, Instant start, Instant end)
        : output_(output), clock_(clock), start_(start), end_(end)
    {
    }
    ~Progress() { Clear(); }

    void operator()(Instant now)
    {
        if (!output_.ErrIsTerminal) return;
        const auto wallClock = std::chrono::steady_clock::now();
        if (wallClock - began_ < std::chrono::seconds(1) || wallClock - lastShown_ < std::chrono::milliseconds(100))
            return;
        lastShown_ = wallClock;
        const double done =
            end_ > start_ ? static_cast<double>((now - start_).count()) / static_cast<double>((end_ - start_).count())
                          : 1.0;
        output_.Err << fmt::format("\r  simulating: {} ({:3.0f}%)", FormatReadable(clock_, now), done * 100.0)
                    << std::flush;
        shown_ = true;
    }

    void Clear()
    {
        if (shown_) output_.Err << "\r" << std::string(50, ' ') << "\r" << std::flush;
        shown_ = false;
    }

private:
    Output& output_;
    const qv::LocalClock& clock_;
    Instant start_;
    Instant end_;
    std::chrono::steady_clock::time_point began_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point lastShown_;
    bool shown_ = false;
};

// The script's actions in time order; nothing, with the reason on err, when it cannot be read or
// holds a line that is wrong.
std::optional<std::vector<TimedAction>> ReadScript(const std::string& file, const qv::LocalClock& clock, Instant start,
                                                   Instant end, Output& output)
{
    std::variant<std::string, util::FileProblem> text = util::ReadBoundedFile(file, kMostScriptBytes, "a script");
    if (const auto* problem = std::get_if<util::FileProblem>(&text)) {
        output.Err << output.ErrStyle.Paint("error: ", Tone::Error) << file << " " << problem->What << '\n';
        return std::nullopt;
    }
    auto parsed = ParseScript(std::get<std::string>(text), clock, start, end);
    if (const auto* failure = std::get_if<ParseFailure>(&parsed)) {
        output.Err << output.ErrStyle.Paint("error: ", Tone::Error) << file << ": " << failure->Message << '\n';
        return std::nullopt;
    }
    return std::get<std::vector<TimedAction>>(std::move(parsed));
}

// The script's actions at their times, then the rest of the days; false, with the reason on err,
// when an action cannot be carried out.
bool Run(Simulation& server, const SimulateOptions& options, const std::vector<TimedAction>& script, Progress& progress,
         Instant end, Output& output)
{
    const fs::path scriptFolder = fs::path(options.Script).parent_path();
    const auto showProgress = [&progress](Instant now) { progress(now); };
    for (const TimedAction& step : script) {
        server.RunUntil(step.When, showProgress);
        try {
            server.Execute(step.What, scriptFolder);
        } catch (const ActionError& error) {
            progress.Clear();
            output.Err << output.ErrStyle.Paint("error: ", Tone::Error)
                       << fmt::format("{}: line {}: {}\n", options.Script, step.Line, error.what());
            return false;
        }
    }
    server.RunUntil(end, showProgress);
    progress.Clear();
    return true;
}

} // namespace

EventSink PrintingSink(Output& output, bool json, const qv::LocalClock& clock)
{
    if (json) {
        return [&output, clock](const Event& event) {
            output.Out << EventToJsonLine(event, clock) << '\n';
            RequireWritten(output.Out);
        };
    }
    return [&output, clock](const Event& event) {
        output.Out << FormatTimelineEvent(event, output.OutStyle, clock);
        RequireWritten(output.Out);
    };
}

bool ConfigReadable(const std::string& config, Output& output)
{
    const std::variant<std::string, util::FileProblem> text =
        util::ReadBoundedFile(config, qv::kMostConfigBytes, "a config file");
    const auto* problem = std::get_if<util::FileProblem>(&text);
    if (problem == nullptr) return true;
    output.Err << output.ErrStyle.Paint("error: ", Tone::Error) << config << " " << problem->What << '\n'
               << fmt::format("CONFIG is read as the plug-in reads config.json: a regular file of at most {} bytes.\n",
                              qv::kMostConfigBytes);
    return false;
}

void ReportConfigErrors(const CheckReport& report, Output& output)
{
    for (const auto& error : report.SettingsErrors)
        output.Err << output.ErrStyle.Paint("error: ", Tone::Error) << error << '\n';
    for (const auto& error : report.WeekendErrors)
        output.Err << output.ErrStyle.Paint("error: ", Tone::Error) << error << '\n';
    if (!report.Warnings.empty()) {
        output.Err << output.ErrStyle.Paint("note: ", Tone::Warning)
                   << fmt::format("{} warning{} about {}; see quorvandelle check\n", report.Warnings.size(),
                                  report.Warnings.size() == 1 ? "" : "s", report.File);
    }
}

std::unique_ptr<Simulation> StartServer(const ServerRunOptions& options, const qv::LocalClock& clock, int days,
                                        EventSink sink)
{
    SimulationOptions simulation;
    simulation.ConfigFile = options.Config;
    simulation.Start = options.Start;
    simulation.Library =
        options.Library.empty() ? standin::Server::LibraryBesideExecutable("Quorvandelle") : options.Library;
    simulation.Clock = clock;
    simulation.RealClock = options.RealClock;
    simulation.KeptFolder = options.KeptFolder;
    if (!fs::exists(simulation.Library)) {
        throw std::runtime_error("the plug-in library " + simulation.Library.string() +
                                 " is missing; build it beside this program");
    }
    auto server = std::make_unique<Simulation>(simulation, std::move(sink));
    server->Start(days);
    for (int i = 1; i <= options.Players; ++i) {
        Action join;
        join.Kind = ActionKind::Join;
        join.Name = fmt::format("player{}", i);
        join.Flag = i == 1;
        server->Execute(join, {});
    }
    return server;
}

int RunSimulate(const SimulateOptions& options, Output& output)
{
    if (!ConfigReadable(options.Run.Config, output)) return kUsageError;
    const CheckReport report = CheckConfig(options.Run.Config);
    const qv::LocalClock clock = ConfigClock(report);
    const Instant start = options.Run.Start;
    const Instant end = AddLocalDays(clock, start, options.Days);
    std::vector<TimedAction> script;
    if (!options.Script.empty()) {
        std::optional<std::vector<TimedAction>> read = ReadScript(options.Script, clock, start, end, output);
        if (!read) return kUsageError;
        script = std::move(*read);
    }

    ReportConfigErrors(report, output);
    if (!options.Run.Json) {
        output.Out << DescribeTiming(StandInTiming(), report.Config && qv::UsesTimesOfDay(*report.Config),
                                     report.Config && report.Config->ExactSwitching, options.Verbose)
                   << "\n\n";
    }
    const EventSink print = PrintingSink(output, options.Run.Json, clock);
    std::unique_ptr<Simulation> server;
    try {
        server = StartServer(options.Run, clock, options.Days, print);
    } catch (const std::exception& error) {
        output.Err << output.ErrStyle.Paint("error: ", Tone::Error) << error.what() << '\n';
        return kConfigErrors;
    }
    Progress progress(output, clock, start, end);
    if (!Run(*server, options, script, progress, end, output)) return kUsageError;
    print(Event{server->Now(), events::End{}});
    return report.HasErrors() ? kConfigErrors : kSuccess;
}

} // namespace qvtool
