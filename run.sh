#!/usr/bin/env bash
# Starts Tessora: installs what is missing, builds the Windows program if it is out of date and runs it
# (under Wine on Linux, on the user's display). An optional picture file is passed on as its argument.
#   ./run.sh [picture]
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)

"$root/scripts/ensure-deps.sh"
"$root/scripts/build-libpng-mingw.sh"
build="$root/build/windows"
[ -f "$build/build.ninja" ] || (cd "$root" && cmake --preset windows >/dev/null)
if ! cmake --build "$build" --target Tessora >"$build/run-build.log" 2>&1; then
    grep -E "error|FAILED" "$build/run-build.log" | head -40
    echo "The build failed; full log: $build/run-build.log" >&2
    exit 1
fi

exe="$build/Tessora.exe"
args=()
if [ $# -gt 0 ]; then
    picture="$1"
    # Wine maps the Unix root to drive Z:, so an absolute Unix path becomes Z:\ plus the path.
    case "$picture" in /*) ;; *) picture="$PWD/$picture" ;; esac
    args=("Z:${picture//\//\\}")
fi

if [ "$(uname -s)" = Linux ]; then
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-winemenubuilder.exe=d}
    if [ -z "${DISPLAY:-}" ]; then
        echo "No display (DISPLAY is not set); Tessora needs one to show its window." >&2
        exit 1
    fi
    exec wine "$exe" "${args[@]}"
else
    exec "$exe" "${args[@]}"
fi
