// What the plug-in registers with the host: its commands and its timer, walked in one order by
// both Load and Unload, and the status command under the name the config in force gives it.
#pragma once

#include <string>

namespace qv {

// The four registrations in their order, then the status command when the config names one, then
// the RCON commands when the config asks for them.
void RegisterAll();
// The same, removed in the same order, with the status command that is registered.
void UnregisterAll();
// After a reload: the status command follows the config in force (registered, renamed or
// removed). When the host refuses, the name registered before stays known as it is, so the next
// reload tries again; the returned text says what failed, empty when nothing did.
std::string FollowStatusCommand();

} // namespace qv
