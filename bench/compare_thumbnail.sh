#!/usr/bin/env bash
# Photos per second: pictorel-cli making standby images of 8 camera-sized photos (6000 x 4000) onto a
# 240 x 320 canvas within 97600 bytes, next to libvips' vipsthumbnail making 240 x 320 centre crops
# of the same photos at JPEG quality 100 (the quality our save picks for them). The two take turns
# for several rounds, so a busy moment of the machine falls on both alike.
# Usage: bench/compare_thumbnail.sh [BUILD_DIR] [ROUNDS]   (defaults: build, 5)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
rounds=${2:-5}
cli="$build/program/pictorel-cli"
[ -x "$cli" ] || { echo "build first: $cli is missing" >&2; exit 1; }
missing=()
command -v vipsthumbnail >/dev/null || missing+=(libvips-tools)
[ -x /usr/bin/convert ] || missing+=(imagemagick)
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""; [ "$(id -u)" -eq 0 ] || sudo=sudo
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/photos" "$work/ours" "$work/vips"
echo "making 8 photos (6000x4000)..."
/usr/bin/convert -size 1500x1000 plasma:fractal -blur 0x1 -resize 6000x4000! -attenuate 0.3 +noise Gaussian \
  -quality 92 "$work/seed.jpg"
for i in 1 2 3 4 5 6 7 8; do
  # Each photo differs: a different roll of the seed.
  /usr/bin/convert "$work/seed.jpg" -roll "+$((i * 613))+$((i * 371))" -quality 92 "$work/photos/p$i.jpg"
done

now() { date +%s.%N; }
ours=0
vips=0
for round in $(seq "$rounds"); do
  rm -f "$work"/ours/* "$work"/vips/*
  t0=$(now)
  "$cli" make "$work"/photos/*.jpg --size 240x320 --limit 97600 -o "$work/ours/" >"$work/ours.log"
  t1=$(now)
  vipsthumbnail --size 240x320 --smartcrop centre -o "$work/vips/%s.jpg[Q=100]" "$work"/photos/*.jpg
  t2=$(now)
  ours=$(awk -v s="$ours" -v a="$t0" -v b="$t1" 'BEGIN { print s + b - a }')
  vips=$(awk -v s="$vips" -v a="$t1" -v b="$t2" 'BEGIN { print s + b - a }')
  printf "round %d: pictorel-cli %.3f s, vipsthumbnail %.3f s\n" "$round" \
    "$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')" "$(awk -v a="$t1" -v b="$t2" 'BEGIN { print b - a }')"
done
grep -q "JPEG quality 100, fitted" "$work/ours.log" || { echo "unexpected save:"; cat "$work/ours.log"; }

awk -v n=$((8 * rounds)) -v ours="$ours" -v vips="$vips" -v a="$(ls "$work/ours" | wc -l)" \
  -v b="$(ls "$work/vips" | wc -l)" 'BEGIN {
  printf "pictorel-cli  : %6.2f photos/s (%d files)\n", n / ours, a
  printf "vipsthumbnail : %6.2f photos/s (%d files)\n", n / vips, b
  printf "ratio         : %6.2f x vipsthumbnail (goal >= 1.2)\n", vips / ours
}'
