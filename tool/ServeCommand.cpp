// The main thread is the game thread: it makes the timer calls, one a real second, and runs between
// them what the RCON listener's thread and the prompt's thread hand it (GameTasks). Only it touches
// the server and prints events.
#include "tool/ServeCommand.h"

#include <chrono>
#include <cstdlib>
#include <exception>
#include <memory>
#include <optional>
#include <thread>
#include <variant>

#include <fmt/format.h>

#include "tool/ConsoleCommand.h"
#include "tool/GameTasks.h"
#include "tool/RconPackets.h"
#include "tool/ServerFolder.h"
#include "tool/SimulateCommand.h"
#include "util/BoundedFile.h"

#if !defined(_WIN32)
#include "tool/RconBridge.h"
#endif

namespace qvtool {

namespace {

namespace fs = std::filesystem;
using SteadyClock = std::chrono::steady_clock;

// How long the game thread waits at most before it looks for a signal again.
constexpr std::chrono::milliseconds kSignalLook{200};

#if !defined(_WIN32)
// The password, or what is wrong, to be told as a usage error. Never printed.
std::variant<std::string, std::string> RconPassword(const ServeOptions& options)
{
    std::string password;
    if (!options.PasswordFile.empty()) {
        auto text = util::ReadBoundedFile(options.PasswordFile, rcon::kMostBodyBytes + 2, "a password file");
        if (const auto* problem = std::get_if<util::FileProblem>(&text)) {
            return std::variant<std::string, std::string>(
                std::in_place_index<1>, "--rcon-password-file " + options.PasswordFile + " " + problem->What);
        }
        password = std::get<std::string>(text);
        // The line ending an editor adds is no part of the password.
        if (!password.empty() && password.back() == '\n') password.pop_back();
        if (!password.empty() && password.back() == '\r') password.pop_back();
        if (password.empty()) {
            return std::variant<std::string, std::string>(std::in_place_index<1>,
                                                          "--rcon-password-file " + options.PasswordFile +
                                                              " is empty; it holds the RCON password");
        }
    } else if (const char* variable = std::getenv(kRconPasswordVariable); variable != nullptr && *variable != '\0') {
        password = variable;
    } else {
        return std::variant<std::string, std::string>(
            std::in_place_index<1>, fmt::format("serve --rcon-port needs the RCON password: set {}, or name a file "
                                                "holding it with --rcon-password-file",
                                                kRconPasswordVariable));
    }
    if (password.size() > rcon::kMostBodyBytes) {
        return std::variant<std::string, std::string>(
            std::in_place_index<1>,
            fmt::format("the RCON password is longer than a packet carries ({} bytes at most)", rcon::kMostBodyBytes));
    }
    return std::variant<std::string, std::string>(std::in_place_index<0>, std::move(password));
}
#endif

// The lines typed at the prompt, each handed to the game thread; quit or the end of input stops it.
void ReadPrompt(std::istream& in, const std::shared_ptr<GameTasks>& tasks,
                const std::function<void(std::string)>& handle)
{
    std::string line;
    while (std::getline(in, line)) {
        const auto parsed = ParseAction(line, true);
        const bool quit = std::holds_alternative<Action>(parsed) && std::get<Action>(parsed).Kind == ActionKind::Quit;
        if (quit) break;
        tasks->Post([handle, line] { handle(line); });
    }
    tasks->Stop();
}

void PrintError(Output& output, const std::string& message)
{
    output.Err << output.ErrStyle.Paint("error: ", Tone::Error) << message << '\n';
}

// The RCON password into password when --rcon-port asks for RCON; the usage error's exit status when
// there is none to take (or no RCON in this build).
std::optional<int> TakeRconPassword(const ServeOptions& options, Output& output, [[maybe_unused]] std::string& password)
{
    if (options.RconPort < 0) return std::nullopt;
#if defined(_WIN32)
    PrintError(output, "serve --rcon-port is not available in the Windows build of the tool; run serve on Linux "
                       "for RCON, or send RCON command lines with the console's rcon action");
    return kUsageError;
#else
    auto resolved = RconPassword(options);
    if (resolved.index() == 1) {
        PrintError(output, std::get<1>(resolved));
        return kUsageError;
    }
    password = std::move(std::get<0>(resolved));
    return std::nullopt;
#endif
}

// The server in real time in its kept folder, each event printed at once: someone watches the server
// live. Null, with the reason told, when the plug-in library cannot be found or loaded.
std::unique_ptr<Simulation> StartServedServer(const std::string& config, const ServeOptions& options,
                                              const qv::LocalClock& clock, const EventSink& print, Output& output)
{
    ServerRunOptions run{config, Instant{}, options.Players, options.Json};
    run.RealClock = true;
    run.KeptFolder = KeptServerFolderFor(config);
    run.Library = options.Library;
    try {
        return StartServer(run, clock, 0, [&output, &print](const Event& event) {
            print(event);
            output.Out.flush();
            RequireWritten(output.Out);
        });
    } catch (const std::exception& error) {
        PrintError(output, error.what());
        return nullptr;
    }
}

#if !defined(_WIN32)
// Listens for RCON into bridge when --rcon-port asks for it; false, with the reason told, when it
// cannot.
bool ListenForRcon(const ServeOptions& options, const std::string& password, Simulation& server, GameTasks& tasks,
                   Output& output, std::unique_ptr<RconBridge>& bridge)
{
    if (options.RconPort < 0) return true;
    try {
        bridge = std::make_unique<RconBridge>(
            RconListenerOptions{static_cast<std::uint16_t>(options.RconPort), password}, server, tasks,
            [&output](const std::string& line) { output.Err << line << '\n'
                                                            << std::flush; });
    } catch (const std::exception& error) {
        PrintError(output, error.what());
        return false;
    }
    output.Err << fmt::format("RCON on 127.0.0.1:{}\n", bridge->Port()) << std::flush;
    return true;
}
#endif

// A line typed at the prompt, on the game thread: the console's actions but advance (time is real),
// then the prompt again.
void RunPromptLine(Simulation& server, const std::string& line, const fs::path& here, const qv::LocalClock& clock,
                   Output& output)
{
    auto parsed = ParseAction(line, true);
    if (const auto* failure = std::get_if<ParseFailure>(&parsed)) {
        PrintError(output, failure->Message);
    } else if (std::get<Action>(parsed).Kind == ActionKind::Advance) {
        PrintError(output, "serve runs in real time; advance is the console's");
    } else {
        try {
            RunConsoleAction(server, std::get<Action>(parsed), here, clock, output);
        } catch (const ActionError& error) {
            PrintError(output, error.what());
        }
    }
    ShowPrompt(server, clock, output);
}

// The game thread's loop: a timer call every real second and the tasks handed over between them,
// until the tasks stop or a signal comes. Nothing a task throws but a failed output ends it, and that
// failure comes back, for the caller to stop the other threads before it goes on.
std::exception_ptr RunGameThread(Simulation& server, GameTasks& tasks, Output& output)
{
    try {
        auto nextTimerCall = SteadyClock::now() + std::chrono::seconds(standin::Server::TimerIntervalSeconds);
        while (!tasks.Stopped() && !InterruptionRecorded()) {
            tasks.RunUntil(std::min(nextTimerCall, SteadyClock::now() + kSignalLook));
            output.Out << std::flush;
            RequireWritten(output.Out);
            const auto now = SteadyClock::now();
            if (now < nextTimerCall) continue;
            server.TimerCall();
            nextTimerCall += std::chrono::seconds(standin::Server::TimerIntervalSeconds);
            // After the machine slept: no burst of calls to catch up, as a game server skips the frames
            // it missed.
            if (now - nextTimerCall > std::chrono::seconds(5)) nextTimerCall = now + std::chrono::seconds(1);
        }
    } catch (...) {
        return std::current_exception();
    }
    return nullptr;
}

// Windows' console read is interrupted by nothing, and after a failure no signal may come to end
// ours: the process then ends without the thread.
void EndPrompt(std::thread& prompt, [[maybe_unused]] bool failed)
{
    if (!prompt.joinable()) return;
#if defined(_WIN32)
    prompt.detach();
#else
    if (failed) {
        prompt.detach();
    } else {
        prompt.join();
    }
#endif
}

// The plug-in unloaded, so that the server's normal rates are back, and the end told.
int UnloadAndEnd(Simulation& server, const EventSink& print, const CheckReport& report)
{
    if (server.PluginLoaded()) {
        Action unload;
        unload.Kind = ActionKind::Unload;
        server.Execute(unload, {});
    }
    print(Event{server.Now(), events::End{}});
    return report.HasErrors() ? kConfigErrors : kSuccess;
}

} // namespace

CLI::App* AddServeCommand(CLI::App& app, std::string& config, ServeOptions& options)
{
    CLI::App* serve = app.add_subcommand(
        "serve", "run the stand-in server with the plug-in in real time, until interrupted; with --rcon-port, "
                 "RCON tools can send it commands");
    serve->add_option("CONFIG", config, "the config file; the server's folder is kept beside it")
        ->required()
        ->check(CLI::ExistingFile);
    serve->add_option("--players", options.Players, "players who join at the start (player1 is an administrator)")
        ->capture_default_str()
        ->check(CLI::Range(0, 100));
    serve->add_flag("--json", options.Json, "events as JSON lines");
    CLI::Option* port =
        serve
            ->add_option("--rcon-port", options.RconPort,
                         fmt::format("listen for Source RCON on 127.0.0.1 at this port (0: any free one); the "
                                     "password from {} or --rcon-password-file",
                                     kRconPasswordVariable))
            ->check(CLI::Range(0, 65535));
    serve->add_option("--rcon-password-file", options.PasswordFile, "a file holding the RCON password")->needs(port);
    // For tests: a plug-in library of their own with RCON commands.
    serve->add_option("--plugin-library", options.Library)->group("");
    serve->footer("The plug-in's folder is <CONFIG without .json>.server/ArkApi/Plugins/Quorvandelle beside CONFIG, "
                  "kept from one run to the next; its config.json links to CONFIG, so an edit and a reload take "
                  "effect. At a terminal, a prompt takes the console's actions (not advance: time is real). "
                  "SIGINT (Ctrl-C) or SIGTERM stops the server: the plug-in unloads and the normal rates come "
                  "back.\nActions:\n" +
                  ActionSummary(true));
    return serve;
}

int RunServe(const std::string& config, const ServeOptions& options, std::istream& in, bool interactive, Output& output)
{
    if (!ConfigReadable(config, output)) return kUsageError;
    std::string password;
    if (const std::optional<int> refused = TakeRconPassword(options, output, password)) return *refused;
    const CheckReport report = CheckConfig(config);
    const qv::LocalClock clock = ConfigClock(report);
    ReportConfigErrors(report, output);
    // Declared before the server, whose events it prints, so that it outlives it.
    const EventSink print = PrintingSink(output, options.Json, clock);
    const std::unique_ptr<Simulation> server = StartServedServer(config, options, clock, print, output);
    if (server == nullptr) return kConfigErrors;
    output.Err << fmt::format("The plug-in's folder is {}, kept for the next run.\n",
                              server->ConfigPath().parent_path().string());
    const auto tasks = std::make_shared<GameTasks>();
#if !defined(_WIN32)
    std::unique_ptr<RconBridge> bridge;
    if (!ListenForRcon(options, password, *server, *tasks, output, bridge)) return kConfigErrors;
#endif

    const fs::path here = fs::current_path();
    const auto handleLine = [&](const std::string& line) { RunPromptLine(*server, line, here, clock, output); };
    std::thread prompt;
    if (interactive) {
        output.Out << "Type help for the actions, quit or Ctrl-C to stop.\n";
        ShowPrompt(*server, clock, output);
        prompt = std::thread([&in, tasks, handleLine] { ReadPrompt(in, tasks, handleLine); });
    }
    const std::exception_ptr failure = RunGameThread(*server, *tasks, output);
#if !defined(_WIN32)
    bridge.reset();
#endif
    EndPrompt(prompt, failure != nullptr);
    if (failure) std::rethrow_exception(failure);
    return UnloadAndEnd(*server, print, report);
}

} // namespace qvtool
