// quorvandelle serve: the stand-in server with the real plug-in in real time, for as long as it runs:
// the timer every second, players at a prompt, and RCON for an administrator's own tools.
#pragma once

#include <istream>
#include <string>

#include <CLI/CLI.hpp>

#include "tool/Output.h"

namespace qvtool {

struct ServeOptions {
    int Players = 0;
    bool Json = false;
    int RconPort = -1; // -1: no RCON; 0: a free port the system picks
    std::string PasswordFile;
    // Another plug-in library to load in place of the one beside the program (for tests).
    std::string Library;
};

// The environment variable that holds the RCON password.
constexpr const char* kRconPasswordVariable = "QV_RCON_PASSWORD";

// Adds the subcommand; its CONFIG goes to config, the rest to options.
CLI::App* AddServeCommand(CLI::App& app, std::string& config, ServeOptions& options);

// Runs until SIGINT or SIGTERM (or "quit" at the prompt), then unloads the plug-in, so that the
// server's normal rates are back. interactive: standard input is a terminal, and a prompt takes the
// console's actions; otherwise standard input is not read.
int RunServe(const std::string& config, const ServeOptions& options, std::istream& in, bool interactive,
             Output& output);

} // namespace qvtool
