// The administrators' commands over RCON, with "RconCommands": true: the reload, the toggle and the
// status command under their console names, answered in plain text to the client that asked.
#pragma once

#include <string>

namespace qv {

// Registers, renames or removes the RCON commands so that they match the config in force; at load
// (nothing registered yet) this registers them, after a reload it follows the config. A name the
// host refused stays as it was registered, so the next reload tries again; the returned text says
// what failed, empty when nothing did.
std::string FollowRconCommands();
// Removes every RCON command that is registered.
void UnregisterRconCommands();

} // namespace qv
