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
    std::string Config;
    Instant Start;   // on the clock of the config's times
    int Players = 3; // the first one an administrator
    bool Json = false;
    // As in SimulationOptions: the real clock (Start unused), and a server folder that is kept.
    bool RealClock = false;
    std::filesystem::path KeptFolder{};
    std::filesystem::path Library{}; // empty: the plug-in library beside the program
};

struct SimulateOptions {
    ServerRunOptions Run;
    int Days = 7;
    std::string Script; // empty: none
    // The timer calls behind the timing sentence.
    bool Verbose = false;
};

// Events printed as they come, their times on clock: JSON lines or the timeline.
EventSink PrintingSink(Output& output, bool json, const qv::LocalClock& clock);

// CONFIG as the plug-in reads config.json, checked before anything runs: a device, a pipe or an
// oversized file is named on err, and false comes back (a usage error).
bool ConfigReadable(const std::string& config, Output& output);

// The check's errors go to err first (the plug-in's log shows what it makes of them), and a count of
// its warnings.
void ReportConfigErrors(const CheckReport& report, Output& output);

// The server started at options.Start with the plug-in loaded and the players joined, its events
// told on clock. Throws std::runtime_error when the plug-in library cannot be found or loaded.
std::unique_ptr<Simulation> StartServer(const ServerRunOptions& options, const qv::LocalClock& clock, int days,
                                        EventSink sink);

int RunSimulate(const SimulateOptions& options, Output& output);

} // namespace qvtool
