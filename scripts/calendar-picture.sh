#!/usr/bin/env bash
# Makes the README's picture of the calendar page, docs/calendar.png: the page that the tool writes
# for examples/events.json in December 2026, in headless Chromium (installed by install-deps.sh all).
set -euo pipefail

cd "$(dirname "$0")/.."
tool=build/native/bin/quorvandelle
[ -x "$tool" ] || { echo "error: build the tool first (cmake --preset native && cmake --build --preset native)" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
TZ=UTC0 "$tool" calendar examples/events.json --from 2026-12-01 --days 31 --format html -o "$work/calendar.html"
chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run --disable-background-networking \
    --disable-component-update --disable-sync --hide-scrollbars --user-data-dir="$work/profile" \
    --window-size=1100,1180 --screenshot="$PWD/docs/calendar.png" "file://$work/calendar.html" 2>/dev/null
echo "docs/calendar.png"
