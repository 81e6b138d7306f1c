// Fixed workloads for counting instructions under callgrind (callgrind-counts.sh), and the two
// functions it collects inside: the measurements call the same ones.
#pragma once

#include <string_view>

#include "standin/server/Server.h"

namespace qvbench {

// calls timer calls through the stand-in's dispatch, none of them evaluating.
void IdleCallsUnderTest(standin::Server& server, int calls);
// The one timer call that evaluates.
void EvaluationUnderTest(standin::Server& server);
// One player joining, through the host's chain on the game's new-player handler.
standin::PlayerId JoinUnderTest(standin::Server& server, const standin::PlayerProfile& profile);

// "idle-plugin", "idle-empty": 100 batches of 600 idle calls, each followed by an evaluation;
// "idle-plugin-welcome": the same with a welcome configured, on a Wednesday (nobody waits).
// "join-hooked", "join-unhooked": 1,000 joins during the weekend, with and without a welcome (and
// so with and without the plug-in's detour), settled as the join benchmarks settle them.
// "evaluation-no-switch": 100 evaluations that find the window as it was.
// "round-trip:<players>": 10 switches on and back with both announcements to that many players.
// Prints how many calls went through the function under test; 2 for an unknown name.
int RunWorkload(std::string_view name);

} // namespace qvbench
