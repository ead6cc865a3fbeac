#!/usr/bin/env bash
# Takes a screenshot of the program's window under Wine on a private Xvfb display, for the README:
#   scripts/screenshot.sh <build dir> <language number> <out.png> [picture file]
# The program runs in portable mode from a scratch folder with "lng" set; xwd (x11-apps) grabs the
# screen and ImageMagick's convert writes the PNG.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd); language="$2"; out="$3"; picture="${4:-}"
. "$root/scripts/wine-env.sh"
trap tessora_wine_stop EXIT
tessora_wine_start "$build"
scratch="$build/screenshot-run"
rm -rf "$scratch"; mkdir -p "$scratch"
cp "$build/Tessora.exe" "$scratch/Tessora_portable.exe"
printf '[Tessora]\r\nlng=%s\r\nm_open_lasst=0\r\n' "$language" >"$scratch/Tessora.ini"
(cd "$scratch" && wine Tessora_portable.exe ${picture:+"$picture"} >/dev/null 2>&1 &)
sleep "${TESSORA_SHOT_WAIT:-12}"
convert=/usr/bin/convert; [ -x "$convert" ] || convert=convert
xwd -root -silent -display "$DISPLAY" | "$convert" xwd:- -trim "$out"
wineserver -k || true
