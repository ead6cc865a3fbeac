#!/usr/bin/env bash
# Runs every fuzzer (or the ones named) for the given number of seconds each, default 60, from its seeds
# in tests/fuzz/corpus/<target>, and stops at the first finding. A finding is copied into
# tests/fuzz/crashers/<target>/, which every test run replays: fix it at its cause and keep the file.
#   scripts/fuzz.sh [seconds] [target...]
# Installs clang when it is missing; the fuzz build lives in build/fuzz, its growing corpus beside it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
seconds="${1:-60}"
[ $# -gt 0 ] && shift

if ! command -v clang++ >/dev/null; then
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    echo "Installing clang for the fuzz build"
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends clang >/dev/null
fi
./scripts/ensure-deps.sh
[ -f build/fuzz/build.ninja ] || cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >build/fuzz/build.log 2>&1 || { grep -E "error|FAILED" build/fuzz/build.log | head -40; exit 1; }

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for folder in tests/fuzz/corpus/*/; do targets+=("$(basename "$folder")"); done
fi

for target in "${targets[@]}"; do
    program="build/fuzz/tests/fuzz/fuzz_$target"
    [ -x "$program" ] || { echo "no fuzzer '$target'" >&2; exit 2; }
    work="build/fuzz/corpus/$target" findings="build/fuzz/findings/$target" log="build/fuzz/$target.log"
    mkdir -p "$work" "$findings"
    echo "== $target: $seconds s"
    status=0
    "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$findings/" "$work" "tests/fuzz/corpus/$target" >"$log" 2>&1 || status=$?
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
    echo "   $runs executions"
    if [ $status -ne 0 ]; then
        mkdir -p "tests/fuzz/crashers/$target"
        for found in "$findings"/*; do
            [ -f "$found" ] && cp "$found" "tests/fuzz/crashers/$target/" && echo "   finding: tests/fuzz/crashers/$target/$(basename "$found")"
        done
        grep -E "ERROR|SUMMARY|fuzz check failed|runtime error" "$log" | head -20
        echo "   full log: $log"
        exit 1
    fi
done
