#!/usr/bin/env bash
# CTest's emulator for the Windows build: runs one Windows executable under Wine. test.sh prepares the
# prefix and the display; run from elsewhere it falls back to the build tree's prefix.
set -euo pipefail
if [ -z "${WINEPREFIX:-}" ]; then
    root=$(cd "$(dirname "$0")/.." && pwd)
    export WINEPREFIX="$root/build/windows/wine/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d"
fi
exec wine "$@"
