// A run is: check the config, parse the script, start the server, then alternate timer calls
// and scripted actions in time order up to the end.
#include "tool/SimulateCommand.h"

#include <chrono>

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
    Progress(Output& output, Seconds start, Seconds end) : output_(output), start_(start), end_(end) {}
    ~Progress() { Clear(); }

    void operator()(Seconds now)
    {
        if (!output_.errIsTerminal) return;
        const auto wallClock = std::chrono::steady_clock::now();
        if (wallClock - began_ < std::chrono::seconds(1) || wallClock - lastShown_ < std::chrono::milliseconds(100))
            return;
        lastShown_ = wallClock;
        const double done =
            end_ > start_ ? static_cast<double>(now - start_) / static_cast<double>(end_ - start_) : 1.0;
        output_.err << fmt::format("\r  simulating: {} ({:3.0f}%)", FormatReadable(now), done * 100.0) << std::flush;
        shown_ = true;
    }

    void Clear()
    {
        if (shown_) output_.err << "\r" << std::string(50, ' ') << "\r" << std::flush;
        shown_ = false;
    }

private:
    Output& output_;
    Seconds start_;
    Seconds end_;
    std::chrono::steady_clock::time_point began_ = std::chrono::steady_clock::now();
    std::chrono::steady_clock::time_point lastShown_;
    bool shown_ = false;
};

} // namespace

EventSink PrintingSink(Output& output, bool json)
{
    if (json) {
        return [&output](const Event& event) {
            output.out << EventToJsonLine(event) << '\n';
            RequireWritten(output.out);
        };
    }
    return [&output](const Event& event) {
        output.out << FormatTimelineEvent(event, output.outStyle);
        RequireWritten(output.out);
    };
}

bool ConfigReadable(const std::string& config, Output& output)
{
    const std::variant<std::string, util::FileProblem> text =
        util::ReadBoundedFile(config, qv::kMostConfigBytes, "a config file");
    const auto* problem = std::get_if<util::FileProblem>(&text);
    if (problem == nullptr) return true;
    output.err << output.errStyle.Paint("error: ", Tone::Error) << config << " " << problem->What << '\n'
               << fmt::format("CONFIG is read as the plug-in reads config.json: a regular file of at most {} bytes.\n",
                              qv::kMostConfigBytes);
    return false;
}

CheckReport ReportConfigErrors(const std::string& config, Output& output)
{
    CheckReport report = CheckConfig(config);
    for (const auto& error : report.settingsErrors)
        output.err << output.errStyle.Paint("error: ", Tone::Error) << error << '\n';
    for (const auto& error : report.weekendErrors)
        output.err << output.errStyle.Paint("error: ", Tone::Error) << error << '\n';
    if (!report.warnings.empty()) {
        output.err << output.errStyle.Paint("note: ", Tone::Warning)
                   << fmt::format("{} warning{} about {}; see quorvandelle check\n", report.warnings.size(),
                                  report.warnings.size() == 1 ? "" : "s", config);
    }
    return report;
}

std::unique_ptr<Simulation> StartServer(const ServerRunOptions& options, int days, EventSink sink)
{
    SimulationOptions simulation;
    simulation.configFile = options.config;
    simulation.start = options.start;
    simulation.library =
        options.library.empty() ? standin::Server::LibraryBesideExecutable("Quorvandelle") : options.library;
    simulation.realClock = options.realClock;
    simulation.keptFolder = options.keptFolder;
    if (!fs::exists(simulation.library)) {
        throw std::runtime_error("the plug-in library " + simulation.library.string() +
                                 " is missing; build it beside this program");
    }
    auto server = std::make_unique<Simulation>(simulation, std::move(sink));
    server->Start(days);
    for (int i = 1; i <= options.players; ++i) {
        Action join;
        join.kind = ActionKind::Join;
        join.name = fmt::format("player{}", i);
        join.flag = i == 1;
        server->Execute(join, {});
    }
    return server;
}

int RunSimulate(const SimulateOptions& options, Output& output)
{
    const Seconds start = options.run.start;
    const Seconds end = AddLocalDays(start, options.days);

    if (!ConfigReadable(options.run.config, output)) return kUsageError;
    std::vector<TimedAction> script;
    if (!options.script.empty()) {
        std::variant<std::string, util::FileProblem> text =
            util::ReadBoundedFile(options.script, kMostScriptBytes, "a script");
        if (const auto* problem = std::get_if<util::FileProblem>(&text)) {
            output.err << output.errStyle.Paint("error: ", Tone::Error) << options.script << " " << problem->What
                       << '\n';
            return kUsageError;
        }
        auto parsed = ParseScript(std::get<std::string>(text), start, end);
        if (const auto* failure = std::get_if<ParseFailure>(&parsed)) {
            output.err << output.errStyle.Paint("error: ", Tone::Error) << options.script << ": " << failure->message
                       << '\n';
            return kUsageError;
        }
        script = std::get<std::vector<TimedAction>>(std::move(parsed));
    }

    const CheckReport report = ReportConfigErrors(options.run.config, output);
    const bool configErrors = report.HasErrors();
    if (!options.run.json) {
        output.out << DescribeTiming(StandInTiming(), report.config && qv::UsesTimesOfDay(*report.config),
                                     report.config && report.config->ExactSwitching, options.verbose)
                   << "\n\n";
    }
    std::unique_ptr<Simulation> server;
    try {
        server = StartServer(options.run, options.days, PrintingSink(output, options.run.json));
    } catch (const std::exception& error) {
        output.err << output.errStyle.Paint("error: ", Tone::Error) << error.what() << '\n';
        return kConfigErrors;
    }

    const fs::path scriptFolder = fs::path(options.script).parent_path();
    Progress progress(output, start, end);
    const auto showProgress = [&progress](Seconds now) { progress(now); };
    for (const TimedAction& step : script) {
        server->RunUntil(step.when, showProgress);
        try {
            server->Execute(step.action, scriptFolder);
        } catch (const ActionError& error) {
            progress.Clear();
            output.err << output.errStyle.Paint("error: ", Tone::Error)
                       << fmt::format("{}: line {}: {}\n", options.script, step.line, error.what());
            return kUsageError;
        }
    }
    server->RunUntil(end, showProgress);
    progress.Clear();

    PrintingSink(output, options.run.json)(Event{server->Now(), events::End{}});
    return configErrors ? kConfigErrors : kSuccess;
}

} // namespace qvtool
