#!/usr/bin/env bash
# Builds the installer from the build tree's Tessora.exe with makensis, then runs tests_installer.exe
# under Wine on it. Without makensis the test is skipped (exit 77, CTest's SKIP_RETURN_CODE).
#   installer_test.sh <Tessora.exe> <tests_installer.exe> <folder for the installer>
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
if ! command -v makensis >/dev/null; then
    echo "SKIPPED: makensis is not installed (Debian package nsis; scripts/ensure-deps.sh installs it)"
    exit 77
fi
setup=$("$root/scripts/make-installer.sh" "$1" "$3")
exec "$root/scripts/wine-exec.sh" "$2" "$setup"
