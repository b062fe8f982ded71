#!/usr/bin/env bash
# Times each effect kernel next to the closest ImageMagick command on the same 12-megapixel picture.
#
# Usage: bench/compare_effects.sh [build-dir]   (the build dir holds bench/bench_imaging_effects)
#
# How the two are compared: our kernels are timed inside bench_imaging_effects (Google Benchmark, wall
# time, image already in memory). ImageMagick is timed with hyperfine on `convert in.mpc <op> out.mpc`;
# MPC is ImageMagick's own memory-mapped pixel cache, so no codec runs, and the time of the plain copy
# `convert in.mpc out.mpc` (read + write of the cache, process start) is subtracted from each command.
# Both sides use every core. Ratio = ours / ImageMagick's; below 1 means we are faster.
set -euo pipefail

build=${1:-build}
root=$(cd "$(dirname "$0")/.." && pwd)
[[ $build = /* ]] || build=$root/$build
bench=$build/bench/bench_imaging_effects
[[ -x $bench ]] || { echo "missing $bench: build the bench_imaging_effects target first" >&2; exit 1; }

# Debian's ImageMagick (another `convert` may come first on PATH) and hyperfine.
if [[ ! -x /usr/bin/convert ]] || ! command -v hyperfine >/dev/null; then
    apt-get install -y imagemagick hyperfine >/dev/null
fi
magick=/usr/bin/convert
runs=${RUNS:-3}

work=$(mktemp -d "${TMPDIR:-/tmp}/compare-effects.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$bench" --write-picture "$work/in.png"
"$magick" "$work/in.png" "$work/in.mpc"

# kernel name in the benchmark | ImageMagick arguments
comparisons=(
    "RotateLeft|-rotate -90"
    "FlipUpDown|-flip"
    "Darken|-gamma 0.95"
    "RemoveNoise|-statistic median 3x3"
    "AntiAlias|-blur 1x0.85"
    "Sharp5|-sharpen 0x1"
    "SetGray|-colorspace gray"
    "Sepia|-sepia-tone 80%"
    "OilPaint10|-paint 4"
    "Canvas10|-shade 135x45"
    "Ripple|-distort Barrel 0.0,0.0,0.1,0.9"
    "Waves|-wave 25x50"
    "Lens10|-implode -0.5"
    "Mosaic10|-scale 10% -scale 1000%"
    "Blur5|-blur 0x5.5"
)

filter=$(printf '%s\n' "${comparisons[@]}" | cut -d'|' -f1 | paste -sd'|')
"$bench" --benchmark_filter="^($filter)/" --benchmark_min_time=1 --benchmark_format=csv 2>/dev/null \
    | grep real_time > "$work/ours.csv"

mean_ms() { # hyperfine JSON -> mean in milliseconds
    python3 -c 'import json,sys; print(round(json.load(open(sys.argv[1]))["results"][0]["mean"]*1000, 1))' "$1"
}
hyperfine --style none --warmup 1 --runs "$runs" --export-json "$work/base.json" \
    "$magick $work/in.mpc $work/out.mpc" >/dev/null
base=$(mean_ms "$work/base.json")

printf '%-12s %-38s %10s %10s %8s\n' kernel "ImageMagick command" "ours ms" "IM ms" ratio
printf '%-12s %-38s %10s %10s %8s\n' "" "(IM copy baseline $base ms subtracted)" "" "" ""
for entry in "${comparisons[@]}"; do
    name=${entry%%|*}
    args=${entry#*|}
    ours=$(awk -F, -v n="\"$name/real_time\"" '$1 == n { print $3 }' "$work/ours.csv")
    hyperfine --style none --warmup 1 --runs "$runs" --export-json "$work/im.json" \
        "$magick $work/in.mpc $args $work/out.mpc" >/dev/null
    im=$(python3 -c "print(round(max($(mean_ms "$work/im.json") - $base, 1.0), 1))")
    ratio=$(python3 -c "print(f'{$ours / $im:.2f}')")
    printf '%-12s %-38s %10.1f %10.1f %8s\n' "$name" "$args" "$ours" "$im" "$ratio"
done
