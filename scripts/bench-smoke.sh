#!/usr/bin/env bash
# Builds the benchmarks (preset bench) and runs each of them once with a tiny time budget, then each
# fixed workload of callgrind-counts.sh once, so that a benchmark that no longer builds or whose
# checks fail is caught where the figures are never looked at. Times are not judged: on a shared
# machine they say nothing. Fails when the build, a benchmark's own check or a workload fails.
#   scripts/bench-smoke.sh [BUILD]   a configured build folder with the benchmarks in it (the test
#                                    command's native-ci); without it, the bench preset's, configured here
set -euo pipefail

cd "$(dirname "$0")/.."
build=${1:-build/bench}
jobs=$(nproc 2>/dev/null || echo 2)

[ $# -gt 0 ] || cmake --preset bench
cmake --build "$build" --target bench_quorvandelle -j "$jobs"

bench="$build/bin/bench_quorvandelle"
log="$build/bench-smoke.log"
# Debian's libbenchmark 1.7 takes the budget as a plain number of seconds (no "s" suffix). The
# benchmarks with a fixed number of iterations run those; each is short enough.
if ! "$bench" --benchmark_min_time=0.001 >"$log" 2>&1; then
    grep -E 'ERROR OCCURRED|error|terminate' "$log" >&2 || tail -n 20 "$log" >&2
    echo "FAILED: $bench (whole output in $log)" >&2
    exit 1
fi

for workload in idle-plugin idle-plugin-welcome idle-empty evaluation-no-switch join-hooked join-unhooked \
    round-trip:0 round-trip:1; do
    "$bench" --workload="$workload" >/dev/null || { echo "FAILED: workload $workload" >&2; exit 1; }
done
echo "every benchmark and workload ran once ($log)"
