#!/usr/bin/env bash
# Whole processes of the installed-style command, in one run, with hyperfine:
#   - `pictorel-cli --version` (goal: under 10 ms)
#   - the worst case of saving: a 480 x 480 BMP at a limit no JPEG quality meets, against
#     `convert IN -define jpeg:extent=LIMIT OUT` (goal: ratio <= 1.0)
#   - a 6000 x 4000 JPEG photo onto F900i (240 x 320, 97600 bytes), against
#     `convert IN -resize 240x320^ -gravity center -extent 240x320 -define jpeg:extent=97600 OUT`
#     (goal: ratio <= 0.5)
# Each comparison alternates rounds of the two commands and reports the middle round's times and ratio.
# With a second build folder, the worst case is also timed against that build's pictorel-cli, in the
# same alternating rounds: what a change to the program buys the whole process.
# Usage: bench/compare_install.sh [build-dir [other-build-dir]]   (default: build). Installs its own
# tools when missing.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
cli=$build/program/pictorel-cli
[ -x "$cli" ] || { echo "build the target pictorel-cli in $build first" >&2; exit 1; }
other=""
if [ -n "${2:-}" ]; then
  other=$(cd "$2" && pwd)/program/pictorel-cli
  [ -x "$other" ] || { echo "build the target pictorel-cli in $2 first" >&2; exit 1; }
fi
convert=/usr/bin/convert
python=/usr/bin/python3

need=()
command -v hyperfine >/dev/null || need+=(hyperfine)
[ -x "$convert" ] || need+=(imagemagick)
if [ ${#need[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing benchmark tools: ${need[*]}"
  $sudo apt-get update -q >/dev/null 2>&1
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${need[@]}" >/dev/null 2>&1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/pictorel-install-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
# Photo-like pictures, the same on every run.
"$convert" -seed 17 -size 480x480 plasma:fractal -blur 0x1 "BMP3:$work/p480.bmp"
"$convert" -seed 23 -size 1500x1000 plasma:fractal -blur 0x1 -resize 6000x4000! -quality 92 "$work/p6000.jpg"
smallest=256 # the smallest limit the program takes

# Median milliseconds of one command, from hyperfine's JSON.
median() { # name runs command...
  local name=$1 runs=$2
  shift 2
  hyperfine -N -i --style none --warmup 2 --runs "$runs" --export-json "$work/$name.json" -- "$(printf '%q ' "$@")" >/dev/null 2>&1
  "$python" -c 'import json,sys; print("%.2f" % (json.load(open(sys.argv[1]))["results"][0]["median"] * 1000))' \
    "$work/$name.json"
}
theirs_name=ImageMagick
report() { # label ours theirs goal [ratio]
  awk -v l="$1" -v a="$2" -v b="$3" -v g="$4" -v r="${5:-}" -v t="$theirs_name" \
    'BEGIN { if (r == "") r = a / b; printf "%-34s pictorel-cli %8.2f ms   %s %8.2f ms   ratio %5.2f (goal <= %s)\n", l, a, t, b, r, g }'
}
middle() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# This machine's speed drifts over seconds: the two commands are timed in alternating rounds, and the
# ratio is the middle one of the rounds' ratios.
compare() { # label goal rounds runs -- ours... -- theirs...
  local label=$1 goal=$2 rounds=$3 runs=$4
  shift 5
  local ours=() theirs=()
  while [ "$1" != "--" ]; do ours+=("$1"); shift; done
  shift
  theirs=("$@")
  local a=() b=() r=()
  for round in $(seq "$rounds"); do
    if [ $((round % 2)) -eq 1 ]; then
      a+=("$(median ours "$runs" "${ours[@]}")"); b+=("$(median theirs "$runs" "${theirs[@]}")")
    else
      b+=("$(median theirs "$runs" "${theirs[@]}")"); a+=("$(median ours "$runs" "${ours[@]}")")
    fi
    r+=("$(awk -v x="${a[-1]}" -v y="${b[-1]}" 'BEGIN { print x / y }')")
  done
  report "$label" "$(printf '%s\n' "${a[@]}" | middle)" "$(printf '%s\n' "${b[@]}" | middle)" "$goal" \
    "$(printf '%s\n' "${r[@]}" | middle)"
}

version=$(median version 50 "$cli" --version)
printf "%-34s pictorel-cli %8.2f ms   (goal < 10 ms)\n" "--version" "$version"

# At the smallest limit the markers alone rule out every quality; one byte below the quality-9
# file nothing is ruled out that way, and every quality's floor is weighed.
"$cli" make "$work/p480.bmp" --size 480x480 --limit $smallest -o "$work/q9.jpg" >/dev/null || true
for limit in $smallest $(($(stat -c %s "$work/q9.jpg") - 1)); do
  compare "480x480 BMP, limit $limit (no fit)" 1.0 7 10 \
    -- "$cli" make "$work/p480.bmp" --size 480x480 --limit $limit -o "$work/ours480.jpg" \
    -- "$convert" "$work/p480.bmp" -define jpeg:extent=$limit "$work/magick480.jpg"
done

if [ -n "$other" ]; then
  theirs_name="other build"
  for limit in $smallest $(($(stat -c %s "$work/q9.jpg") - 1)); do
    compare "480x480 BMP, limit $limit (no fit)" 0.95 7 10 \
      -- "$cli" make "$work/p480.bmp" --size 480x480 --limit $limit -o "$work/ours480.jpg" \
      -- "$other" make "$work/p480.bmp" --size 480x480 --limit $limit -o "$work/other480.jpg"
  done
  theirs_name=ImageMagick
fi

compare "6000x4000 JPEG onto F900i" 0.5 3 5 \
  -- "$cli" make "$work/p6000.jpg" --model F900i -o "$work/ours-f900i.jpg" \
  -- "$convert" "$work/p6000.jpg" -resize '240x320^' -gravity center -extent 240x320 \
  -define jpeg:extent=97600 "$work/magick-f900i.jpg"
