#!/usr/bin/env bash
# The README's test command: installs what is missing, checks the code's format and layering, runs the
# checks of the MSVC target (scripts/check-msvc.sh), then configures, builds and runs every test of the
# Linux build (then each test executable once more with its tests shuffled, every benchmark once with
# a tiny budget, scripts/bench-smoke.sh, and a bounded fuzzing run, scripts/fuzz.sh), the sanitizer
# build, the serve tests (RCON's threads) under ThreadSanitizer, and the Windows build (MinGW-w64,
# under Wine); and, when
# QV_MS_STL names the folder of Microsoft's standard library's archives (CI sets it), the Windows build
# for Microsoft's ABI with that library (under Wine).
# Every step runs even when an earlier one failed, so one run reports all failures; the exit status is
# non-zero if any step failed. The summary gives each step's time. CI (.ci/run) runs exactly this, with
# QV_MS_STL set and QV_SPDLOG_016: the folder of the real logging library the host's sinks are built
# with, which the builds' tests then check our declaration against (tests/hostlog); without it those
# tests are skipped.
# Compilers run through ccache when it is installed (scripts/install-deps.sh installs it), with its
# cache outside the clone (ccache's own default, ~/.cache/ccache, or CCACHE_DIR), so that a fresh clone
# on the same machine builds from it; QV_CCACHE=0 turns it off.
set -uo pipefail

cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)

bash scripts/install-deps.sh || { echo "FAILED: scripts/install-deps.sh" >&2; exit 1; }

if [ "${QV_CCACHE:-1}" != 0 ] && command -v ccache >/dev/null; then
    # CMake takes these as the launchers of a build folder's first configure. A clone elsewhere hits
    # the same entries: paths under the clone are hashed relative to it, and so is the working folder.
    export CMAKE_CXX_COMPILER_LAUNCHER=ccache CMAKE_C_COMPILER_LAUNCHER=ccache
    # Depend mode takes the includes from the compiler's own list of them (-MD) instead of running the
    # preprocessor once more on every miss.
    export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1 CCACHE_DEPEND=1
    ccache --zero-stats >/dev/null
else
    # scripts/fuzz.sh and scripts/check-msvc.sh take ccache whenever it is installed.
    export CCACHE_DISABLE=1
fi

results=()
failed=0
record() {
    local name=$1 status=$2 seconds=$3 where=${4-}
    if [ "$status" -eq 0 ]; then
        results+=("ok      ${name} (${seconds} s${where})")
    else
        results+=("FAILED  ${name} (${seconds} s${where})")
        failed=$((failed + 1))
    fi
}
step() {
    local name=$1 status=0
    shift
    local start=$SECONDS
    echo "=== ${name}: $*"
    "$@" || status=1
    record "$name" "$status" "$((SECONDS - start))"
}

# A step that keeps one core busy at most, for most of its time, runs beside the steps after it, in
# the gaps that their builds and tests leave: its output goes to build/logs/<name>.log and is
# printed when collect_beside waits for it.
beside=()
step_beside() {
    local name=$1 log=build/logs/$1.log
    shift
    mkdir -p build/logs
    echo "=== ${name}, beside the next steps (output in ${log}): $*"
    (
        start=$SECONDS status=0
        "$@" >"$log" 2>&1 </dev/null || status=1
        echo "$status $((SECONDS - start))" >"$log.end"
    ) &
    beside+=("$name $! $log")
}
collect_beside() {
    local entry name pid log status seconds
    for entry in "${beside[@]}"; do
        read -r name pid log <<<"$entry"
        wait "$pid"
        read -r status seconds <"$log.end" || status=1 seconds=?
        echo "=== ${name}, which ran beside the steps after it:"
        cat "$log"
        record "$name" "$status" "$seconds" ", beside"
    done
    beside=()
}

