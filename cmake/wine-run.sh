#!/usr/bin/env bash
# Runs a Windows program of the cross build under Wine; the toolchain files make it the
# CMAKE_CROSSCOMPILING_EMULATOR, so CTest, test discovery and custom commands all come through here.
# Usage: wine-run.sh <wine64> <prefix-dir> [--launcher=<wine-launch.exe>] <program.exe> [args...]
#        wine-run.sh <wine64> <prefix-dir> [--launcher=...] --init      (only create the prefix)
# With a launcher (cmake/WineLaunch.cpp), the program runs through it: Wine reads the time zone from
# TZ, and the program's C runtime, which would misread TZ, does not see it.
set -euo pipefail

wine=$1
prefix=$2
shift 2
launcher=
if [[ ${1-} == --launcher=* ]]; then
    launcher=${1#--launcher=}
    shift
fi

# A prefix of our own in the build tree: a clean clone needs no ~/.wine, and a developer's prefix is left alone.
export WINEPREFIX=$prefix
export WINEDEBUG=-all
# Wine has a built-in version.dll, and it wins over the stand-in host of the same name beside our
# executables; the plug-in's imports then fail with "unimplemented function version.dll...".
# "n,b" puts the native file first and keeps the built-in for Wine's own helper programs, which find
# no native copy and would otherwise print errors.
# No WINEPATH: every executable and DLL of the build is written to the same bin/ folder, and Windows
# looks for a program's DLLs in its own folder first.
export WINEDLLOVERRIDES="version=n,b"

# The first run creates the prefix (several seconds). Tests run in parallel, so one process creates it
# under a lock while the others wait, instead of each racing to build a half-made prefix.
if [ ! -f "$prefix/.ready" ]; then
    mkdir -p "$(dirname "$prefix")"
    exec 9>"$prefix.lock"
    flock 9
    if [ ! -f "$prefix/.ready" ]; then
        # No Mono or Gecko: the tests need neither, and their installers would try to download them.
        WINEDLLOVERRIDES="mscoree,mshtml=" "$wine" wineboot --init >/dev/null 2>&1 || true
        "$(dirname "$wine")/wineserver" -w
        if [ ! -f "$prefix/system.reg" ]; then
            echo "wine-run.sh: could not create the Wine prefix $prefix" >&2
            exit 1
        fi
        touch "$prefix/.ready"
    fi
    exec 9>&-
fi

if [ "${1-}" = "--init" ]; then
    exit 0
fi

# Left alone, Wine's server and its service processes quit a moment after the last program ends, and
# the next test starts them again: a program that connects while they shut down fails with "wine
# client error: recvmsg: Connection reset by peer", and services started by a test hold its output
# open for seconds after it ends. So the first run starts one server that outlives the gaps between
# tests (it quits 30 s after the last program) and brings its services up detached from any output.
# Exit status 2 means a server for this prefix is already running.
if "$(dirname "$wine")/wineserver" -p30 >/dev/null 2>&1; then
    "$wine" cmd /c exit 0 </dev/null >/dev/null 2>&1 || true
fi

program=${1-}

# Each start of Wine costs far more than the test it runs, so a test executable runs once, whole, in
# the CTest test "<name>.all" (wine-run.sh ... <test>.exe --qv-all-cases), which every case of that
# executable requires as a fixture. It files each case's output and outcome under
# gtest-results/<name>/ in the build folder; then each case's own CTest test (<test>.exe
# --gtest_filter=<case> ...) takes its filed result instead of starting Wine, and removes it, so a
# result serves one CTest run only. A case without a result (none was run, or the process died
# during it) runs alone, as it would without the batch.
results=
if [[ $(basename -- "$program") == test_*.exe ]]; then
    results="$(dirname -- "$program")/../gtest-results/$(basename -- "$program" .exe)"
fi
if [ -n "$results" ] && [ "${2-}" = --qv-all-cases ]; then
    batch=1
    set -- "$1" "${@:3}"
elif [ -n "$results" ] && [ $# -ge 2 ] && [[ $2 == --gtest_filter=* ]]; then
    case=${2#--gtest_filter=}
    filed="$results/${case//\//%}"
    if [ -f "$filed.outcome" ]; then
        cat "$filed.log"
        outcome=$(cat "$filed.outcome")
        rm -f "$filed.log" "$filed.outcome"
        [ "$outcome" != failed ]
        exit
    fi
fi

if [ -n "$launcher" ]; then
    if [ ! -f "$launcher" ]; then
        echo "wine-run.sh: $launcher is missing: build the target wine-launch" >&2
        exit 127
    fi
    set -- "$launcher" "$@"
fi

# A Windows program's stdout is in text mode and ends lines with CR LF; CTest's parser of the test
# list (gtest_discover_tests) and regular expressions over output expect plain LF.
# stderr is held and passed on after the program ends, so that whether it printed anything at all is
# known for sure.
run() {
    local status
    "$wine" "$@" 2>"$errors" | tr -d '\r' | tee --output-error=exit "$printed"
    status=${PIPESTATUS[0]}
    tr -d '\r' <"$errors" | tee -a "$printed" >&2
    return "$status"
}
printed=$(mktemp)
errors=$(mktemp)
trap 'rm -f "$printed" "$errors"' EXIT

# The whole executable, its output split case by case as GoogleTest marks them. Its own outcome is
# the cases', so it passes whenever the executable ran: a failing fixture would keep its cases from
# reporting.
if [ -n "${batch-}" ]; then
    rm -rf "$results"
    mkdir -p "$results"
    "$wine" "$@" --gtest_color=no </dev/null 2>&1 | tr -d '\r' | awk -v dir="$results" '
        function close_case(outcome) {
            close(out)
            print outcome > (file ".outcome")
            close(file ".outcome")
            ++cases
            name = ""
        }
        /^\[ RUN      \] / {
            name = substr($0, 14)
            gsub("/", "%", name)
            file = dir "/" name
            out = file ".log"
        }
        name != "" { print > out }
        name != "" && /^\[       OK \] / { close_case("passed"); next }
        name != "" && /^\[  FAILED  \] / { close_case("failed"); next }
        name != "" && /^\[  SKIPPED \] / { close_case("skipped"); next }
        /^\[==========\]|^\[  PASSED  \]|^\[  FAILED  \]|^ *[0-9]+ FAILED TEST/ { print }
        END { printf "%d cases filed for their CTest tests\n", cases }'
    exit 0
fi

status=0
run "$@" || status=$?
# Seen once in CI, among about 300 test programs run in parallel: Wine ended one with a failure status
# in 10 ms, before it printed anything. Every program of ours prints before it fails (a test its
# header, the tool its error), so only that case runs once more, and says so on stderr; a program that
# printed anything fails as it is.
if [ "$status" -ne 0 ] && [ ! -s "$printed" ]; then
    echo "wine-run.sh: $program ended with status $status before printing anything; running it once more" >&2
    status=0
    run "$@" || status=$?
fi
exit "$status"
