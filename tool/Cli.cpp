// CLI11 does the parsing; dates and durations are checked here so that a bad one is a usage
// error with a message that says what the tool accepts.
#include "tool/Cli.h"

#include <chrono>
#include <optional>
#include <utility>
#include <vector>

#include <CLI/CLI.hpp>
#include <fmt/format.h>

#include "tool/CalendarCommand.h"
#include "tool/CheckCommand.h"
#include "tool/ConsoleCommand.h"
#include "tool/PreviewCommand.h"
#include "tool/ScriptParser.h"
#include "tool/ServeCommand.h"
#include "tool/SimulateCommand.h"

#ifndef QV_VERSION
#error "QV_VERSION must be defined by the build"
#endif

namespace qvtool {

namespace {

const CLI::Validator kDateTime(
    [](std::string& text) {
        return ParseLocalDateTime(text)
                   ? std::string()
                   : "expected a local date YYYY-MM-DD or date and time YYYY-MM-DDTHH:MM[:SS], got " + text;
    },
    "DATETIME");

// The calendar's formats by the names --format takes, in the order the help names them.
const std::pair<const char*, CalendarFormat> kCalendarFormats[] = {{"ics", CalendarFormat::Feed},
                                                                   {"html", CalendarFormat::Page}};

const CLI::Validator kCalendarFormat(
    [](std::string& text) {
        for (const auto& [name, format] : kCalendarFormats) {
            if (text == name) return std::string();
        }
        return "expected ics or html, got " + text;
    },
    "");

CalendarFormat CalendarFormatNamed(const std::string& name)
{
    for (const auto& [known, format] : kCalendarFormats) {
        if (name == known) return format;
    }
    return CalendarFormat::Feed;
}

// What the command line says, as CLI11 fills it in.
struct Arguments {
    std::string Config;
    std::string From;
    std::string Script;
    std::string OutputFile;
    int PreviewDays = 14;
    int SimulateDays = 7;
    int CalendarDays = 90;
    int Players = 3;
    bool Verbose = false;
    bool Json = false;
    bool Strict = false;
    bool Quiet = false;
    std::string Format;
    ServeOptions Serve;
};

// A parsed command line with what a subcommand runs on.
struct Invocation {
    const Arguments& Given;
    // The tool reads and shows times where the plug-in reads them: on the config's clock when the
    // file loads, else the host's local time.
    const qv::LocalClock& Clock;
    std::istream& In;
    bool InIsTerminal;
};

CLI::Option* AddConfig(CLI::App& command, std::string& config)
{
    return command.add_option("CONFIG", config, "the config file (config.json)")->required()->check(CLI::ExistingFile);
}

CLI::Option* AddFrom(CLI::App& command, std::string& from, const char* what)
{
    return command.add_option("--from", from, what)->check(kDateTime);
}

CLI::Option* AddPlayers(CLI::App& command, int& players)
{
    return command.add_option("--players", players, "players who join at the start (player1 is an administrator)")
        ->capture_default_str()
        ->check(CLI::Range(0, 100));
}

// --from on the invocation's clock, now without it. A time that the clock skips is moved to the end
// of the gap; the administrator is told where to.
Instant StartTime(const Invocation& invocation, Output& output)
{
    const std::string& from = invocation.Given.From;
    if (from.empty()) return CurrentTime();
    const LocalDateTime start = *ReadLocalDateTime(invocation.Clock, from);
    if (start.Skipped) {
        const qv::TimeZone* zone = invocation.Clock.Zone();
        output.Err << output.ErrStyle.Paint("note: ", Tone::Warning)
                   << fmt::format("--from {} does not exist in {} (a daylight-saving change skips it); the server "
                                  "starts at {}\n",
                                  from, zone ? zone->Name : std::string("the local time zone"),
                                  FormatIso(invocation.Clock, start.Time));
    }
    return start.Time;
}

// The usage error when --days from `from` runs past the last date the tool writes; nothing otherwise.
std::optional<int> RefusePastLastDate(const Invocation& invocation, Instant from, int days, Output& output)
{
    const WallTime start = WallOf(invocation.Clock, from);
    if (start + Days{days} <= LatestEnd()) return std::nullopt;
    const std::string given = invocation.Given.From.empty() ? "now" : invocation.Given.From;
    const std::int64_t most = std::chrono::floor<Days>(LatestEnd() - start).count();
    output.Err << output.ErrStyle.Paint("error: ", Tone::Error)
               << fmt::format("--days {} from {} runs past {}, the last date the tool writes (its calendars and "
                              "timelines have four-digit years); {}\n",
                              days, given, kLastDate,
                              most >= 1 ? fmt::format("from {}, --days can be at most {}", given, most)
                                        : "--from must come a day or more before it");
    return kUsageError;
}

ServerRunOptions RunOptions(const Invocation& invocation, Output& output)
{
    const Arguments& given = invocation.Given;
    return {given.Config, StartTime(invocation, output), given.Players, given.Json};
}

CLI::App* AddCheck(CLI::App& app, Arguments& arguments)
{
    CLI::App* check = app.add_subcommand("check", "read CONFIG exactly as the plug-in does; report every error and "
                                                  "what is probably a mistake");
    AddConfig(*check, arguments.Config);
    check->add_flag("--strict", arguments.Strict, "warnings fail the check too (exit status 1), for automation");
    return check;
}

int Check(const Invocation& invocation, Output& output)
{
    const Arguments& given = invocation.Given;
    return RunCheck(given.Config, given.Strict, output.Out, output.Err, output.OutStyle, output.ErrStyle);
}

CLI::App* AddPreview(CLI::App& app, Arguments& arguments)
{
    CLI::App* preview =
        app.add_subcommand("preview", "the coming days: which window's rates are on, the switch and reminder "
                                      "moments, the multipliers and what players will see");
    AddConfig(*preview, arguments.Config);
    AddFrom(*preview, arguments.From, "the server starts at this local date (midnight) or date and time; default now");
    preview->add_option("--days", arguments.PreviewDays, "how many days to show")
        ->capture_default_str()
        ->check(CLI::Range(1, kMostDays));
    preview->add_flag("--verbose", arguments.Verbose, "also say on which timer calls the plug-in checks the schedule");
    return preview;
}

int Preview(const Invocation& invocation, Output& output)
{
    const Arguments& given = invocation.Given;
    const Instant from = StartTime(invocation, output);
    if (const std::optional<int> refused = RefusePastLastDate(invocation, from, given.PreviewDays, output))
        return *refused;
    return RunPreview({given.Config, from, given.PreviewDays, given.Verbose}, output);
}

CLI::App* AddSimulate(CLI::App& app, Arguments& arguments)
{
    CLI::App* simulate =
        app.add_subcommand("simulate", "run the real plug-in in the stand-in server on a simulated clock "
                                       "and print what happened");
    AddConfig(*simulate, arguments.Config);
    AddFrom(*simulate, arguments.From, "the server starts at this local date (midnight) or date and time; default now");
    simulate->add_option("--days", arguments.SimulateDays, "how many days to simulate")
        ->capture_default_str()
        ->check(CLI::Range(1, kMostDays));
    AddPlayers(*simulate, arguments.Players);
    simulate->add_option("--script", arguments.Script, "timed actions, one a line: TIME ACTION")
        ->check(CLI::ExistingFile);
    simulate->add_flag("--json", arguments.Json, "one JSON object a line instead of the timeline");
    simulate->add_flag("--verbose", arguments.Verbose, "also say on which timer calls the plug-in checks the schedule");
    simulate->footer("Script lines: TIME ACTION, TIME being +DURATION after the start (+2d, +1h30m) or a local "
                     "YYYY-MM-DDTHH:MM[:SS]; # starts a comment. Actions:\n" +
                     ActionSummary(false));
    return simulate;
}

int Simulate(const Invocation& invocation, Output& output)
{
    const Arguments& given = invocation.Given;
    const ServerRunOptions run = RunOptions(invocation, output);
    if (const std::optional<int> refused = RefusePastLastDate(invocation, run.Start, given.SimulateDays, output))
        return *refused;
    return RunSimulate({run, given.SimulateDays, given.Script, given.Verbose}, output);
}

CLI::App* AddConsole(CLI::App& app, Arguments& arguments)
{
    CLI::App* console = app.add_subcommand("console", "the stand-in server with the plug-in, driven by hand (or by "
                                                      "standard input)");
    AddConfig(*console, arguments.Config);
    AddFrom(*console, arguments.From, "the server starts at this local date (midnight) or date and time; default now");
    AddPlayers(*console, arguments.Players);
    console->add_flag("--json", arguments.Json, "events as JSON lines");
    console->footer("Actions:\n" + ActionSummary(true));
    return console;
}

int Console(const Invocation& invocation, Output& output)
{
    return RunConsole(RunOptions(invocation, output), invocation.In, invocation.InIsTerminal, output);
}

CLI::App* AddCalendar(CLI::App& app, Arguments& arguments)
{
    CLI::App* calendar = app.add_subcommand(
        "calendar", "the stretches in which each window is in force: an iCalendar feed for players to subscribe to, "
                    "or an HTML page");
    AddConfig(*calendar, arguments.Config);
    AddFrom(*calendar, arguments.From, "the first local date (midnight) or date and time shown; default today");
    calendar->add_option("--days", arguments.CalendarDays, "how many days to show")
        ->capture_default_str()
        ->check(CLI::Range(1, kMostDays));
    calendar
        ->add_option("--format", arguments.Format,
                     "ics: an iCalendar feed (RFC 5545); html: a page of its own, for a browser")
        ->required()
        ->check(kCalendarFormat)
        ->option_text("ics|html REQUIRED");
    calendar->add_option("-o,--output", arguments.OutputFile,
                         "write it to this file, replaced whole once it is complete; default standard output");
    calendar->add_flag("--quiet", arguments.Quiet, "no warnings or notes, only errors: for a scheduled job");
    return calendar;
}

int Calendar(const Invocation& invocation, Output& output)
{
    const Arguments& given = invocation.Given;
    const Instant from =
        given.From.empty() ? StartOfLocalDay(invocation.Clock, CurrentTime()) : StartTime(invocation, output);
    if (const std::optional<int> refused = RefusePastLastDate(invocation, from, given.CalendarDays, output))
        return *refused;
    return RunCalendar(
        {given.Config, from, given.CalendarDays, CalendarFormatNamed(given.Format), given.OutputFile, given.Quiet},
        output);
}

CLI::App* AddServe(CLI::App& app, Arguments& arguments)
{
    return AddServeCommand(app, arguments.Config, arguments.Serve);
}

int Serve(const Invocation& invocation, Output& output)
{
    const Arguments& given = invocation.Given;
    return RunServe(given.Config, given.Serve, invocation.In, invocation.InIsTerminal, output);
}

// Each subcommand, in the order --help lists them: how the command line declares it, and how it runs.
struct Subcommand {
    CLI::App* (*Add)(CLI::App& app, Arguments& arguments);
    int (*Run)(const Invocation& invocation, Output& output);
};
const Subcommand kSubcommands[] = {
    {AddCheck, Check},     {AddPreview, Preview},   {AddSimulate, Simulate},
    {AddConsole, Console}, {AddCalendar, Calendar}, {AddServe, Serve},
};

// CLI11 meets an unknown first word with "A subcommand is required"; naming the word says more.
std::string ParseErrorText(const CLI::App& app, int argc, const char* const* argv, const CLI::ParseError& error)
{
    if (argc < 2 || argv[1][0] == '\0' || argv[1][0] == '-') return error.what();
    std::string names;
    for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
        if (command->get_name() == argv[1]) return error.what();
        names += (names.empty() ? "" : ", ") + command->get_name();
    }
    return fmt::format("unknown subcommand \"{}\" (one of: {})", argv[1], names);
}

// The exit status when the command line asks for help or the version, or is wrong; nothing when a
// subcommand is to run.
std::optional<int> Parse(CLI::App& app, int argc, const char* const* argv, Output& output)
{
    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help, output.Out, output.Err);
    } catch (const CLI::CallForAllHelp& help) {
        return app.exit(help, output.Out, output.Err);
    } catch (const CLI::CallForVersion& version) {
        return app.exit(version, output.Out, output.Err);
    } catch (const CLI::ParseError& error) {
        output.Err << output.ErrStyle.Paint("error: ", Tone::Error) << ParseErrorText(app, argc, argv, error) << '\n'
                   << "Run with --help for more information.\n";
        return kUsageError;
    }
    return std::nullopt;
}

