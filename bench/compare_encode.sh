#!/usr/bin/env bash
# Size-limited encoding against ImageMagick and against the write-and-measure loop, on the same
# pictures and limits, in one run:
#   - worst case, 480 x 480, no quality fits (92 steps), with the smallest limit (256) and with one
#     byte below the quality-9 file (nothing is ruled out by the markers alone): EncodeWithinLimit
#     against `convert in.png -define jpeg:extent=LIMIT out.jpg` (goal: ratio <= 1.0) and against
#     writing and measuring a file at every step (goal: ratio <= 0.3)
#   - a typical save, 240 x 320 photo, limit 97600 (goal: under 30 ms)
#   - GIF and PNG at 8 then 4 bits against ImageMagick writing the same (-colors 256, -colors 16)
#     in one process (goal: ratio <= 1.0)
# Usage: bench/compare_encode.sh [build-dir]   (default: build). Installs its own tools when missing.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
bench=$build/bench/bench_output_encode
[ -x "$bench" ] || { echo "build the target bench_output_encode in $build first" >&2; exit 1; }
python=/usr/bin/python3
convert=/usr/bin/convert

need=()
command -v hyperfine >/dev/null || need+=(hyperfine)
[ -x "$convert" ] || need+=(imagemagick)
if [ ${#need[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing benchmark tools: ${need[*]}"
  $sudo apt-get update -q >/dev/null
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${need[@]}" >/dev/null
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/pictorel-encode.XXXXXX")
trap 'rm -rf "$work"' EXIT
p480=$work/p480.png
p240=$work/p240.png
"$bench" --make-png "$p480" 480 480 1
"$bench" --make-png "$p240" 240 320 2

# Median wall time in milliseconds of each of our benchmarks, each in a process of its own.
ours() {
  PICTOREL_BENCH_480=$p480 PICTOREL_BENCH_240=$p240 "$bench" --benchmark_filter="^$1/real_time\$" \
    --benchmark_repetitions=9 --benchmark_min_time=0.2 --benchmark_format=json 2>/dev/null |
    "$python" -c 'import json,sys
runs=[b for b in json.load(sys.stdin)["benchmarks"] if b.get("run_type")=="iteration"]
times=sorted(b["real_time"] for b in runs)
print("%.2f %d %d" % (times[len(times)//2], runs[0].get("bytes",0), runs[0].get("setting",0)))'
}

# Median wall time in milliseconds of a shell command.
tool() {
  hyperfine -N --warmup 3 --runs 21 --style none --export-json "$work/h.json" "$1" >/dev/null
  "$python" -c 'import json; print("%.2f" % (json.load(open("'"$work/h.json"'"))["results"][0]["median"]*1000))'
}

ratio() { "$python" -c "print('%.2f' % ($1 / $2))"; }

echo "Timing (medians, ms) ..."
read -r worst worstBytes worstQ < <(ours BM_EncodeWithinLimit_Jpeg480_NeverFits)
read -r loop _ loopQ < <(ours BM_WriteAndMeasureLoop_Jpeg480_NeverFits)
imWorst=$(tool "$convert $p480 -define jpeg:extent=256 $work/im-worst.jpg")
below9=$(( $("$bench" --jpeg-size "$p480" 9) - 1 ))
read -r hard hardBytes hardQ < <(ours BM_EncodeWithinLimit_Jpeg480_JustBelowQuality9)
imHard=$(tool "$convert $p480 -define jpeg:extent=$below9 $work/im-hard.jpg")
imRead=$(tool "$convert $p480 null:")
read -r mid midBytes midQ < <(ours BM_EncodeWithinLimit_Jpeg480_Limit30000)
imMid=$(tool "$convert $p480 -define jpeg:extent=30000 $work/im-mid.jpg")
read -r typical typicalBytes typicalQ < <(ours BM_EncodeWithinLimit_Jpeg240x320_Limit97600)
read -r gif gifBytes gifBits < <(ours BM_EncodeWithinLimit_Gif480_EightThenFour)
imGif=$(tool "$convert $p480 ( +clone -colors 256 -write $work/im8.gif +delete ) -colors 16 $work/im4.gif")
read -r png pngBytes pngBits < <(ours BM_EncodeWithinLimit_Png480_EightThenFour)
imPng=$(tool "$convert $p480 ( +clone -colors 256 -write $work/im8.png +delete ) -colors 16 $work/im4.png")

echo
printf '%-52s %9s %9s %7s  %s\n' "case" "ours" "other" "ratio" "goal"
printf '%-52s %9s %9s %7s  %s\n' "JPEG 480x480 never fits (q $worstQ, $worstBytes B) vs IM" "$worst" "$imWorst" \
  "$(ratio "$worst" "$imWorst")" "<= 1.0"
printf '%-52s %9s %9s %7s  %s\n' "JPEG 480x480 never fits vs write-and-measure (q $loopQ)" "$worst" "$loop" \
  "$(ratio "$worst" "$loop")" "<= 0.3"
printf '%-52s %9s %9s %7s  %s\n' "JPEG 480x480 limit $below9, just below q 9, vs IM" "$hard" "$imHard" \
  "$(ratio "$hard" "$imHard")" "<= 1.0"
printf '%-52s %9s %9s %7s  %s\n' "JPEG 480x480 limit $below9 vs write-and-measure" "$hard" "$loop" \
  "$(ratio "$hard" "$loop")" "<= 0.3"
printf '%-52s %9s %9s %7s  %s\n' "JPEG 480x480 limit 30000 (q $midQ, $midBytes B) vs IM" "$mid" "$imMid" \
  "$(ratio "$mid" "$imMid")" "-"
printf '%-52s %9s %9s %7s  %s\n' "JPEG 240x320 limit 97600 (q $typicalQ, $typicalBytes B)" "$typical" "-" "-" \
  "< 30 ms"
printf '%-52s %9s %9s %7s  %s\n' "GIF 480x480 8 then 4 bits ($gifBytes B) vs IM" "$gif" "$imGif" \
  "$(ratio "$gif" "$imGif")" "<= 1.0"
printf '%-52s %9s %9s %7s  %s\n' "PNG 480x480 8 then 4 bits ($pngBytes B) vs IM" "$png" "$imPng" \
  "$(ratio "$png" "$imPng")" "<= 1.0"
echo
echo "ImageMagick times are whole processes (start-up, reading the PNG, encoding, writing);"
echo "ours are EncodeWithinLimit on the picture already in memory, writing the file."
echo "ImageMagick starting and reading the 480 x 480 PNG alone (convert in.png null:): $imRead ms"
ls -l "$work"/im-worst.jpg "$work"/im-hard.jpg "$work"/im-mid.jpg | awk '{printf "  ImageMagick %s: %s bytes\n", $9, $5}'
