// quorvandelle console: the stand-in server driven by hand, one action a line, from a prompt or
// from standard input.
#pragma once

#include <filesystem>
#include <istream>

#include "tool/Output.h"
#include "tool/ScriptParser.h"
#include "tool/SimulateCommand.h"
#include "tool/Simulation.h"

namespace qvtool {

// One action typed at the console: its own queries (rates, players, inbox, help) read the server,
// advance runs it on, the others go to Simulation::Execute; quit is the caller's. Times are told on
// clock. Throws ActionError.
void RunConsoleAction(Simulation& server, const Action& action, const std::filesystem::path& folder,
                      const qv::LocalClock& clock, Output& output);

// The prompt, with the server's time on clock.
void ShowPrompt(const Simulation& server, const qv::LocalClock& clock, Output& output);

// interactive: a person types at a terminal (a prompt is shown); otherwise each line read is
// echoed, so the output reads as a transcript.
int RunConsole(const ServerRunOptions& options, std::istream& in, bool interactive, Output& output);

} // namespace qvtool
