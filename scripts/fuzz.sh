#!/usr/bin/env bash
# Builds the libFuzzer target over the config file with the fuzz preset (clang, AddressSanitizer,
# UndefinedBehaviorSanitizer) and runs it for a bounded time: 60 s, or the first argument.
# Every crash, timeout or out-of-memory input is saved under fuzz/regressions/, where the normal
# build's test_fuzz_regressions replays it from then on; commit it with the fix. The run fails
# when the fuzzer found one.
#   QV_FUZZ_BUILD_DIR  the build folder (default build/fuzz)
set -euo pipefail

cd "$(dirname "$0")/.."
seconds=${1:-60}
build=${QV_FUZZ_BUILD_DIR:-build/fuzz}
jobs=$(nproc 2>/dev/null || echo 2)
launcher=()
if command -v ccache >/dev/null 2>&1; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi

cmake --preset fuzz -B "$build" "${launcher[@]}"
cmake --build "$build" --target config_fuzzer -j "$jobs"

# New inputs go into a working corpus in the build folder; the committed seeds stay as they are.
work="$build/fuzz-corpus"
mkdir -p "$work" fuzz/regressions
"$build/bin/config_fuzzer" -max_total_time="$seconds" -max_len=8192 -timeout=10 -dict=fuzz/config.dict \
    -artifact_prefix=fuzz/regressions/ -print_final_stats=1 "$work" fuzz/corpus
