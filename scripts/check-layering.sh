#!/usr/bin/env bash
# The include rules between folders, as ARCHITECTURE.md states them:
#   - the plug-in's folders form layers, lowest first; a folder includes only its own layer and
#     the ones below it, so no two folders include each other;
#   - the plug-in includes nothing of the stand-in, the tool, the tests, the benchmarks or the fuzz target;
#   - the stand-in includes nothing of the plug-in but the host framework's contract: plugin/host/ArkApi.h
#     and the log sinks it hands out, plugin/host/LogSink.h;
#   - util/ includes nothing of the plug-in, the stand-in, the tool, the tests, the benchmarks or the fuzz target.
# Prints every include that breaks a rule, with its file and line, and fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

layers=(host log messaging schedule config rates commands lifecycle)
rank() {
    local i
    for i in "${!layers[@]}"; do [ "${layers[$i]}" = "$1" ] && { echo "$i"; return; }; done
    echo -1
}

broken=0
complain() {
    echo "$1" >&2
    broken=$((broken + 1))
}

for dir in plugin/*/; do
    folder=$(basename "$dir")
    [ "$(rank "$folder")" -ge 0 ] || complain "plugin/$folder/: a folder with no layer; add it to scripts/check-layering.sh and ARCHITECTURE.md"
done

while IFS=: read -r file line text; do
    target=$(sed -E 's/.*#[[:space:]]*include[[:space:]]*"([^"]+)".*/\1/' <<<"$text")
    top=${target%%/*}
    case "$file" in
    plugin/*)
        case "$top" in
        plugin)
            from=$(cut -d/ -f2 <<<"$file")
            to=$(cut -d/ -f2 <<<"$target")
            if [ "$(rank "$to")" -gt "$(rank "$from")" ]; then
                complain "$file:$line: plugin/$from/ includes $target, a layer above it"
            fi
            ;;
        standin | tool | tests | bench | fuzz)
            complain "$file:$line: the plug-in includes $target"
            ;;
        esac
        ;;
    util/*)
        case "$top" in
        plugin | standin | tool | tests | bench | fuzz)
            complain "$file:$line: util/ includes $target; it knows nothing of the program it serves"
            ;;
        esac
        ;;
    standin/*)
        case "$target" in
        plugin/host/ArkApi.h | plugin/host/LogSink.h) ;;
        plugin/*) complain "$file:$line: the stand-in includes $target; only plugin/host/ArkApi.h and LogSink.h are the host's contract" ;;
        esac
        ;;
    esac
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' plugin standin util --include='*.h' --include='*.cpp')

if [ "$broken" -gt 0 ]; then
    echo "layering: $broken include(s) break the rules (see ARCHITECTURE.md)" >&2
    exit 1
fi
echo "layering: plugin/ runs ${layers[*]}; the stand-in sees only the host's contract; util/ sees none of them"
