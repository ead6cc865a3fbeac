#!/usr/bin/env bash
# Screenshots of the program under Wine on a private Xvfb display.
#   scripts/screenshot.sh <build dir> <language number> <out.png> [picture file]
#       the main window after start-up, for the README (0 German, 1 English, the archive's order)
#   scripts/screenshot.sh --guide <build dir> [out folder]
#       every picture of docs/guide.md (into docs/guide unless another folder is named), in English
# The program runs in portable mode from a scratch folder in the build tree with "lng" set. ImageMagick's
# import grabs the screen (xwd shows windows opened over the main window black), convert crops it and writes
# the PNG. The guide's pictures come from real input: xdotool clicks the tool box and the palette, drags on
# the canvas, opens menus and dialogs with the program's keys and waits for each window by its title.
# shellcheck disable=SC2046  # at and pic print "x y", two words for xdotool, on purpose
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

guide=0
if [ "${1:-}" = --guide ]; then
    guide=1
    shift
fi
if [ $guide -eq 0 ] && [ $# -lt 3 ]; then
    echo "usage: $0 <build dir> <language number> <out.png> [picture file]" >&2
    echo "       $0 --guide <build dir> [out folder]" >&2
    exit 2
fi
if [ $guide -eq 1 ] && [ $# -lt 1 ]; then
    echo "usage: $0 --guide <build dir> [out folder]" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
[ -f "$build/Tessora.exe" ] || { echo "no Tessora.exe in $build" >&2; exit 1; }

# ---- tools -------------------------------------------------------------------------------------------
# Wine, Xvfb and xwininfo come with the build's packages; the input tool and ImageMagick only this script needs.
"$root/scripts/ensure-deps.sh"
missing=()
for p in xdotool imagemagick; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo_cmd=()
    [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    echo "Installing: ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
fi
convert=/usr/bin/convert
[ -x "$convert" ] || convert=convert
import=/usr/bin/import
[ -x "$import" ] || import=import

. "$root/scripts/wine-env.sh"
trap tessora_wine_stop EXIT
tessora_wine_start "$build"

# The settings file beside Tessora_portable.exe: language, no reopening of the last file, and for the guide
# a fixed window and picture size so that the clicks below land where they are meant to.
start_program() {
    local scratch="$1" language="$2" settings="$3"
    shift 3
    rm -rf "$scratch"
    mkdir -p "$scratch"
    cp "$build/Tessora.exe" "$scratch/Tessora_portable.exe"
    printf '[Tessora]\r\nlng=%s\r\nm_open_lasst=0\r\n%s' "$language" "$settings" >"$scratch/Tessora.ini"
    (cd "$scratch" && wine Tessora_portable.exe "$@" >/dev/null 2>&1 &)
}

if [ $guide -eq 0 ]; then
    language="$2"; out="$3"; picture="${4:-}"
    start_program "$build/screenshot-run" "$language" "" ${picture:+"$picture"}
    sleep "${TESSORA_SHOT_WAIT:-12}"
    "$import" -window root miff:- | "$convert" miff:- -trim "$out"
    wineserver -k || true
    exit 0
fi

out=${2:-"$root/docs/guide"}
mkdir -p "$out"
out=$(cd "$out" && pwd)

# ---- waiting and grabbing ----------------------------------------------------------------------------

# Short pause for the program to repaint after an action; every window is waited for by its title.
settle() { sleep "${1:-0.3}"; }

# The first visible window whose title matches the extended regular expression, waited for up to 20 s.
wait_window() {
    local pattern="$1" tries=$((${2:-20} * 10)) id
    while [ $tries -gt 0 ]; do
        id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1 || true)
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
        tries=$((tries - 1))
    done
    echo "no window titled '$pattern' appeared" >&2
    return 1
}

wait_gone() {
    local id="$1" tries=200
    while [ $tries -gt 0 ]; do
        xwininfo -id "$id" 2>/dev/null | grep -q "IsViewable" || return 0
        sleep 0.1
        tries=$((tries - 1))
    done
    echo "window $id did not close" >&2
    return 1
}

# The program's visible windows without a title: its open menus (and the progress window).
popups() {
    local id
    for id in $(xdotool search --onlyvisible --classname '^tessora_portable\.exe$' 2>/dev/null || true); do
        [ -z "$(xdotool getwindowname "$id" 2>/dev/null)" ] || continue
        xwininfo -id "$id" 2>/dev/null | grep -q -- "-geometry 1x1+" || echo "$id"
    done
}

# Waits until at least `count` menus are open and prints them.
wait_popups() {
    local count="$1" tries=100 found
    while [ $tries -gt 0 ]; do
        found=$(popups)
        if [ -n "$found" ] && [ "$(wc -l <<<"$found")" -ge "$count" ]; then
            echo "$found"
            return 0
        fi
        sleep 0.1
        tries=$((tries - 1))
    done
    echo "no menu opened" >&2
    return 1
}

# "X Y WIDTH HEIGHT" of a window on the screen.
geometry() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$1")"
    : "$SCREEN" "$WINDOW"
    echo "$X $Y $WIDTH $HEIGHT"
}

# The smallest rectangle around the windows named: "X Y WIDTH HEIGHT".
union() {
    local left=100000 top=100000 right=0 bottom=0 x y w h id
    for id in "$@"; do
        read -r x y w h < <(geometry "$id")
        [ "$x" -lt $left ] && left=$x
        [ "$y" -lt $top ] && top=$y
        [ $((x + w)) -gt $right ] && right=$((x + w))
        [ $((y + h)) -gt $bottom ] && bottom=$((y + h))
    done
    echo "$left $top $((right - left)) $((bottom - top))"
}

# Writes <name>.png from the screen's rectangle X Y WIDTH HEIGHT. Screens of the interface keep 64 colours
# without dithering (flat areas stay flat and small); "photo" keeps 128 colours, dithered, for pictures
# with gradients. No time stamps, so that an unchanged picture gives the same file.
grab_rect() {
    local name="$1" x="$2" y="$3" w="$4" h="$5" kind="${6:-screen}"
    local colours=(+dither -colors 64)
    [ "$kind" = photo ] && colours=(-colors 128)
    "$import" -window root miff:- |
        "$convert" miff:- -crop "${w}x${h}+${x}+${y}" +repage "${colours[@]}" -strip \
            -define png:exclude-chunks=date,time "PNG8:$out/$name.png"
    echo "  $name.png ($w x $h, $(($(stat -c %s "$out/$name.png") / 1024)) KB)"
}

# Writes <name>.png cropped to the windows named (the main window with its open menu, a dialog).
grab() {
    local name="$1"
    shift
    local x y w h
    read -r x y w h < <(union "$@")
    grab_rect "$name" "$x" "$y" "$w" "$h"
}

# ---- the program's window ----------------------------------------------------------------------------
# The main window at (10, 10), 760 x 580, with a 560 x 380 picture: tool box left, palette on top, rulers on,
# so the whole picture shows at 100 %. The stored placement is the 44 bytes of WINDOWPLACEMENT, each byte as
# two letters ('A' + low half, 'A' + high half).
placement_text() {
    local letters=ABCDEFGHIJKLMNOP text="" value i b
    for value in 44 0 1 -1 -1 -1 -1 "$@"; do
        for i in 0 1 2 3; do
            b=$(((value >> (8 * i)) & 255))
            text+=${letters:$((b & 15)):1}${letters:$((b >> 4)):1}
        done
    done
    printf '%s' "$text"
}
picture_width=560
picture_height=380
settings=$(printf 'BMPWidth=%s\r\nBMPHeight=%s\r\n[Binary]\r\nWindowPlacement=%s\r\n' \
    "$picture_width" "$picture_height" "$(placement_text 10 10 770 590)")
scratch="$build/guide-run"
# English is language 1 of the language archive (German 0), as src/localisation/CMakeLists.txt orders it.
start_program "$scratch" 1 "$settings"
# The file dialogs start in the folder Wine's dialog visited last, so names are typed with their folder.
scratch_windows=$(winepath -w "$scratch" 2>/dev/null)
echo "Taking the guide's pictures into $out"
main=$(wait_window '^Untitled - Tessora$' 60)
settle 1.5
read -r WX WY WW WH < <(geometry "$main")
if [ "$WW" != 760 ] || [ "$WH" != 580 ]; then
    echo "the main window is $WW x $WH, not the 760 x 580 the settings file asked for" >&2
    exit 1
fi

# Where things are inside the main window, in its own pixels, for the layout above: the tool box buttons
# (two columns of 25 pixels), the tool settings panel under them, the palette's 16-pixel cells and the
# picture's top-left pixel on the canvas.
canvas_x=77
canvas_y=111
at() { echo $((WX + $1)) $((WY + $2)); }
pic() { at $((canvas_x + $1)) $((canvas_y + $2)); }

# The canvas must show the white picture with the grey canvas around it where the layout says.
pixel() { "$import" -window root miff:- | "$convert" miff:- -format "%[pixel:p{$1,$2}]" info:; }
check_canvas() {
    local inside outside
    read -r x y < <(pic $((picture_width - 1)) $((picture_height - 1)))
    inside=$(pixel "$x" "$y")
    read -r x y < <(pic "$picture_width" "$picture_height")
    outside=$(pixel "$x" "$y")
    if [ "$inside" = "$outside" ]; then
        echo "the picture is not where the script expects it (corner $inside, beyond it $outside)" >&2
        exit 1
    fi
}

# Input. Tools 1-16 in the tool box's order (free-form select ... rounded rectangle).
click_at() {
    xdotool mousemove $(at "$1" "$2") click "${3:-1}"
    settle 0.2
}
choose_tool() { click_at $((16 + 25 * (($1 - 1) % 2))) $((55 + 25 * (($1 - 1) / 2))); }
# Palette cell: column 0-13, row 0-1; button 1 sets the foreground colour, 3 the background colour.
choose_colour() { click_at $((105 + 16 * $2)) $((57 + 16 * $3)) "$1"; }
# The settings panel: shape styles and line widths (shapes), brush shapes, eraser and airbrush sizes,
# opaque or transparent drawing (selections and text).
shape_style() { click_at 28 $((262 + 19 * $1)); }  # 0 outline, 1 outline and fill, 2 fill
# Line widths 1-5: under the shape styles for the four shapes and the polygon, alone for line and curve.
line_width() { click_at 28 $((324 + (46 * ($1 - 1)) / 4)); }
line_width_alone() { click_at 28 $((257 + (45 * ($1 - 1)) / 4)); }
brush_shape() {  # column 0-2 (large to small), row 0-3 (round, square, two slants)
    local rows=(259 273 289 302)
    click_at $((17 + 12 * $1)) "${rows[$2]}"
}
away() { xdotool mousemove $(at 700 300); settle 0.2; }  # off the tool box, so that no button is lit
# Mouse input on the picture, in picture pixels: press <button> x y, move_through x y [x y ...],
# release <button>; drag <button> followed by the points from the press to the release.
press() {
    xdotool mousemove $(pic "$2" "$3") mousedown "$1"
    settle 0.1
}
move_through() {
    while [ $# -ge 2 ]; do
        xdotool mousemove $(pic "$1" "$2")
        sleep 0.04
        shift 2
    done
}
release() {
    xdotool mouseup "$1"
    settle 0.2
}
drag() {
    local button="$1"
    shift
    press "$button" "$1" "$2"
    shift 2
    move_through "$@"
    release "$button"
}
click_picture() {
    xdotool mousemove $(pic "$1" "$2") click "${3:-1}"
    settle 0.2
}
keys() {
    [ $# -eq 0 ] || xdotool key --delay 60 "$@"
    settle 0.3
}
# A menu of the menu bar by its Alt key, then the arrow keys from its first item; prints the menu.
open_menu() {
    local letter="$1" downs="${2:-0}"
    keys "alt+$letter"
    wait_popups 1 >/dev/null
    while [ "$downs" -gt 0 ]; do
        xdotool key Down
        downs=$((downs - 1))
    done
    [ "${2:-0}" -gt 0 ] && settle 0.3
    popups
}

# A checksum of the picture on the canvas, to wait for an effect to finish.
canvas_sum() {
    read -r x y < <(pic 0 0)
    "$import" -window root miff:- |
        "$convert" miff:- -crop "${picture_width}x${picture_height}+${x}+${y}" +repage rgb:- | md5sum
}
wait_canvas_change() {
    local before="$1" tries=300 now previous=""
    while [ $tries -gt 0 ]; do
        now=$(canvas_sum)
        [ "$now" != "$before" ] && [ "$now" = "$previous" ] && return 0
        previous=$now
        sleep 0.2
        tries=$((tries - 1))
    done
    echo "the picture did not change" >&2
    return 1
}
grab_canvas() {
    read -r x y < <(pic 0 0)
    grab_rect "$1" "$x" "$y" "$picture_width" "$picture_height" photo
}
grab_main() { grab "$1" "$main"; }
# dialog_shot <name> <title pattern> <closing key> [keys that open it]: opens the dialog, waits for it by
# its title, grabs it and closes it again.
dialog_shot() {
    local name="$1" title="$2" close="$3"
    shift 3
    keys "$@"
    dialog=$(wait_window "$title")
    settle 0.7
    grab "$name" "$dialog"
    keys "$close"
    wait_gone "$dialog"
}

check_canvas

# ---- the painting tools: a landscape, tool by tool ---------------------------------------------------
# Curve: a hill across the picture, shot while the third drag bends it.
choose_tool 12
line_width_alone 3
drag 1 0 262 559 250
drag 1 170 200 175 195
press 1 400 280
move_through 405 290 410 300
settle 0.3
grab_main tool-curve
release 1

# Fill: grass under the hill, sky above it.
choose_tool 4
choose_colour 1 4 0
click_picture 280 340
choose_colour 1 10 1
click_picture 280 60
away
grab_main tool-fill

# Rectangle: the house's wall, outlined in black and filled with the background colour, shot while dragged.
choose_tool 13
shape_style 1
line_width 2
choose_colour 1 0 0
choose_colour 3 13 1
press 1 90 170
move_through 120 200 180 240 220 275
settle 0.3
grab_main tool-rectangle
release 1

# Polygon: the roof, one drag for the first edge and a click for each corner; shot before it is closed.
choose_tool 14
shape_style 1
choose_colour 3 2 0
drag 1 78 170 155 105
click_picture 232 170
settle 0.2
grab_main tool-polygon
click_picture 78 170

# Rounded rectangle: the door.
choose_tool 16
shape_style 1
choose_colour 3 13 0
drag 1 140 220 170 275
away
grab_main tool-rounded-rectangle

# Ellipse: the sun, shot while dragged.
choose_tool 15
shape_style 1
choose_colour 1 13 1
choose_colour 3 3 1
press 1 440 28
move_through 460 50 490 80 508 96
settle 0.3
grab_main tool-ellipse
release 1

# Line: the sun's rays.
choose_tool 11
line_width_alone 2
for ray in "474 20 474 4" "474 104 474 120" "430 62 414 62" "518 62 534 62" \
    "443 31 431 19" "505 31 517 19" "443 93 431 105" "505 93 517 105"; do
    # shellcheck disable=SC2086
    drag 1 $ray
done
away
grab_main tool-line

# Pencil: three birds.
choose_tool 7
choose_colour 1 0 0
drag 1 240 70 247 77 254 70
drag 1 268 55 275 62 282 55
drag 1 296 78 302 84 308 78
away
grab_main tool-pencil

# Brush: a tree, the trunk with the big square brush and the crown with the big round one.
choose_tool 8
choose_colour 1 13 0
brush_shape 0 1
drag 1 372 250 372 225 371 200 372 175
choose_colour 1 4 0
brush_shape 0 0
for radius in 26 20 14 8 3; do
    drag 1 $((372 + radius)) 160 $((372 + radius * 7 / 10)) $((160 + radius * 7 / 10)) 372 $((160 + radius)) \
        $((372 - radius * 7 / 10)) $((160 + radius * 7 / 10)) $((372 - radius)) 160 \
        $((372 - radius * 7 / 10)) $((160 - radius * 7 / 10)) 372 $((160 - radius)) \
        $((372 + radius * 7 / 10)) $((160 - radius * 7 / 10)) $((372 + radius)) 160
done
away
grab_main tool-brush

# Airbrush: a cloud in white, the biggest spray.
choose_tool 9
click_at 35 296
choose_colour 1 0 1
for _ in 1 2 3 4; do
    press 1 70 45
    for x in $(seq 70 6 190); do move_through "$x" $((40 + (x % 18))); done
    release 1
done
away
grab_main tool-airbrush

# Eraser: a path from the door, in the background colour (light yellow), with the biggest eraser.
choose_tool 3
click_at 28 302
choose_colour 3 8 1
drag 1 155 282 157 300 165 320 180 340 200 360 215 379
away
grab_main tool-eraser

# Text: a box typed into, drawn transparently; the fonts window (View > Text Toolbar) set to 20 points
# without underlining, moved below the picture by its title bar.
choose_tool 10
click_at 28 295
choose_colour 1 0 0
drag 1 250 300 545 352
xdotool type --delay 40 "Home, sweet home"
settle 0.3
open_menu v 3 >/dev/null
keys Return
fonts=$(wait_window '^Fonts$')
settle 0.5
read -r fx fy _ _ < <(geometry "$fonts")
xdotool mousemove $((fx + 120)) $((fy + 10)) mousedown 1
settle 0.1
xdotool mousemove $((fx + 200)) $((fy + 200))
settle 0.1
xdotool mousemove $(at 390 510)
settle 0.2
xdotool mouseup 1
settle 0.5
read -r fx fy _ _ < <(geometry "$fonts")
xdotool mousemove $((fx + 199)) $((fy + 37)) click 1
keys ctrl+a
xdotool type "20"
keys Return
xdotool mousemove $((fx + 297)) $((fy + 37)) click 1
xdotool mousemove $(at 700 520)
settle 0.5
grab tool-text "$main" "$fonts"

# Colour picker: held down on the sun, the foreground colour follows the pointer.
choose_tool 5
press 1 474 62
move_through 475 63 474 62
settle 0.3
grab_main tool-pick-color
release 1

# Magnifier: one click zooms in to 200 % around the house; the frame shows what a second click would fill
# the canvas with. The right button zooms out again.
choose_tool 6
click_picture 160 200
xdotool mousemove $(at 300 300)
settle 0.2
xdotool mousemove $(at 330 320)
settle 0.4
grab_main tool-magnifier
xdotool click 3
settle 0.5
check_canvas

# The finished picture in the whole window.
choose_tool 7
away
grab_main main-window

# ---- selections --------------------------------------------------------------------------------------
# With the sky as background colour, the place a selection is lifted from is filled with sky, and in the
# transparent drawing mode (chosen for the text) the selection leaves its sky out.
choose_colour 3 10 1
# Free-form: a loop drawn around the sun, then the lifted sun dragged to the left (shot during the drag).
choose_tool 1
drag 1 474 0 530 8 550 62 530 118 474 125 418 118 400 62 418 8 472 0
press 1 474 62
move_through 450 62 420 64 390 66 360 66 330 64
settle 0.3
grab_main select-free-form
release 1

# Rectangle: the house, copied with Ctrl held while it is dragged to the right; then its context menu.
choose_tool 2
drag 1 70 95 240 285
xdotool keydown ctrl
press 1 150 200
move_through 170 200 220 205 270 210 300 212
settle 0.3
grab_main select-rectangle
release 1
xdotool keyup ctrl
click_picture 320 240 3
menu=$(wait_popups 1)
grab select-context-menu "$main" $menu
keys Escape
keys Escape

# ---- dialogs -----------------------------------------------------------------------------------------
# Save As (File menu), saving the picture as landscape.png beside the program.
choose_tool 7
away
open_menu f >/dev/null
keys a
dialog=$(wait_window '^Save As$')
settle 1
grab dialog-save-as "$dialog"
xdotool type --delay 30 "$scratch_windows\\landscape"
keys Return
main=$(wait_window '^landscape\.png - Tessora$')
settle 0.5

dialog_shot dialog-attributes '^Attributes$' Escape ctrl+e
dialog_shot dialog-flip-rotate '^Rotate and mirror image$' Escape ctrl+d
dialog_shot dialog-stretch-skew '^Stretch and Skew$' Escape ctrl+k
dialog_shot dialog-open '^Open$' Escape ctrl+o
# Colors > Edit Palette... (the first item) is the system's colour dialog.
open_menu c >/dev/null
dialog_shot dialog-edit-colors '^Colou?r$' Escape Return
# Image > Counting colors... (the last item).
open_menu i >/dev/null
keys Up
dialog_shot dialog-count-colors '^Tessora$' Return Return
# Help > About (the first item).
open_menu h >/dev/null
dialog_shot dialog-about '^About$' Return Return
# A new picture while this one has an unsaved change: the program asks first.
drag 1 20 370 40 372
dialog_shot dialog-save-changes '^Tessora$' Escape ctrl+n

# The Colors menu with the picture effects, open at "16 Colors Optimized"; the Language menu.
menu=$(open_menu c 5)
grab menu-colors "$main" $menu
keys Escape Escape
menu=$(open_menu l)
grab menu-language "$main" $menu
keys Escape Escape

# ---- picture effects ---------------------------------------------------------------------------------
# Q-A.I. > Mountains (the fourth item) paints a generated picture, with a progress window while it works.
keys ctrl+n
dialog=$(wait_window '^Tessora$' 3 2>/dev/null || true)
[ -n "$dialog" ] && keys n
main=$(wait_window '^Untitled - Tessora$')
before=$(canvas_sum)
open_menu q 3 >/dev/null
keys Return
wait_canvas_change "$before"
settle 0.5
grab_canvas effect-before

# Three effects of the Colors menu by their place in it, each undone before the next.
effect() {
    local name="$1" downs="$2"
    before=$(canvas_sum)
    open_menu c "$downs" >/dev/null
    keys Return
    wait_canvas_change "$before"
    grab_canvas "$name"
    before=$(canvas_sum)
    keys ctrl+z
    wait_canvas_change "$before"
}
effect effect-16-colors 5
effect effect-inverted-colors 11
effect effect-gaussian-blur 19

# ---- languages and translation files -----------------------------------------------------------------
# Language > Translate (the item before the last) writes the template into the temporary folder.
find "$WINEPREFIX/drive_c/users" -path '*/Temp/*_translate.txt' -delete 2>/dev/null || true
open_menu l >/dev/null
keys Up Up Return
template=""
for i in $(seq 1 100); do
    template=$(find "$WINEPREFIX/drive_c/users" -path '*/Temp/*_translate.txt' -size +1k 2>/dev/null | head -n 1)
    [ -n "$template" ] && break
    sleep 0.1
done
[ -n "$template" ] || { echo "Translate wrote no template" >&2; exit 1; }
settle 1
# A translator's first steps into Dutch, which the program does not have: the header and the texts of the
# flip/rotate dialog; every other line stays English. Saved as UTF-16 with its byte-order mark, as the
# template is.
iconv -f UTF-16LE -t UTF-8 "$template" | sed \
    -e 's/^##=English\tEnglish/##=Dutch\tNederlands/' \
    -e 's/^8000=.*/8000=Afbeelding draaien en spiegelen\r/' \
    -e 's/^8001=.*/8001=Horizontaal spiegelen\r/' \
    -e 's/^8002=.*/8002=Verticaal spiegelen\r/' \
    -e 's/^8003=.*/8003=Draaien over een hoek van\r/' \
    -e 's/^977=.*/977=Annuleren\r/' |
    iconv -f UTF-8 -t UTF-16LE >"$scratch/Tessora_Nederlands.txt"
# Load from File (Unicode), the last item: the file chosen by name in the open dialog.
open_menu l >/dev/null
keys Up Return
dialog=$(wait_window '^Open$')
settle 0.7
xdotool type --delay 30 "$scratch_windows\\Tessora_Nederlands.txt"
keys Return
dialog_shot dialog-translation-report '^Translate$' Return
dialog_shot translation-flip-rotate '^Afbeelding draaien en spiegelen$' Escape ctrl+d
# Back to English from the menu (its second item), which ends the trial of the file.
open_menu l 1 >/dev/null
keys Return

echo "Done: $(find "$out" -name '*.png' | wc -l) pictures in $out"
wineserver -k || true
