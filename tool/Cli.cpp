// CLI11 does the parsing; dates and durations are checked here so that a bad one is a usage
// error with a message that says what the tool accepts.
#include "tool/Cli.h"

#include <map>

#include <CLI/CLI.hpp>
#include <fmt/format.h>

#include "plugin/config/LoadConfig.h"
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

CLI::Option* AddConfig(CLI::App& command, std::string& config)
{
    return command.add_option("CONFIG", config, "the config file (config.json)")->required()->check(CLI::ExistingFile);
}

CLI::Option* AddFrom(CLI::App& command, std::string& from, const char* what)
{
    return command.add_option("--from", from, what)->check(kDateTime);
}

// A time that the clock skips is moved (by the C library, or to the end of the gap in a config's
// zone); the administrator is told where to.
Seconds StartTime(const std::string& from, Output& output)
{
    if (from.empty()) return CurrentTime();
    const LocalDateTime start = *ReadLocalDateTime(from);
    if (start.skipped) {
        const qv::TimeZone* zone = ToolTimeZone();
        output.err << output.errStyle.Paint("note: ", Tone::Warning)
                   << fmt::format("--from {} does not exist in {} (a daylight-saving change skips it); the server "
                                  "starts at {}\n",
                                  from, zone ? zone->Name : std::string("the local time zone"), FormatIso(start.time));
    }
    return start.time;
}

// The tool reads and shows times where the plug-in reads them: in the config's TimeZone, when the
// file loads and names one.
void UseConfigTimeZone(const std::string& config)
{
    const qv::ConfigLoad load = qv::ReadConfigFile(config, std::nullopt);
    if (load.Decoded.Value) UseTimeZone(load.Decoded.Value->Zone);
}

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

} // namespace