check_format() {
    local files
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        mapfile -t files < <(git ls-files '*.cpp' '*.h')
    else
        mapfile -t files < <(find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
    fi
    [ ${#files[@]} -eq 0 ] || clang-format --dry-run --Werror "${files[@]}"
}

# Every test executable of a build once more, whole in one process with its tests in a random order:
# CTest runs one test a process, which hides a test that needs what another one left behind. A
# failure shows the seed, for --gtest_random_seed.
run_shuffled() {
    local build failed=0 test log
    build=$(cd "$1" && pwd) || return 1
    for test in "$build"/bin/test_*; do
        [ -x "$test" ] || continue
        log="$build/$(basename "$test").shuffled.log"
        if ! (cd "$build" && "$test" --gtest_shuffle >"$log" 2>&1); then
            echo "FAILED shuffled: $test" >&2
            grep -E 'Randomizing tests|\[  FAILED  \]|Failure' "$log" >&2
            failed=1
        fi
    done
    return "$failed"
}

build_and_test() {
    local preset=$1
    cmake --preset "$preset" &&
        cmake --build --preset "$preset" -j "$jobs" &&
        ctest --preset "$preset" -j "$jobs"
}

# serve's threads under ThreadSanitizer: the listener's test, and the RCON client's tests against a
# serve built with it, which fail on the first race it reports.
tsan_serve_tests() {
    local build=$PWD/build/tsan
    export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
    cmake --preset tsan && cmake --build --preset tsan -j "$jobs" &&
        "$build/bin/test_tool" --gtest_filter='ToolRcon*' &&
        QV_TOOL="$build/bin/quorvandelle" QV_PROBE_PLUGIN="$build/bin/qv_rcon_probe_plugin.so" \
            QV_EXAMPLE_CONFIG="$PWD/examples/config.json" node --test tests/rcon/rcon.test.js
}

step format check_format
step layering bash scripts/check-layering.sh
for check in compile names calls slots smoke; do step "msvc-$check" bash scripts/check-msvc.sh "$check"; done
step native-ci build_and_test native-ci
step_beside shuffled run_shuffled build/native-ci
step_beside bench-smoke bash scripts/bench-smoke.sh build/native-ci
step_beside fuzz bash scripts/fuzz.sh "${QV_FUZZ_SECONDS:-60}"
step sanitize-ci build_and_test sanitize-ci
# Beside the Windows builds, whose tool serves without RCON: no two RCON tests share the machine's ports.
step_beside tsan-serve tsan_serve_tests
step windows-ci build_and_test windows-ci
if [ -n "${QV_MS_STL-}" ]; then
    step windows-msvc-abi-ci build_and_test windows-msvc-abi-ci
    suites="windows (MinGW-w64 and Microsoft's ABI, under Wine)"
else
    suites="windows (MinGW-w64 under Wine; not Microsoft's ABI: QV_MS_STL is not set)"
fi
collect_beside

echo
echo "=== summary"
if [ -z "${CCACHE_DISABLE-}" ]; then
    ccache --print-stats 2>/dev/null | awk -F'\t' '$1 == "direct_cache_hit" || $1 == "preprocessed_cache_hit" { hits += $2 }
        $1 == "cache_miss" { misses = $2 } END { printf "ccache: %d hits, %d misses\n", hits, misses }'
fi
printf '%s\n' "${results[@]}"
if [ -z "${QV_MS_STL-}" ]; then
    echo "skipped: the Windows suite for Microsoft's ABI and C++ library (export QV_MS_STL=<folder of ms-stl-inc-vs-2022-17.4.tar.xz and ms-stl-src-vs-2022-17.4.tar.xz>)"
fi
if [ -z "${QV_SPDLOG_016:-}" ]; then
    echo "skipped: the checks against the real spdlog 0.16.2 (export QV_SPDLOG_016=<folder of spdlog-0.16.2-fmt-4.1.0.tar.xz>)"
fi
if [ "$failed" -eq 0 ]; then
    echo "ALL PASSED: format, layering, msvc, native, shuffled, benchmarks, fuzz, sanitize, tsan-serve and ${suites} in ${SECONDS} s"
else
    echo "${failed} STEP(S) FAILED in ${SECONDS} s" >&2
    exit 1
fi
