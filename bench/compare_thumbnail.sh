#!/usr/bin/env bash
# Photos per second: pictorel-cli making standby images of 8 camera-sized photos (6000 x 4000) onto a
# 240 x 320 canvas within 97600 bytes, next to libvips' vipsthumbnail making 240 x 320 centre crops
# of the same photos at JPEG quality 100 (the quality our save picks for them). The two take turns
# for several rounds, so a busy moment of the machine falls on both alike; the medians of wall and
# CPU (user + system) time are compared.
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
mkdir -p "$work/photos" "$work/ours" "$work/vips" "$work/check"
echo "making 8 photos (6000x4000)..."
/usr/bin/convert -size 1500x1000 plasma:fractal -blur 0x1 -resize 6000x4000! -attenuate 0.3 +noise Gaussian \
  -quality 92 "$work/seed.jpg"
for i in 1 2 3 4 5 6 7 8; do
  # Each photo differs: a different roll of the seed.
  /usr/bin/convert "$work/seed.jpg" -roll "+$((i * 613))+$((i * 371))" -quality 92 "$work/photos/p$i.jpg"
done

# One run's wall, user and system seconds (children included), appended to a file.
timed() {
  local into=$1
  shift
  local TIMEFORMAT='%R %U %S'
  { time "$@" >/dev/null; } 2>>"$into"
}
: >"$work/ours.times"
: >"$work/vips.times"
for round in $(seq "$rounds"); do
  rm -f "$work"/ours/* "$work"/vips/*
  timed "$work/ours.times" "$cli" make "$work"/photos/*.jpg --size 240x320 --limit 97600 -o "$work/ours/"
  timed "$work/vips.times" vipsthumbnail --size 240x320 --smartcrop centre -o "$work/vips/%s.jpg[Q=100]" \
    "$work"/photos/*.jpg
  printf "round %d: pictorel-cli %s s, vipsthumbnail %s s (wall user sys)\n" "$round" \
    "$(tail -1 "$work/ours.times")" "$(tail -1 "$work/vips.times")"
done
"$cli" make "$work"/photos/p1.jpg --size 240x320 --limit 97600 -o "$work/check/" >"$work/ours.log"
grep -q "JPEG quality 100, fitted" "$work/ours.log" || { echo "unexpected save:"; cat "$work/ours.log"; }

# Medians over the rounds: a round slowed by the rest of the machine counts once, for either tool.
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
wall() { awk '{ print $1 }' "$1" | median; }
cpu() { awk '{ print $2 + $3 }' "$1" | median; }
awk -v ow="$(wall "$work/ours.times")" -v vw="$(wall "$work/vips.times")" -v oc="$(cpu "$work/ours.times")" \
  -v vc="$(cpu "$work/vips.times")" -v a="$(ls "$work/ours" | wc -l)" -v b="$(ls "$work/vips" | wc -l)" \
  -v rounds="$rounds" 'BEGIN {
  printf "medians of %d rounds, 8 photos each\n", rounds
  printf "pictorel-cli  : wall %.3f s (%6.2f photos/s), CPU %.3f s (%d files)\n", ow, 8 / ow, oc, a
  printf "vipsthumbnail : wall %.3f s (%6.2f photos/s), CPU %.3f s (%d files)\n", vw, 8 / vw, vc, b
  printf "ratio         : %6.2f x vipsthumbnail by wall time (goal >= 1.2), %.2f x by CPU time\n", vw / ow, vc / oc
}'
