// quorvandelle simulate: the real plug-in in the stand-in server, days passing on the simulated
// clock, and a timeline of everything that happened. Also the start-up shared with the console.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "tool/CheckCommand.h"
#include "tool/Output.h"
#include "tool/Simulation.h"

namespace qvtool {

struct ServerRunOptions {
    std::string config;
    Seconds start = 0;
    int players = 3; // the first one an administrator
    bool json = false;
    // As in SimulationOptions: the real clock (start unused), and a server folder that is kept.
    bool realClock = false;
    std::filesystem::path keptFolder{};
    std::filesystem::path library{}; // empty: the plug-in library beside the program
};

struct SimulateOptions {
    ServerRunOptions run;
    int days = 7;
    std::string script; // empty: none
    // The timer calls behind the timing sentence.
    bool verbose = false;
};

// Events printed as they come: JSON lines or the timeline.
EventSink PrintingSink(Output& output, bool json);

// CONFIG as the plug-in reads config.json, checked before anything runs: a device, a pipe or an
// oversized file is named on err, and false comes back (a usage error).
bool ConfigReadable(const std::string& config, Output& output);

// Config errors go to err first (the plug-in's log shows what it makes of them); the check's report.
CheckReport ReportConfigErrors(const std::string& config, Output& output);

// The server started at options.start with the plug-in loaded and the players joined. Throws
// std::runtime_error when the plug-in library cannot be found or loaded.
std::unique_ptr<Simulation> StartServer(const ServerRunOptions& options, int days, EventSink sink);

int RunSimulate(const SimulateOptions& options, Output& output);

} // namespace qvtool
