#!/usr/bin/env bash
# Release packaging: builds the Release Tessora.exe of the windows preset if it is missing or out of
# date, then writes into dist/
#   Tessora-<version>-setup.exe     the installer (NSIS; per machine or per user)
#   Tessora-<version>-portable.zip  Tessora_portable.exe (portable mode by its name) and Portable.txt
#   SHA256SUMS                      the SHA-256 sums of both
# The version is TESSORA_VERSION_TEXT of src/program/version.h, the one the program shows.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

./scripts/ensure-deps.sh
./scripts/build-libpng-mingw.sh
[ -f build/windows/build.ninja ] || cmake --preset windows >/dev/null
# Ninja rebuilds only what changed, so this also answers "out of date".
cmake --build --preset windows --target Tessora >/dev/null
program=build/windows/Tessora.exe

version=$(sed -n 's/^#define TESSORA_VERSION_TEXT "\([0-9A-Za-z.+-]*\)"$/\1/p' src/program/version.h)
[ -n "$version" ] || { echo "no TESSORA_VERSION_TEXT in src/program/version.h" >&2; exit 1; }

dist="$root/dist"
rm -rf "$dist"
mkdir -p "$dist"

./scripts/make-installer.sh "$program" "$dist" >/dev/null

staging=$(mktemp -d)
trap 'rm -rf "$staging"' EXIT
folder="$staging/Tessora-$version-portable"
mkdir -p "$folder"
cp "$program" "$folder/Tessora_portable.exe"
sed 's/\r*$/\r/' packaging/portable.txt >"$folder/Portable.txt"   # CRLF, for Notepad
# Fixed times, so the same program gives the same zip.
touch -d "@${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || date +%s)}" "$folder" "$folder"/*
(cd "$staging" && zip -q -X -9 -r "$dist/Tessora-$version-portable.zip" "Tessora-$version-portable")

(cd "$dist" && sha256sum "Tessora-$version-setup.exe" "Tessora-$version-portable.zip" >SHA256SUMS)
ls -l "$dist"
cat "$dist/SHA256SUMS"
