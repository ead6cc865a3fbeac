#!/usr/bin/env bash
# Times Tessora's operations (bench/TessoraBench.exe under Wine) beside the nearest ImageMagick and
# libvips operations on the same 4000 x 3000 picture, on this machine, in this run. Both engines run on
# one thread; their cost of reading and writing the file is subtracted through a no-op run.
# Output, one line per operation:
#   <operation> <our ms> <ImageMagick ms> <our ratio to ImageMagick> [<libvips ms> <our ratio to libvips>]
# (rows of ours alone: <operation> <our ms>)
#   bench/compare.sh [runs]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-5}
cd "$root"

./scripts/ensure-deps.sh
# Some machines put a stand-in `convert` ahead of ImageMagick's on the PATH; the system's comes first here.
export PATH="/usr/bin:$PATH"
need=()
convert -version 2>/dev/null | grep -q ImageMagick || need+=(imagemagick)
command -v vips >/dev/null || need+=(libvips-tools)
if [ ${#need[@]} -gt 0 ]; then
    sudo_cmd=(); [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${need[@]}" >/dev/null
fi
./scripts/build-libpng-mingw.sh
build="$root/build/windows"
[ -f "$build/build.ninja" ] || cmake --preset windows >/dev/null
cmake --build "$build" --target TessoraBench >/dev/null

work="$build/bench-compare"
mkdir -p "$work"
input="$work/input.ppm"
[ -f "$input" ] || convert -size 4000x3000 -seed 1 plasma:fractal -depth 8 "$input"

# Median wall time in ms of a command, over $runs runs.
median_ms() {
    local times=() i start end
    for i in $(seq 1 "$runs"); do
        start=$(date +%s%N)
        "$@" >/dev/null 2>&1
        end=$(date +%s%N)
        times+=($(((end - start) / 1000)))
    done
    printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {printf "%.2f", a[int((NR+1)/2)]/1000}'
}

im() { convert -limit thread 1 "$input" "$@" "$work/out.ppm"; }
export VIPS_CONCURRENCY=1
vipsin="$work/input.v"
[ -f "$vipsin" ] || vips copy "$input" "$vipsin"
{ echo "7 7 49 0"; for r in 1 2 3 4 5 6 7; do echo "1 1 1 1 1 1 1"; done; } >"$work/box7.mat"

# Raster core inputs: an RGBA picture whose alpha follows the green channel, lookup table and kernels.
rgba="$work/input_rgba.pam"
[ -f "$rgba" ] || convert "$input" \( +clone -channel G -separate +channel \) -alpha off -compose CopyOpacity -composite "$rgba"
[ -f "$work/input_rgba.v" ] || { convert "$rgba" "$work/input_rgba.png" && vips copy "$work/input_rgba.png" "$work/input_rgba.v"; }
[ -f "$work/brighter.v" ] || { vips identity "$work/identity.v" && vips linear "$work/identity.v" "$work/brighter.v" 1 10 --uchar; }
printf '3 3 1 127\n0 0 -1\n0 0 0\n1 0 0\n' >"$work/emboss.mat"
printf '3 3 7 0\n-1 -1 -1\n-1 15 -1\n-1 -1 -1\n' >"$work/sharpen.mat"
printf '3 3 1 255\n-1 -1 -1\n-1 8 -1\n-1 -1 -1\n' >"$work/edges.mat"

im_base=$(median_ms im)
vips_base=$(median_ms vips copy "$vipsin" "$work/out.v")

# Our numbers.
. scripts/wine-env.sh
trap tessora_wine_stop EXIT
tessora_wine_start "$build"
# The raster core's benchmarks work on the same picture as the other engines.
TESSORA_BENCH_PPM=$(winepath -w "$input")
export TESSORA_BENCH_PPM
ours=$(wine "$build/bench/TessoraBench.exe" "$runs" | tr -d '\r')
echo "$ours" | sed 's/^/# /'

line() {
    local name="$1" imms="$2" vipsms="${3:-}"
    local our
    our=$(echo "$ours" | awk -v n="$name" '$1 == n {print $2}')
    [ -n "$our" ] || return 0
    imms=$(awk -v a="$imms" -v b="$im_base" 'BEGIN {d = a - b; if (d < 0.01) d = 0.01; printf "%.2f", d}')
    local out
    out=$(awk -v o="$our" -v i="$imms" 'BEGIN {printf "%.2f %.2f %.2f", o, i, o / i}')
    if [ -n "$vipsms" ]; then
        vipsms=$(awk -v a="$vipsms" -v b="$vips_base" 'BEGIN {d = a - b; if (d < 0.01) d = 0.01; printf "%.2f", d}')
        out="$out $(awk -v o="$our" -v v="$vipsms" 'BEGIN {printf "%.2f %.2f", v, o / v}')"
    fi
    echo "$name $out"
}

line TurnQuarter "$(median_ms im -rotate 90)" "$(median_ms vips rot "$vipsin" "$work/out.v" d90)"
line TurnQuarterBack "$(median_ms im -rotate 270)" "$(median_ms vips rot "$vipsin" "$work/out.v" d270)"
line MirrorHorizontal "$(median_ms im -flop)" "$(median_ms vips flip "$vipsin" "$work/out.v" horizontal)"
line MirrorVertical "$(median_ms im -flip)" "$(median_ms vips flip "$vipsin" "$work/out.v" vertical)"
line InvertPicture "$(median_ms im -negate)" "$(median_ms vips invert "$vipsin" "$work/out.v")"
line BoxBlur3 "$(median_ms im -statistic Mean 7x7)" "$(median_ms vips conv "$vipsin" "$work/out.v" "$work/box7.mat" --precision integer)"
line DecreaseBpp8Diffusion "$(median_ms im -dither FloydSteinberg -remap netscape:)"
line DecreaseBpp1 "$(median_ms im -monochrome)"
line ToGray "$(median_ms im -colorspace Gray)" "$(median_ms vips colourspace "$vipsin" "$work/out.v" b-w)"
line AdjustLight "$(median_ms im -brightness-contrast 10x0)" "$(median_ms vips maplut "$vipsin" "$work/out.v" "$work/brighter.v")"
line Saturate "$(median_ms im -modulate 100,125)"
line ConvolveEmboss "$(median_ms im -morphology Convolve '3x3: 0,0,-1 0,0,0 1,0,0')" \
    "$(median_ms vips conv "$vipsin" "$work/out.v" "$work/emboss.mat" --precision integer)"
line ConvolveSharpen "$(median_ms im -morphology Convolve '3x3: -1,-1,-1 -1,15,-1 -1,-1,-1')" \
    "$(median_ms vips conv "$vipsin" "$work/out.v" "$work/sharpen.mat" --precision integer)"
line ConvolveEdges "$(median_ms im -morphology Convolve '3x3: -1,-1,-1 -1,8,-1 -1,-1,-1')" \
    "$(median_ms vips conv "$vipsin" "$work/out.v" "$work/edges.mat" --precision integer)"
line BlurGaussian2 "$(median_ms im -gaussian-blur 0x2)" "$(median_ms vips gaussblur "$vipsin" "$work/out.v" 2)"
line CountColours "$(median_ms identify -limit thread 1 -format %k "$input")"
line PngEncodeAlpha "$(median_ms convert -limit thread 1 "$rgba" "$work/out.png")" \
    "$(median_ms vips pngsave "$work/input_rgba.v" "$work/out.png")"

# The file layer: ImageMagick's own cost of a save is its run minus reading the input, of an open its run
# minus starting up. Both are on the same picture and, for PNG with alpha, on the same RGBA picture.
line_net() {
    local name="$1" imms="$2"
    local our
    our=$(echo "$ours" | awk -v n="$name" '$1 == n {print $2}')
    [ -n "$our" ] || return 0
    awk -v n="$name" -v o="$our" -v i="$imms" 'BEGIN {if (i < 0.01) i = 0.01; printf "%s %.2f %.2f %.2f\n", n, o, i, o / i}'
}
net() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a - b}'; }
im_start=$(median_ms convert -limit thread 1 -size 1x1 xc:white null:)
im_read=$(median_ms convert -limit thread 1 "$input" null:)
im_read_rgba=$(median_ms convert -limit thread 1 "$rgba" null:)
for ext in bmp png jpg; do convert "$input" "$work/saved.$ext"; done
convert "$rgba" "$work/saved_rgba.png"
# The picture is saved at its own 32 bits per pixel, as Tessora saves its pictures.
line_net SaveBmp "$(net "$(median_ms convert -limit thread 1 "$input" -type TrueColorAlpha "$work/out.bmp")" "$im_read")"
line_net OpenBmp "$(net "$(median_ms convert -limit thread 1 "$work/saved.bmp" null:)" "$im_start")"
line_net SavePng24 "$(net "$(median_ms convert -limit thread 1 "$input" "$work/out.png")" "$im_read")"
line_net OpenPng24 "$(net "$(median_ms convert -limit thread 1 "$work/saved.png" null:)" "$im_start")"
line_net SavePngAlpha "$(net "$(median_ms convert -limit thread 1 "$rgba" "$work/out.png")" "$im_read_rgba")"
line_net OpenPngAlpha "$(net "$(median_ms convert -limit thread 1 "$work/saved_rgba.png" null:)" "$im_start")"
line_net SaveJpeg "$(net "$(median_ms convert -limit thread 1 "$input" "$work/out.jpg")" "$im_read")"
line_net OpenJpeg "$(net "$(median_ms convert -limit thread 1 "$work/saved.jpg" null:)" "$im_start")"

# The picture effects as the menu applies them, against ImageMagick's nearest operation. The palettes of
# the colour reductions: black and white, and the 16 colours of the 4-bit standard palette.
convert xc:black xc:white +append "$work/pal2.ppm"
convert xc:'#000000' xc:'#800000' xc:'#008000' xc:'#808000' xc:'#000080' xc:'#800080' xc:'#008080' \
    xc:'#C0C0C0' xc:'#808080' xc:'#FF0000' xc:'#00FF00' xc:'#FFFF00' xc:'#0000FF' xc:'#FF00FF' xc:'#00FFFF' \
    xc:'#FFFFFF' +append "$work/pal16.ppm"
# A cheap per-pixel operation costs ImageMagick less than the noise of reading and writing the picture:
# it runs `reps` times in one go and one run's share is taken. The nearest libvips operation, where it
# has one, follows (one run, its cost of reading and writing subtracted).
#   effect <name> <reps> "<libvips operation and arguments, or empty>" <ImageMagick arguments...>
effect() {
    local name="$1" reps="$2" vipsop="$3"
    shift 3
    local args=() i
    for i in $(seq 1 "$reps"); do args+=("$@"); done
    local out
    out=$(line_net "$name" "$(awk -v t="$(median_ms im "${args[@]}")" -v b="$im_base" -v r="$reps" 'BEGIN {printf "%.2f", (t - b) / r}')")
    [ -n "$out" ] || return 0
    if [ -n "$vipsop" ]; then
        local op rest vipsms
        read -r op rest <<<"$vipsop"
        # shellcheck disable=SC2086
        vipsms=$(median_ms vips "$op" "$vipsin" "$work/out.v" $rest)
        out="$out $(awk -v o="$(echo "$out" | awk '{print $2}')" -v a="$vipsms" -v b="$vips_base" \
            'BEGIN {d = a - b; if (d < 0.01) d = 0.01; printf "%.2f %.2f", d, o / d}')"
    fi
    echo "$out"
}
printf '3 3 1 0\n0.393 0.769 0.189\n0.349 0.686 0.168\n0.272 0.534 0.131\n' >"$work/sepia.mat"
effect EffectBoxBlur 1 "conv $work/box7.mat --precision integer" -statistic Mean 7x7
effect EffectTwoColours 1 "" -dither FloydSteinberg -remap "$work/pal2.ppm"
effect EffectGrey 1 "colourspace b-w" -colorspace Gray
effect EffectSixteenColours 1 "" -dither FloydSteinberg -remap "$work/pal16.ppm"
effect Effect256Colours 1 "" -dither FloydSteinberg -remap netscape:
effect EffectSixteenBits 10 "" -evaluate And 63736
effect EffectSepia 10 "recomb $work/sepia.mat" -sepia-tone 80%
effect EffectInvert 10 "invert" -negate
effect EffectDarker 10 "maplut $work/brighter.v" -evaluate subtract 3.9%
effect EffectBrighter 10 "maplut $work/brighter.v" -evaluate add 3.9%
effect EffectMoreContrast 10 "maplut $work/brighter.v" -brightness-contrast 0x10
effect EffectLessContrast 10 "maplut $work/brighter.v" -brightness-contrast 0x-10
effect EffectMoreSaturation 10 "" -modulate 100,125
effect EffectLessSaturation 10 "" -modulate 100,75
effect EffectRedEye 10 "" -channel R -evaluate multiply 0.9 +channel
effect EffectGaussianBlur 1 "gaussblur 2" -gaussian-blur 0x2
effect EffectEmboss 1 "conv $work/emboss.mat --precision integer" -morphology Convolve '3x3: 0,0,-1 0,0,0 1,0,0'
effect EffectSharpen 1 "conv $work/sharpen.mat --precision integer" -morphology Convolve '3x3: -1,-1,-1 -1,15,-1 -1,-1,-1'
effect EffectEdges 1 "conv $work/edges.mat --precision integer" -morphology Convolve '3x3: -1,-1,-1 -1,8,-1 -1,-1,-1'
# Changes of depth alone: ImageMagick's nearest is marking the picture true colour or giving it alpha.
effect EffectTwentyFourBits 1 "" -type TrueColor
effect EffectThirtyTwoBits 1 "" -alpha set
# Rows of ours alone: the first run on a picture of a new size, and effects one after another.
for name in EffectInvertFreshMemory EffectInvertKeepingHistory TxFromToBitmap; do
    echo "$ours" | awk -v n="$name" '$1 == n {print $1, $2}'
done
