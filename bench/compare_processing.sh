#!/usr/bin/env bash
# Compares our resizing and colour reduction with ImageMagick in one run:
#  - shrinking a 6000 x 4000 photo to 428 x 321 by area averaging (convert -filter Box -resize 428x321!),
#  - reducing a 480 x 480 photo to 256 and to 16 colours with Floyd-Steinberg dithering
#    (convert -dither FloydSteinberg -colors N), with the mean squared error of both results.
# ImageMagick's own time is measured with hyperfine, with and without the operation, so that reading the
# file can be taken out. Usage: bench/compare_processing.sh [BUILD_DIR]
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-processing}
bench=$build/bench/bench_imaging_processing
convert=/usr/bin/convert
compare=/usr/bin/compare
python=/usr/bin/python3

if [ ! -x "$convert" ] || ! command -v hyperfine >/dev/null; then
    apt-get install -y imagemagick hyperfine >/dev/null
fi
cmake --build "$build" --target bench_imaging_processing >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "Making test photos..."
"$convert" -seed 7 -size 6000x4000 plasma:fractal -blur 0x0.7 -type TrueColor "BMP3:$work/photo.bmp"
"$convert" -seed 3 -size 480x480 plasma:fractal -type TrueColor "BMP3:$work/small.bmp"

echo "Running our benchmark..."
PICTOREL_BENCH_PHOTO=$work/photo.bmp PICTOREL_BENCH_SMALL=$work/small.bmp PICTOREL_BENCH_OUT=$work \
    "$bench" --benchmark_out="$work/ours.json" --benchmark_out_format=json >/dev/null

echo "Timing ImageMagick..."
hyperfine -N --warmup 1 --runs 5 --export-json "$work/shrink.json" \
    "$convert $work/photo.bmp null:" \
    "$convert $work/photo.bmp -filter Box -resize 428x321! null:" >/dev/null
hyperfine -N --warmup 2 --runs 15 --export-json "$work/reduce.json" \
    "$convert $work/small.bmp null:" \
    "$convert $work/small.bmp -dither FloydSteinberg -colors 256 null:" \
    "$convert $work/small.bmp -dither FloydSteinberg -colors 16 null:" >/dev/null
for colors in 256 16; do
    "$convert" "$work/small.bmp" -dither FloydSteinberg -colors "$colors" "$work/im-$colors.png"
done

# mse A B: mean squared error per channel on the 0..255 scale.
mse() {
    "$compare" -metric MSE "$1" "$2" null: 2>&1 | sed -E 's/.*\(([0-9.e+-]+)\).*/\1/' |
        awk '{ printf "%.2f", $1 * 65025 }'
}
mse_ours8=$(mse "$work/small.bmp" "$work/ours-8.png")
mse_ours4=$(mse "$work/small.bmp" "$work/ours-4.png")
mse_im8=$(mse "$work/small.bmp" "$work/im-256.png")
mse_im4=$(mse "$work/small.bmp" "$work/im-16.png")

"$python" - "$work" "$mse_ours8" "$mse_im8" "$mse_ours4" "$mse_im4" <<'PY'
import json, sys
work, mse_ours8, mse_im8, mse_ours4, mse_im4 = sys.argv[1:]
ours = {b["name"]: b["real_time"] for b in json.load(open(f"{work}/ours.json"))["benchmarks"]}
def means(name):
    return [r["mean"] * 1000 for r in json.load(open(f"{work}/{name}.json"))["results"]]
read, shrink = means("shrink")
read_small, reduce8, reduce4 = means("reduce")

print()
print("Shrink 6000x4000 -> 428x321 (area averaging), milliseconds")
print(f"  ours, resize only             {ours['BM_ShrinkPhoto/min_time:3.000/real_time']:9.1f}")
print(f"  ImageMagick, resize only      {shrink - read:9.1f}   (whole command {shrink:.1f} minus reading {read:.1f})")
print(f"  ratio ours / ImageMagick      {ours['BM_ShrinkPhoto/min_time:3.000/real_time'] / (shrink - read):9.3f}   goal <= 0.25")
print(f"  ours, read BMP + resize       {ours['BM_LoadAndShrinkPhoto/min_time:3.000/real_time']:9.1f}")
print(f"  ImageMagick, whole command    {shrink:9.1f}")
print(f"  ratio ours / ImageMagick      {ours['BM_LoadAndShrinkPhoto/min_time:3.000/real_time'] / shrink:9.3f}")
print()
print("Reduce 480x480 with Floyd-Steinberg dithering, milliseconds (ImageMagick: command minus reading)")
for bits, colors, im, mo, mi in ((8, 256, reduce8, mse_ours8, mse_im8), (4, 16, reduce4, mse_ours4, mse_im4)):
    mine = ours[f"BM_ReduceDithered/{bits}/min_time:2.000/real_time"]
    print(f"  {bits} bits: ours {mine:7.1f}   ImageMagick {im - read_small:7.1f} (whole {im:.1f})"
          f"   ratio {mine / (im - read_small):6.3f} (vs whole {mine / im:.3f})   goal <= 1")
    print(f"          mean squared error: ours {mo}   ImageMagick {mi}")
fixed8 = ours["BM_ReduceFixedDithered/8/min_time:1.000/real_time"]
fixed4 = ours["BM_ReduceFixedDithered/4/min_time:1.000/real_time"]
print(f"  fixed palette, dithered: 8 bits {fixed8:.1f}, 4 bits {fixed4:.1f}")
PY
