#!/usr/bin/env bash
# Fails when the plug-in's idle timer call or an evaluation without a switch costs more instructions
# than it did before the plug-in's state became one object: bench/callgrind-counts.sh counts them
# (callgrind, the same from run to run, unlike times), and the bounds are those counts, 208 and
# 1,242 instructions, plus 3%: 214 and 1,279. Every second of a server's life pays the idle call,
# and each evaluation every ten minutes; a refactor that only moves code must not make them dearer.
# The counts include the C library's conversion of the local time, so another compiler or C library
# can shift them: measure the earlier commit on the same machine before moving a bound.
#   scripts/callgrind-gate.sh [path/to/bench_quorvandelle]   (default build/bench/bin/bench_quorvandelle)
set -euo pipefail

cd "$(dirname "$0")/.."
most_idle=214
most_evaluation=1279

counts=$(bench/callgrind-counts.sh "$@")
echo "$counts"
idle=$(awk '/^idle timer call: plug-in/ { print $5 }' <<<"$counts")
evaluation=$(awk '/^evaluation without a switch:/ { print $5 }' <<<"$counts")
[ -n "$idle" ] && [ -n "$evaluation" ] || { echo "FAILED: callgrind-counts.sh printed no counts to judge" >&2; exit 1; }

failed=0
if awk -v n="$idle" -v most="$most_idle" 'BEGIN { exit !(n > most) }'; then
    echo "FAILED: the idle timer call costs $idle instructions, more than $most_idle" >&2
    failed=1
fi
if awk -v n="$evaluation" -v most="$most_evaluation" 'BEGIN { exit !(n > most) }'; then
    echo "FAILED: an evaluation without a switch costs $evaluation instructions, more than $most_evaluation" >&2
    failed=1
fi
exit "$failed"
