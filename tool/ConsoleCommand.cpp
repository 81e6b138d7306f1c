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
    output.out << fmt::format("game mode: {}; plug-in: {}\n", server.HasGameMode() ? "present" : "absent",
                              server.PluginLoaded() ? "loaded" : "not loaded");
    for (const auto& [name, value] : server.Rates()) output.out << fmt::format("  {:<34} {:g}\n", name, value);
    output.out << fmt::format("message of the day: \"{}\"\n", server.MessageOfTheDay());
}

void ShowPlayers(const Simulation& server, Output& output)
{
    const auto players = server.Players();
    if (players.empty()) output.out << "no player is connected\n";
    for (const auto& [name, admin] : players)
        output.out << fmt::format("  {}{}\n", name, admin ? " (administrator)" : "");
}

void ShowInbox(const Simulation& server, const std::string& name, Output& output)
{
    const std::vector<Event> messages = server.InboxOf(name);
    if (messages.empty()) output.out << name << " has received nothing\n";
    for (const Event& message : messages) output.out << FormatTimelineEvent(message, output.outStyle);
}

} // namespace

void ShowPrompt(const Simulation& server, Output& output)
{
    output.out << output.outStyle.Paint(fmt::format("[{}] qv> ", FormatReadable(server.Now())), Tone::Accent)
               << std::flush;
}

void RunConsoleAction(Simulation& server, const Action& action, const std::filesystem::path& folder, Output& output)
{
    switch (action.kind) {
    case ActionKind::Help:
        output.out << ActionSummary(true);
        break;
    case ActionKind::Rates:
        ShowRates(server, output);
        break;
    case ActionKind::Players:
        ShowPlayers(server, output);
        break;
    case ActionKind::Inbox:
        ShowInbox(server, action.name, output);
        break;
    default:
        server.Execute(action, folder);
        break;
    }
}

int RunConsole(const ServerRunOptions& options, std::istream& in, bool interactive, Output& output)
{
    if (!ConfigReadable(options.config, output)) return kUsageError;
    const bool configErrors = ReportConfigErrors(options.config, output).HasErrors();
    std::unique_ptr<Simulation> server;
    try {
        server = StartServer(options, 0, PrintingSink(output, options.json));
    } catch (const std::exception& error) {
        output.err << output.errStyle.Paint("error: ", Tone::Error) << error.what() << '\n';
        return kConfigErrors;
    }
    if (interactive) output.out << "Type help for the actions, quit to stop.\n";

    const std::filesystem::path here = std::filesystem::current_path();
    std::string line;
    bool firstLine = true;
    while (true) {
        if (interactive) ShowPrompt(*server, output);
        const bool read = static_cast<bool>(std::getline(in, line));
        StopIfInterrupted();
        if (!read) break;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (firstLine) line = std::string(WithoutByteOrderMark(line));
        firstLine = false;
        if (line.find_first_not_of(" \t") == std::string::npos || line[line.find_first_not_of(" \t")] == '#') continue;
        if (!interactive && !options.json) output.out << "> " << line << '\n';

        auto parsed = ParseAction(line, true);
        if (const auto* failure = std::get_if<ParseFailure>(&parsed)) {
            output.err << output.errStyle.Paint("error: ", Tone::Error) << failure->message << '\n';
            continue;
        }
        const Action& action = std::get<Action>(parsed);
        try {
            if (action.kind == ActionKind::Advance) {
                server->RunUntil(server->Now() + action.duration);
            } else if (action.kind != ActionKind::Quit) {
                RunConsoleAction(*server, action, here, output);
            }
        } catch (const ActionError& error) {
            output.err << output.errStyle.Paint("error: ", Tone::Error) << error.what() << '\n';
        }
        output.out << std::flush;
        RequireWritten(output.out);
        if (action.kind == ActionKind::Quit) break;
    }
    if (interactive) output.out << '\n';
    PrintingSink(output, options.json)(Event{server->Now(), events::End{}});
    return configErrors ? kConfigErrors : kSuccess;
}

} // namespace qvtool
