#!/usr/bin/env bash
# The workspace on a 24-megapixel photo and a 240 x 320 canvas, in one run:
#   - load to composed canvas, against `djpeg -bmp` on the same file plus copying its BMP's bytes
#     (goal: ratio <= 1.5)
#   - one rebuild after a size click, against reading the undo image's bytes from the page cache
#     (goal: ratio <= 2, and under 50 ms)
# Usage: bench/compare_workspace.sh [build-dir]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
bench=$build/bench/bench_workspace_rebuild
[ -x "$bench" ] || { echo "build bench_workspace_rebuild in $build first" >&2; exit 1; }
need=()
command -v djpeg >/dev/null || need+=(libjpeg-turbo-progs)
[ -x /usr/bin/convert ] || need+=(imagemagick)
if [ ${#need[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get install -y -q --no-install-recommends "${need[@]}" >/dev/null
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
/usr/bin/convert -size 6000x4000 -seed 7 plasma:fractal -quality 90 "$work/photo.jpg"

median_ms() { # command run 9 times, median wall time in ms
  for _ in 1 2 3 4 5 6 7 8 9; do
    s=$(date +%s%N); eval "$1" >/dev/null; e=$(date +%s%N); echo $(( (e - s) / 1000 ))
  done | sort -n | sed -n 5p | awk '{printf "%.1f", $1 / 1000}'
}
djpeg_ms=$(median_ms "djpeg -bmp -outfile $work/d.bmp $work/photo.jpg")
copy_ms=$(median_ms "cp $work/d.bmp $work/copy.bmp")

json=$(PICTOREL_BENCH_JPEG=$work/photo.jpg "$bench" --benchmark_repetitions=5 --benchmark_format=json 2>/dev/null)
pick() { echo "$json" | /usr/bin/python3 -c 'import json,sys
b=[x for x in json.load(sys.stdin)["benchmarks"] if x.get("aggregate_name")=="median" and x["run_name"].startswith(sys.argv[1])]
print("%.1f" % b[0]["real_time"])' "$1"; }
load=$(pick BM_LoadToCanvas)
rebuild=$(pick BM_RebuildAfterSizeClick)
read_ms=$(pick BM_ReadUndoImageBytes)
awk -v l="$load" -v d="$djpeg_ms" -v c="$copy_ms" -v r="$rebuild" -v rd="$read_ms" 'BEGIN {
  printf "load to canvas      %8.1f ms   djpeg -bmp + copy %8.1f ms   ratio %.2f (goal <= 1.5)\n", l, d + c, l / (d + c)
  printf "rebuild (size click)%8.1f ms   read undo image   %8.1f ms   ratio %.2f (goal <= 2, < 50 ms)\n", r, rd, r / rd
}'
