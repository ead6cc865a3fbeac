#!/usr/bin/env bash
# Cross-builds the static libpng of Debian's own source package (with Debian's patches applied)
# into build/deps/libpng-mingw. Does nothing when that prefix already holds the library.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
deps="$root/build/deps"
prefix="$deps/libpng-mingw"
[ -f "$prefix/lib/libpng16.a" ] && [ -f "$prefix/include/png.h" ] && exit 0

echo "Building libpng for MinGW-w64 from Debian's source package..."
work="$deps/libpng-src"
rm -rf "$work" && mkdir -p "$work"
# Newest source version first; a mirror that no longer carries it falls back to the next one.
fetched=0
for v in $(apt-cache showsrc libpng1.6 | awk '/^Version:/{print $2}' | sort -rV); do
    if (cd "$work" && apt-get source -qq "libpng1.6=$v" >/dev/null 2>&1); then fetched=1; break; fi
    rm -rf "$work" && mkdir -p "$work"
done
[ $fetched -eq 1 ] || {
    echo "apt-get source libpng1.6 failed (are the deb-src entries present? scripts/ensure-deps.sh adds them)" >&2
    exit 1
}
src=$(find "$work" -maxdepth 1 -mindepth 1 -type d -name 'libpng1.6-*' | head -n 1)
[ -n "$src" ] || { echo "libpng source folder not found in $work" >&2; exit 1; }

cmake -S "$src" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF -DPNG_TOOLS=OFF \
    -DSKIP_INSTALL_PROGRAMS=ON -DSKIP_INSTALL_FILES=ON >"$work/configure.log" 2>&1 \
    || { cat "$work/configure.log" >&2; exit 1; }
cmake --build "$work/build" >"$work/build.log" 2>&1 || { tail -50 "$work/build.log" >&2; exit 1; }
cmake --install "$work/build" >/dev/null
[ -f "$prefix/lib/libpng16.a" ] || { echo "libpng16.a missing after the build" >&2; exit 1; }
