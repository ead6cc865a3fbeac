#!/usr/bin/env bash
# Fails when a source file includes a header of a folder above its own. The folders are layers, lowest
# first; a file may include its own folder and any folder listed before it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
layers=(win program localisation imagefiles document painting views panels dialogs extras app)

rank() {
    local i
    for i in "${!layers[@]}"; do
        [ "${layers[$i]}" = "$1" ] && { echo "$i"; return; }
    done
    echo -1
}

status=0
for folder in src/*/; do
    folder=$(basename "$folder")
    own=$(rank "$folder")
    if [ "$own" -lt 0 ]; then
        echo "src/$folder is in no layer: add it to the list in scripts/check-layers.sh" >&2
        status=1
        continue
    fi
    while IFS=: read -r file line text; do
        target=$(sed -E 's/^#include "([a-z]+)\/.*/\1/' <<<"$text")
        other=$(rank "$target")
        if [ "$other" -gt "$own" ]; then
            echo "$file:$line: $folder includes $target, a higher layer" >&2
            status=1
        fi
    done < <(grep -nE '^#include "[a-z]+/' -r "src/$folder" || true)
done
[ $status -eq 0 ] && echo "layers: every include points down (${layers[*]})"
exit $status
