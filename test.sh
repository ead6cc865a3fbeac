#!/usr/bin/env bash
# Builds both builds and runs every test: the portable core natively under the sanitizers, and the
# Windows program's tests under Wine on a private Xvfb display. Exits non-zero on any failure.
set -euo pipefail
root=$(cd "$(dirname "$0")" && pwd)
cd "$root"

./scripts/ensure-deps.sh
./scripts/build-libpng-mingw.sh

echo "== layers"
./scripts/check-layers.sh

status=0
build_preset() {
    local preset="$1" log="build/$1/build.log"
    if [ ! -f "build/$preset/build.ninja" ]; then
        cmake --preset "$preset" >/dev/null
    fi
    if ! cmake --build --preset "$preset" >"$log" 2>&1; then
        grep -E "error|FAILED" "$log" | head -60
        echo "build of '$preset' failed; full log: $log" >&2
        return 1
    fi
}

echo "== native build (portable core, sanitizers)"
build_preset native
echo "== windows build"
build_preset windows

run_ctest() {
    local preset="$1" log="build/$1/ctest.log"
    if ctest --preset "$preset" -j2 >"$log" 2>&1; then
        grep -E "tests passed|tests failed|Total Test time|No tests were found" "$log" || true
    else
        # Print the failing tests' output, then the summary.
        sed -n '/The following tests FAILED/,$p;/\*\*\*Failed\|\[  FAILED  \]\|Exception\|Timeout/p' "$log" | head -200
        grep -E "tests passed|tests failed|Total Test time" "$log" || tail -30 "$log"
        status=1
    fi
}

echo "== native tests"
run_ctest native

echo "== windows tests (Wine)"
. scripts/wine-env.sh
trap tessora_wine_stop EXIT
tessora_wine_start "$root/build/windows"
run_ctest windows
exit $status
