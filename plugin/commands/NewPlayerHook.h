// The hook on the game's new-player handler, which the welcomes need: set while some window of the
// config in force has a JoinMessage, and taken out when none has and at unload.
#pragma once

#include <string>

namespace qv {

// After a config was taken: the hook set when it has welcomes, taken out (with whoever waits) when
// it has none. The returned text says what failed, empty when nothing did; the next load tries
// again.
std::string FollowWelcomes();
// The hook taken out and whoever waits forgotten. Before the library goes: the host would go on
// calling the detour in unmapped code.
void DropWelcomes();

} // namespace qv
