#!/usr/bin/env bash
# Times each effect kernel next to the closest ImageMagick command on the same 12-megapixel picture.
#
# Usage: bench/compare_effects.sh [build-dir]   (the build dir holds bench/bench_imaging_effects)
#
# How the two are compared: our kernels are timed inside bench_imaging_effects (Google Benchmark, wall
# time, image already in memory). ImageMagick is timed with hyperfine on `convert in.mpc <op> out.mpc`;
# MPC is ImageMagick's own memory-mapped pixel cache, so no codec runs, and the time of the plain copy
# `convert in.mpc out.mpc` (read + write of the cache, process start) is subtracted from each command.
# Our kernels split rows over every core; ImageMagick is left its own OpenMP thread limit (Debian's build ran
# these operations on one core on the 2-core machine), so wall time and CPU time (user + system over all
# threads, also less sensitive to other load) are compared separately. Ratio = ours / ImageMagick's.
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
# Each command runs for at least 3 s (hyperfine's default), at least 3 and at most 15 times.
min_runs=${MIN_RUNS:-3}

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

# hyperfine JSON -> "wall cpu" means in milliseconds (cpu = user + system, all threads)
times_ms() {
    python3 -c 'import json,sys; r=json.load(open(sys.argv[1]))["results"][0]
print(round(r["mean"]*1000, 1), round((r["user"]+r["system"])*1000, 1))' "$1"
}
magick_times() { # arguments -> "wall cpu" of one ImageMagick command
    hyperfine --style none --warmup 1 --min-runs "$min_runs" --max-runs 15 --export-json "$work/im.json" \
        "$magick $work/in.mpc $* $work/out.mpc" >/dev/null 2>>"$work/hyperfine.log"
    times_ms "$work/im.json"
}
read -r base_wall base_cpu <<<"$(magick_times)"
ratio() { python3 -c "print(f'{$1 / max($2 - $3, 1.0):.2f}')"; }

echo "ImageMagick: $($magick -version | head -1)"
echo "IM times are net of the plain copy 'convert in.mpc out.mpc': wall $base_wall ms, cpu $base_cpu ms."
echo "Ours: Google Benchmark mean over >= 1 s, $(nproc) cores; cpu = process CPU time of all threads."
echo "ImageMagick thread limit: $($magick -list resource | awk '/Thread/ { print $2 }')."
printf '%-12s %-36s %9s %9s %7s %9s %9s %7s\n' kernel "ImageMagick command" "ours wall" "IM wall" ratio \
    "ours cpu" "IM cpu" ratio
for entry in "${comparisons[@]}"; do
    name=${entry%%|*}
    args=${entry#*|}
    read -r ours_wall ours_cpu < <(awk -F, -v n="\"$name/" 'index($1, n) == 1 { print $3, $4 }' "$work/ours.csv")
    read -r im_wall im_cpu <<<"$(magick_times "$args")"
    printf '%-12s %-36s %9.1f %9.1f %7s %9.1f %9.1f %7s\n' "$name" "$args" "$ours_wall" \
        "$(python3 -c "print(max($im_wall - $base_wall, 1.0))")" "$(ratio "$ours_wall" "$im_wall" "$base_wall")" \
        "$ours_cpu" "$(python3 -c "print(max($im_cpu - $base_cpu, 1.0))")" "$(ratio "$ours_cpu" "$im_cpu" "$base_cpu")"
done
