#!/usr/bin/env bash
# The README's first command: installs what is missing, builds the Linux preset, and runs the main job:
# the administrators' tool simulating the example server with the real plug-in loaded.
# Extra arguments go to the tool.
set -euo pipefail

cd "$(dirname "$0")/.."
bash scripts/install-deps.sh run
cmake --preset native
# Only the tool and the plug-in library it loads: the tests are the test command's to build.
cmake --build --preset native --target quorvandelle -j "$(nproc 2>/dev/null || echo 2)"

tool=build/native/bin/quorvandelle
if [ ! -x "$tool" ]; then
    echo "error: the build produced no $tool" >&2
    exit 1
fi
# Eight days, so that a start on any weekday sees the window open and close again.
if [ $# -eq 0 ]; then set -- --days 8 --players 3; fi
exec "$tool" simulate examples/config.json "$@"
