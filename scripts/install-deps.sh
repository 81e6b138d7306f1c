#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build and the tests need and the machine lacks: "run"
# for the main job alone, "all" (the default) for every test too. With "all" it also installs the RCON
# tests' client from npm, pinned by tests/rcon/package-lock.json, with the machine's node and npm or
# Debian's.
# Safe to run again: it asks apt only for what is missing.
set -euo pipefail

# What the main job (scripts/run.sh) needs: the native build of the plug-in, the stand-in and the tool.
run_packages=(
  build-essential cmake ninja-build pkg-config
  nlohmann-json3-dev libfmt-dev libcli11-dev
  googletest libgtest-dev libgmock-dev
)
# And what every test needs on top: benchmarks (and valgrind, whose instruction counts bench/ reads),
# the compiler cache, the Windows cross build under Wine, fuzzing, formatting, the checks of the MSVC
# target (clang, its linker and LLVM's tools), the calendar's readers (an independent iCalendar parser
# and a headless browser, whose screenshots are read back with Pillow), and the zoneinfo that the
# compiled-in time zones are checked against (and made from, by scripts/generate-zone-table.sh).
test_packages=(
  libbenchmark-dev tzdata ccache valgrind
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine64
  clang libfuzzer-14-dev libclang-rt-14-dev clang-format
  clang-14 llvm-14 lld-14
  python3 python3-icalendar python3-pil chromium fonts-dejavu-core
)

case "${1:-all}" in
run) packages=("${run_packages[@]}") ;;
all) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
*)
  echo "usage: $0 [run|all]" >&2
  exit 2
  ;;
esac

if [ "${1:-all}" = all ]; then
  command -v node >/dev/null || packages+=(nodejs)
  command -v npm >/dev/null || packages+=(npm)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "error: missing packages and not root; run: sudo $0" >&2
    exit 1
  fi
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

if [ "${1:-all}" = all ]; then
  # Again whenever the lock file is newer than what it installed.
  rcon_tests="$(dirname "$0")/../tests/rcon"
  installed="$rcon_tests/node_modules/.package-lock.json"
  if [ ! -f "$installed" ] || [ "$rcon_tests/package-lock.json" -nt "$installed" ]; then
    echo "installing the RCON tests' client: npm ci in tests/rcon"
    npm ci --prefix "$rcon_tests" --no-audit --no-fund --loglevel=error
  fi
fi
