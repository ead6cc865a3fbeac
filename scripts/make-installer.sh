#!/usr/bin/env bash
# Builds the Windows installer from a Tessora.exe with NSIS (makensis):
#   scripts/make-installer.sh build/windows/Tessora.exe dist
# writes <folder>/Tessora-<version>-setup.exe and prints its path. The version is the program's own,
# TESSORA_VERSION_TEXT in src/program/version.h.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
program=$(realpath "$1")
outdir="$2"
mkdir -p "$outdir"
outdir=$(realpath "$outdir")

version=$(sed -n 's/^#define TESSORA_VERSION_TEXT "\([0-9A-Za-z.+-]*\)"$/\1/p' "$root/src/program/version.h")
[ -n "$version" ] || { echo "no TESSORA_VERSION_TEXT in src/program/version.h" >&2; exit 1; }
# The version resource of the installer wants four numbers; a pre-release suffix is dropped there.
numeric=$(printf '%s' "$version" | sed 's/[^0-9.].*//')

setup="$outdir/Tessora-$version-setup.exe"
makensis -V2 -INPUTCHARSET UTF8 "-DVERSION=$version" "-DNUMERIC_VERSION=$numeric" "-DPROGRAM=$program" \
    "-DOUTFILE=$setup" "$root/packaging/tessora.nsi" >&2
echo "$setup"
