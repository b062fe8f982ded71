#!/usr/bin/env bash
# Photos per second: pictorel-cli making standby images for 100 photos onto one model, next to
# ImageMagick doing the nearest equivalent (cover, centre crop, JPEG within the size limit) over the
# same photos in one process (mogrify), in the same run.
# Usage: bench/compare_cli.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cli="$build/program/pictorel-cli"
[ -x "$cli" ] || { echo "build first: $cli is missing" >&2; exit 1; }
if ! command -v /usr/bin/mogrify >/dev/null; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo apt-get install -y -q imagemagick >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/photos" "$work/ours" "$work/magick"
echo "making 100 photos (1600x1200)..."
/usr/bin/convert -size 1600x1200 plasma:fractal -quality 92 "$work/seed.jpg"
for i in $(seq -w 1 100); do
  # Each photo differs: a different crop and rotation of the seed.
  /usr/bin/convert "$work/seed.jpg" -roll "+$((10#$i * 13))+$((10#$i * 7))" -quality 92 "$work/photos/p$i.jpg"
done

now() { date +%s.%N; }
t0=$(now)
"$cli" make "$work"/photos/*.jpg --model F900i -o "$work/ours/" >/dev/null
t1=$(now)
/usr/bin/mogrify -path "$work/magick" -resize '240x320^' -gravity center -extent 240x320 \
  -define jpeg:extent=97600 "$work"/photos/*.jpg
t2=$(now)

awk -v t0="$t0" -v t1="$t1" -v t2="$t2" -v a="$(ls "$work/ours" | wc -l)" -v b="$(ls "$work/magick" | wc -l)" 'BEGIN {
  ours = 100 / (t1 - t0); magick = 100 / (t2 - t1)
  printf "pictorel-cli : %6.1f photos/s (%d files)\n", ours, a
  printf "ImageMagick  : %6.1f photos/s (%d files)\n", magick, b
  printf "ratio        : %6.2f x ImageMagick (goal >= 2)\n", ours / magick
}'