namespace {

int RunCommand(int argc, const char* const* argv, std::istream& in, bool inIsTerminal, Output& output)
{
    CLI::App app("Check, preview and simulate the weekend rates plug-in's config.", "quorvandelle");
    app.set_version_flag("--version", QV_VERSION, "print the version and exit");
    app.require_subcommand(1);
    // On Windows CLI11 would take "/path/config.json" for an option "/path"; paths win.
    app.allow_windows_style_options(false);
    app.footer(
        "Exit status: 0 success, 1 the config has errors, 2 usage error. Colour only on a terminal without NO_COLOR.");

    std::string config, from, script;
    int previewDays = 14, simulateDays = 7, players = 3;
    bool verbose = false;
    bool json = false, strict = false;

    CLI::App* check = app.add_subcommand("check", "read CONFIG exactly as the plug-in does; report every error and "
                                                  "what is probably a mistake");
    AddConfig(*check, config);
    check->add_flag("--strict", strict, "warnings fail the check too (exit status 1), for automation");

    CLI::App* preview =
        app.add_subcommand("preview", "the coming days: which window's rates are on, the switch and reminder "
                                      "moments, the multipliers and what players will see");
    AddConfig(*preview, config);
    AddFrom(*preview, from, "the server starts at this local date (midnight) or date and time; default now");
    preview->add_option("--days", previewDays, "how many days to show")
        ->capture_default_str()
        ->check(CLI::Range(1, kMostDays));
    preview->add_flag("--verbose", verbose, "also say on which timer calls the plug-in checks the schedule");

    CLI::App* simulate =
        app.add_subcommand("simulate", "run the real plug-in in the stand-in server on a simulated clock "
                                       "and print what happened");
    AddConfig(*simulate, config);
    AddFrom(*simulate, from, "the server starts at this local date (midnight) or date and time; default now");
    simulate->add_option("--days", simulateDays, "how many days to simulate")
        ->capture_default_str()
        ->check(CLI::Range(1, kMostDays));
    simulate->add_option("--players", players, "players who join at the start (player1 is an administrator)")
        ->capture_default_str()
        ->check(CLI::Range(0, 100));
    simulate->add_option("--script", script, "timed actions, one a line: TIME ACTION")->check(CLI::ExistingFile);
    simulate->add_flag("--json", json, "one JSON object a line instead of the timeline");
    simulate->add_flag("--verbose", verbose, "also say on which timer calls the plug-in checks the schedule");
    simulate->footer("Script lines: TIME ACTION, TIME being +DURATION after the start (+2d, +1h30m) or a local "
                     "YYYY-MM-DDTHH:MM[:SS]; # starts a comment. Actions:\n" +
                     ActionSummary(false));

    CLI::App* console = app.add_subcommand("console", "the stand-in server with the plug-in, driven by hand (or by "
                                                      "standard input)");
    AddConfig(*console, config);
    AddFrom(*console, from, "the server starts at this local date (midnight) or date and time; default now");
    console->add_option("--players", players, "players who join at the start (player1 is an administrator)")
        ->capture_default_str()
        ->check(CLI::Range(0, 100));
    console->add_flag("--json", json, "events as JSON lines");
    console->footer("Actions:\n" + ActionSummary(true));

    CLI::App* calendar = app.add_subcommand(
        "calendar", "the stretches in which each window is in force: an iCalendar feed for players to subscribe to, "
                    "or an HTML page");
    AddConfig(*calendar, config);
    AddFrom(*calendar, from, "the first local date (midnight) or date and time shown; default today");
    int calendarDays = 90;
    calendar->add_option("--days", calendarDays, "how many days to show")
        ->capture_default_str()
        ->check(CLI::Range(1, 3660));
    CalendarFormat format = CalendarFormat::Feed;
    calendar
        ->add_option("--format", format, "ics: an iCalendar feed (RFC 5545); html: a page of its own, for a browser")
        ->required()
        ->transform(CLI::CheckedTransformer(
            std::map<std::string, CalendarFormat>{{"ics", CalendarFormat::Feed}, {"html", CalendarFormat::Page}}));
    std::string outputFile;
    calendar->add_option("-o,--output", outputFile,
                         "write it to this file, replaced whole once it is complete; default standard output");

    ServeOptions serveOptions;
    CLI::App* serve = AddServeCommand(app, config, serveOptions);

    try {
        app.parse(argc, argv);
    } catch (const CLI::CallForHelp& help) {
        return app.exit(help, output.out, output.err);
    } catch (const CLI::CallForAllHelp& help) {
        return app.exit(help, output.out, output.err);
    } catch (const CLI::CallForVersion& version) {
        return app.exit(version, output.out, output.err);
    } catch (const CLI::ParseError& error) {
        output.err << output.errStyle.Paint("error: ", Tone::Error) << ParseErrorText(app, argc, argv, error) << '\n'
                   << "Run with --help for more information.\n";
        return kUsageError;
    }

    UseConfigTimeZone(config);
    if (check->parsed()) return RunCheck(config, strict, output.out, output.err, output.outStyle, output.errStyle);
    if (calendar->parsed()) {
        const Seconds start = from.empty() ? StartOfLocalDay(CurrentTime()) : StartTime(from, output);
        return RunCalendar({config, start, calendarDays, format, outputFile}, output);
    }
    if (serve->parsed()) return RunServe(config, serveOptions, in, inIsTerminal, output);
    if (preview->parsed()) return RunPreview({config, StartTime(from, output), previewDays, verbose}, output);
    ServerRunOptions run{config, StartTime(from, output), players, json};
    if (simulate->parsed()) return RunSimulate({run, simulateDays, script, verbose}, output);
    return RunConsole(run, in, inIsTerminal, output);
}

} // namespace

int RunTool(int argc, const char* const* argv, std::istream& in, bool inIsTerminal, Output& output)
{
    int status = kConfigErrors;
    try {
        status = RunCommand(argc, argv, in, inIsTerminal, output);
        output.out.flush();
        RequireWritten(output.out);
    } catch (const OutputFailed& failure) {
        output.err << output.errStyle.Paint("error: ", Tone::Error) << "cannot write the output (" << failure.what()
                   << "); what was printed is incomplete\n";
        return status == kSuccess ? kConfigErrors : status;
    }
    return status;
}

} // namespace qvtool