int RunCommand(int argc, const char* const* argv, std::istream& in, bool inIsTerminal, Output& output)
{
    CLI::App app("Check, preview and simulate the weekend rates plug-in's config.", "quorvandelle");
    app.set_version_flag("--version", QV_VERSION, "print the version and exit");
    app.require_subcommand(1);
    // On Windows CLI11 would take "/path/config.json" for an option "/path"; paths win.
    app.allow_windows_style_options(false);
    app.footer(
        "Exit status: 0 success, 1 the config has errors, 2 usage error. Colour only on a terminal without NO_COLOR.");
    Arguments arguments;
    std::vector<std::pair<CLI::App*, const Subcommand*>> commands;
    for (const Subcommand& subcommand : kSubcommands)
        commands.emplace_back(subcommand.Add(app, arguments), &subcommand);
    if (const std::optional<int> status = Parse(app, argc, argv, output)) return *status;

    const CheckReport file = CheckConfig(arguments.Config);
    const qv::LocalClock clock = ConfigClock(file);
    const Invocation invocation{arguments, clock, in, inIsTerminal};
    for (const auto& [command, subcommand] : commands) {
        if (command->parsed()) return subcommand->Run(invocation, output);
    }
    return kUsageError;
}

} // namespace

int RunTool(int argc, const char* const* argv, std::istream& in, bool inIsTerminal, Output& output)
{
    int status = kConfigErrors;
    try {
        status = RunCommand(argc, argv, in, inIsTerminal, output);
        output.Out.flush();
        RequireWritten(output.Out);
    } catch (const OutputFailed& failure) {
        output.Err << output.ErrStyle.Paint("error: ", Tone::Error) << "cannot write the output (" << failure.what()
                   << "); what was printed is incomplete\n";
        return status == kSuccess ? kConfigErrors : status;
    }
    return status;
}

} // namespace qvtool
