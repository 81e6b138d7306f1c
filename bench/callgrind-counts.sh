#!/usr/bin/env bash
# Instruction counts under callgrind, which stay the same from run to run on a busy machine where
# times do not: the idle timer call against the empty callback dispatched the same way (and with a
# welcome configured), a join with and without the plug-in's new-player detour, an evaluation
# without a switch, and the switch on + back with both announcements at 0, 1, 100 and
# 1,000 players. The workloads are fixed (Workloads.cpp): 60,000 idle calls, 1,000 joins, 100
# evaluations, 10 round trips.
#
#   bench/callgrind-counts.sh [path/to/bench_quorvandelle]
set -euo pipefail

bench=${1:-build/bench/bin/bench_quorvandelle}
[ -x "$bench" ] || { echo "no benchmark executable at $bench (build it, or pass its path)" >&2; exit 1; }
command -v valgrind >/dev/null || { echo "valgrind is not installed (apt-get install valgrind)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Instructions executed inside the function under test, over the whole workload.
instructions() {
    local workload=$1 function=$2 out="$work/callgrind.out"
    valgrind --tool=callgrind --callgrind-out-file="$out" --toggle-collect="qvbench::${function}(*" \
        "$bench" --workload="$workload" >/dev/null 2>"$work/valgrind.log" ||
        { cat "$work/valgrind.log" >&2; exit 1; }
    awk '/^(summary|totals):/ { print $2; exit }' "$out"
}

idle_calls=60000
round_trips=10

plugin=$(instructions idle-plugin IdleCallsUnderTest)
empty=$(instructions idle-empty IdleCallsUnderTest)
awk -v p="$plugin" -v e="$empty" -v n="$idle_calls" 'BEGIN {
    printf "idle timer call: plug-in %.1f instructions, empty callback %.1f, ratio %.3fx (the plug-in adds %.1f)\n",
           p / n, e / n, p / e, (p - e) / n }'

welcome=$(instructions idle-plugin-welcome IdleCallsUnderTest)
awk -v w="$welcome" -v p="$plugin" -v n="$idle_calls" 'BEGIN {
    printf "idle timer call with a welcome configured, nobody waiting: %.1f instructions (%+.1f)\n", w / n, (w - p) / n }'

joins=1000
hooked=$(instructions join-hooked JoinUnderTest)
unhooked=$(instructions join-unhooked JoinUnderTest)
awk -v h="$hooked" -v u="$unhooked" -v n="$joins" 'BEGIN {
    printf "join during the weekend: %.0f instructions with the plug-in noting the player, %.0f without the hook (the plug-in adds %.0f)\n",
           h / n, u / n, (h - u) / n }'

quiet=$(instructions evaluation-no-switch EvaluationUnderTest)
awk -v q="$quiet" -v p="$plugin" -v n="$idle_calls" 'BEGIN {
    printf "evaluation without a switch: %.0f instructions (%.1f idle calls)\n", q / 100, q / 100 / (p / n) }'

base=$(instructions round-trip:0 EvaluationUnderTest)
awk -v b="$base" -v n="$round_trips" 'BEGIN { printf "switch on + back, no players: %.0f instructions\n", b / n }'
for players in 1 100 1000; do
    total=$(instructions "round-trip:$players" EvaluationUnderTest)
    awk -v t="$total" -v b="$base" -v n="$round_trips" -v p="$players" 'BEGIN {
        printf "switch on + back, %4d players: %.0f instructions, %.0f per player beyond the no-player switch\n",
               p, t / n, (t - b) / n / p }'
done
