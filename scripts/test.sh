#!/usr/bin/env bash
# The README's test command: installs what is missing, checks the code's format and layering, runs the
# checks of the MSVC target (scripts/check-msvc.sh), then configures, builds and runs every test of the
# Linux build (then a bounded fuzzing run, scripts/fuzz.sh), the sanitizer build and the Windows build
# (MinGW-w64, under Wine); and, when QV_MS_STL names the folder of Microsoft's standard library's
# archives (CI sets it), the Windows build for Microsoft's ABI with that library (under Wine).
# Every step runs even when an earlier one failed, so one run reports all failures; the exit status is
# non-zero if any step failed. CI (.ci/run) runs exactly this.
set -uo pipefail

cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)

bash scripts/install-deps.sh || { echo "FAILED: scripts/install-deps.sh" >&2; exit 1; }

results=()
failed=0
step() {
    local name=$1
    shift
    local start=$SECONDS
    echo "=== ${name}: $*"
    if "$@"; then
        results+=("ok      ${name} ($((SECONDS - start)) s)")
    else
        results+=("FAILED  ${name} ($((SECONDS - start)) s)")
        failed=$((failed + 1))
    fi
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

build_and_test() {
    local preset=$1
    cmake --preset "$preset" &&
        cmake --build --preset "$preset" -j "$jobs" &&
        ctest --preset "$preset" -j "$jobs"
}

step format check_format
step layering bash scripts/check-layering.sh
for check in compile names calls smoke; do step "msvc-$check" bash scripts/check-msvc.sh "$check"; done
for preset in native-ci sanitize-ci windows-ci; do
    step "$preset" build_and_test "$preset"
    if [ "$preset" = native-ci ]; then step fuzz bash scripts/fuzz.sh; fi
done
if [ -n "${QV_MS_STL-}" ]; then
    step windows-msvc-abi-ci build_and_test windows-msvc-abi-ci
    suites="windows (MinGW-w64 and Microsoft's ABI, under Wine)"
else
    results+=("skipped windows-msvc-abi-ci: set QV_MS_STL to the folder of Microsoft's standard library's archives (CI: ../shared/ms-stl) to run it")
    suites="windows (MinGW-w64 under Wine; not Microsoft's ABI: QV_MS_STL is not set)"
fi

echo
echo "=== summary"
printf '%s\n' "${results[@]}"
if [ "$failed" -eq 0 ]; then
    echo "ALL PASSED: format, layering, msvc, native, fuzz, sanitize and ${suites} in ${SECONDS} s"
else
    echo "${failed} STEP(S) FAILED in ${SECONDS} s" >&2
    exit 1
fi
