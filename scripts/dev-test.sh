#!/usr/bin/env bash
# Developer loop: build one preset into a build folder of your choice and run (some of) its tests.
#   scripts/dev-test.sh windows build/mine-windows -R tests_document
#   scripts/dev-test.sh native  build/mine-native
# The Windows tests get their own Wine prefix and Xvfb display inside that build folder, so several
# developers can run tests side by side without stopping each other's wineserver.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
preset="$1"; build="$2"; shift 2
cd "$root"
case "$build" in /*) ;; *) build="$root/$build" ;; esac
[ -f "$build/build.ninja" ] || cmake --preset "$preset" -B "$build" >/dev/null
cmake --build "$build"
if [ "$preset" = windows ]; then
    . scripts/wine-env.sh
    trap tessora_wine_stop EXIT
    tessora_wine_start "$build"
fi
ctest --test-dir "$build" --output-on-failure "$@"
