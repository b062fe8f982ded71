#!/usr/bin/env bash
# Compares our codecs with standard tools on one 24-megapixel photo (6000 x 4000), in one run:
#   - decoding the JPEG: ImageFile::load against `djpeg -bmp` (goal: ratio <= 1.1)
#   - writing its 24-bit BMP and reading it back against copying the same number of bytes with dd
#     (goal: ratio <= 1.5)
# Usage: bench/compare_codecs.sh [build-dir]   (default: build). Installs its own tools when missing.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
bench=$build/bench/bench_imaging_codecs
[ -x "$bench" ] || { echo "build the target bench_imaging_codecs in $build first" >&2; exit 1; }
python=/usr/bin/python3

need=()
command -v djpeg >/dev/null || need+=(libjpeg-turbo-progs)
command -v hyperfine >/dev/null || need+=(hyperfine)
[ -x /usr/bin/convert ] || need+=(imagemagick)
if [ ${#need[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing benchmark tools: ${need[*]}"
  $sudo apt-get update -q >/dev/null
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${need[@]}" >/dev/null
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/pictorel-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
photo=$work/photo.jpg

echo "Making a 6000 x 4000 photo-like JPEG ..."
if ! /usr/bin/convert -size 6000x4000 -seed 7 plasma:fractal -quality 90 "$photo" 2>/dev/null; then
  echo "(ImageMagick could not make it; using our own generator)"
  "$bench" --make-jpeg "$photo" 6000 4000
fi
ls -l "$photo" | awk '{printf "  %s bytes\n", $5}'

# Median wall time in milliseconds of one of our File/ benchmarks, in a process of its own.
ours() {
  PICTOREL_BENCH_JPEG=$photo PICTOREL_BENCH_DIR=$work "$bench" --benchmark_filter="^$1\$" \
    --benchmark_repetitions=7 --benchmark_min_time=0.1 --benchmark_format=json 2>/dev/null |
    "$python" -c 'import json,sys
runs=[b for b in json.load(sys.stdin)["benchmarks"] if b.get("run_type")=="iteration"]
times=sorted(b["real_time"] for b in runs)
print("%.2f %.0f" % (times[len(times)//2], max(b.get("peak_MB",0) for b in runs)))'
}

# Median wall time in milliseconds of a shell command.
tool() {
  hyperfine --warmup 2 --runs 15 --style none --export-json "$work/h.json" "$1" >/dev/null 2>&1
  "$python" -c 'import json; print("%.2f" % (json.load(open("'"$work/h.json"'"))["results"][0]["median"]*1000))'
}

echo "Timing (medians) ..."
read -r ourDecode peak < <(ours BM_File_LoadJpeg)
djpegTime=$(tool "djpeg -bmp -outfile $work/djpeg.bmp $photo")
djpegBare=$(tool "djpeg -ppm -outfile /dev/null $photo") # decoding alone, for reference
read -r ourBmp _ < <(ours BM_File_BmpWriteRead)
bytes=$(stat -c %s "$work/ours.bmp")
head -c "$bytes" /dev/urandom >"$work/source.bin"
ddTime=$(tool "dd if=$work/source.bin of=$work/copy.bin bs=4M status=none")

"$python" - "$ourDecode" "$djpegTime" "$ourBmp" "$ddTime" "$bytes" "$peak" "$djpegBare" <<'PY'
import sys
dec, djpeg, bmp, dd, size, peak, bare = map(float, sys.argv[1:])
full = 6000 * 4000 * 3 / 2**20
print(f"JPEG decode  ours {dec:8.1f} ms   djpeg -bmp {djpeg:8.1f} ms   ratio {dec/djpeg:5.2f}  (goal <= 1.1)")
print(f"             (djpeg -ppm to /dev/null, decoding alone: {bare:.1f} ms, ratio {dec/bare:.2f})")
print(f"BMP write+read ours {bmp:6.1f} ms   dd copy of {int(size)} bytes {dd:6.1f} ms   ratio {bmp/dd:5.2f}  (goal <= 1.5)")
print(f"Peak memory while decoding: {peak:.0f} MB (one full RGB picture is {full:.0f} MB)")
PY
