#!/usr/bin/env bash
# Today's phones, in one run: a 6000 x 4000 photo on a 1179 x 2556 canvas.
#   - load to canvas against `djpeg` decoding the photo plus one copy of the canvas (goal: ratio <= 1.0)
#   - a rebuild per fine-tune click (goal: under 50 ms)
#   - a pen, a text and a stamp drag move, reduced view included (goal: median under 8 ms)
#   - a save within 3 000 000 bytes against `convert canvas.png -define jpeg:extent=3000000`
#     (goal: ratio <= 0.5)
# Usage: bench/compare_phones.sh [build-dir]   (default: build). Installs its own tools when missing.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
bench=$build/bench/bench_app_phones
[ -x "$bench" ] || { echo "build the target bench_app_phones in $build first" >&2; exit 1; }
python=/usr/bin/python3
convert=/usr/bin/convert

need=()
command -v hyperfine >/dev/null || need+=(hyperfine)
[ -x "$convert" ] || need+=(imagemagick)
command -v djpeg >/dev/null || need+=(libjpeg-turbo-progs)
if [ ${#need[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing benchmark tools: ${need[*]}"
  $sudo apt-get update -q >/dev/null
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${need[@]}" >/dev/null
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/pictorel-phones.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$bench" --make-photo "$work/photo.jpg" --make-canvas "$work/canvas.png"

# Our benchmarks in one run; the median of each (repeated ones report their median).
"$bench" --benchmark_format=json >"$work/ours.json" 2>/dev/null
ours() {
  "$python" -c 'import json,sys
runs=json.load(open(sys.argv[1]))["benchmarks"]
name=sys.argv[2]
med=[b for b in runs if b["name"].startswith(name+"/") and b.get("aggregate_name")=="median"]
one=[b for b in runs if b["name"].startswith(name+"/") and b.get("run_type")=="iteration"]
b=(med or one)[0]
print("%.2f" % b["real_time"], int(b.get("bytes", 0)))' "$work/ours.json" "$1"
}

# Median wall time in milliseconds of a shell command.
tool() {
  hyperfine -N --warmup 2 --runs 11 --style none --export-json "$work/h.json" "$1" >/dev/null
  "$python" -c 'import json; print("%.2f" % (json.load(open("'"$work/h.json"'"))["results"][0]["median"]*1000))'
}
ratio() { "$python" -c "print('%.2f' % ($1 / $2))"; }

read -r load _ < <(ours BM_LoadToCanvas)
read -r copy _ < <(ours BM_CopyCanvas)
read -r rebuild _ < <(ours BM_RebuildPerFineTuneClick)
read -r pen _ < <(ours BM_PenDragMove)
read -r text _ < <(ours BM_TextDragMove)
read -r stamp _ < <(ours BM_StampDragMove)
read -r save saved < <(ours BM_SaveWithinLimit3000000)
djpeg=$(tool "djpeg -outfile /dev/null $work/photo.jpg")
extent=$(tool "$convert $work/canvas.png -define jpeg:extent=3000000 $work/im.jpg")
floor=$("$python" -c "print('%.2f' % ($djpeg + $copy))")

echo "6000 x 4000 photo on a 1179 x 2556 canvas (medians, ms)"
printf '  load to canvas        %8s   djpeg + canvas copy %8s   ratio %s (goal <= 1.0)\n' "$load" "$floor" "$(ratio "$load" "$floor")"
printf '  rebuild per click     %8s   (goal < 50)\n' "$rebuild"
printf '  pen drag move         %8s   (goal < 8)\n' "$pen"
printf '  text drag move        %8s   (goal < 8)\n' "$text"
printf '  stamp drag move       %8s   (goal < 8)\n' "$stamp"
printf '  save within 3000000   %8s   convert jpeg:extent %8s   ratio %s (goal <= 0.5); %s bytes\n' \
  "$save" "$extent" "$(ratio "$save" "$extent")" "$saved"
