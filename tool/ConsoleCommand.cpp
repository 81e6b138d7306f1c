// The console's own queries (rates, players, inbox) read the server; every other action goes
// through the same Simulation::Execute as a script's.
#include "tool/ConsoleCommand.h"

#include <filesystem>
#include <string>

#include <fmt/format.h>

#include "tool/JsonEvents.h"
#include "tool/ScriptParser.h"
#include "tool/Timeline.h"

namespace qvtool {

namespace {

void ShowRates(const Simulation& server, Output& output)
{
    output.Out << fmt::format("game mode: {}; plug-in: {}\n", server.HasGameMode() ? "present" : "absent",
                              server.PluginLoaded() ? "loaded" : "not loaded");
    for (const auto& [name, value] : server.Rates()) output.Out << fmt::format("  {:<34} {:g}\n", name, value);
    output.Out << fmt::format("message of the day: \"{}\"\n", server.MessageOfTheDay());
}

void ShowPlayers(const Simulation& server, Output& output)
{
    const auto players = server.Players();
    if (players.empty()) output.Out << "no player is connected\n";
    for (const auto& [name, admin] : players)
        output.Out << fmt::format("  {}{}\n", name, admin ? " (administrator)" : "");
}

void ShowInbox(const Simulation& server, const std::string& name, const qv::LocalClock& clock, Output& output)
{
    const std::vector<Event> messages = server.InboxOf(name);
    if (messages.empty()) output.Out << name << " has received nothing\n";
    for (const Event& message : messages) output.Out << FormatTimelineEvent(message, output.OutStyle, clock);
}

// The line without its line end, and the first one without a byte-order mark; false when it holds
// no action (blank, or a comment).
bool HoldsAction(std::string& line, bool& firstLine)
{
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (firstLine) line = std::string(WithoutByteOrderMark(line));
    firstLine = false;
    const std::size_t text = line.find_first_not_of(" \t");
    return text != std::string::npos && line[text] != '#';
}

} // namespace

void ShowPrompt(const Simulation& server, const qv::LocalClock& clock, Output& output)
{
    output.Out << output.OutStyle.Paint(fmt::format("[{}] qv> ", FormatReadable(clock, server.Now())), Tone::Accent)
               << std::flush;
}

void RunConsoleAction(Simulation& server, const Action& action, const std::filesystem::path& folder,
                      const qv::LocalClock& clock, Output& output)
{
    switch (action.Kind) {
    case ActionKind::Quit:
        break;
    case ActionKind::Help:
        output.Out << ActionSummary(true);
        break;
    case ActionKind::Advance:
        server.RunUntil(server.Now() + action.Duration);
        break;
    case ActionKind::Rates:
        ShowRates(server, output);
        break;
    case ActionKind::Players:
        ShowPlayers(server, output);
        break;
    case ActionKind::Inbox:
        ShowInbox(server, action.Name, clock, output);
        break;
    default:
        server.Execute(action, folder);
        break;
    }
}

int RunConsole(const ServerRunOptions& options, std::istream& in, bool interactive, Output& output)
{
    if (!ConfigReadable(options.Config, output)) return kUsageError;
    const CheckReport report = CheckConfig(options.Config);
    const qv::LocalClock clock = ConfigClock(report);
    ReportConfigErrors(report, output);
    const EventSink print = PrintingSink(output, options.Json, clock);
    std::unique_ptr<Simulation> server;
    try {
        server = StartServer(options, clock, 0, print);
    } catch (const std::exception& error) {
        output.Err << output.ErrStyle.Paint("error: ", Tone::Error) << error.what() << '\n';
        return kConfigErrors;
    }
    if (interactive) output.Out << "Type help for the actions, quit to stop.\n";

    const std::filesystem::path here = std::filesystem::current_path();
    std::string line;
    bool firstLine = true;
    while (true) {
        if (interactive) ShowPrompt(*server, clock, output);
        const bool read = static_cast<bool>(std::getline(in, line));
        StopIfInterrupted();
        if (!read) break;
        if (!HoldsAction(line, firstLine)) continue;
        if (!interactive && !options.Json) output.Out << "> " << line << '\n';
        auto parsed = ParseAction(line, true);
        if (const auto* failure = std::get_if<ParseFailure>(&parsed)) {
            output.Err << output.ErrStyle.Paint("error: ", Tone::Error) << failure->Message << '\n';
            continue;
        }
        const Action& action = std::get<Action>(parsed);
        try {
            RunConsoleAction(*server, action, here, clock, output);
        } catch (const ActionError& error) {
            output.Err << output.ErrStyle.Paint("error: ", Tone::Error) << error.what() << '\n';
        }
        output.Out << std::flush;
        RequireWritten(output.Out);
        if (action.Kind == ActionKind::Quit) break;
    }
    if (interactive) output.Out << '\n';
    print(Event{server->Now(), events::End{}});
    return report.HasErrors() ? kConfigErrors : kSuccess;
}

} // namespace qvtool
