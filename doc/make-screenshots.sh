#!/usr/bin/env bash
# Draws the README's pictures of the window again: starts the built program from a scratch copy of
# build/program/ on a virtual screen (Xvfb, with openbox), drives it with xdotool and writes
# doc/screenshots/*.png. Needs xvfb, xdotool, openbox and imagemagick (./build.sh screenshots
# installs them). Usage: doc/make-screenshots.sh [DISPLAY_NUMBER]
set -euo pipefail
cd "$(dirname "$0")/.."
number=${1:-77}
export DISPLAY=":$number"
out=doc/screenshots
scratch=$(mktemp -d)
pids=()
finish() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$scratch"
}
trap finish EXIT

# A portable copy of its own, so nothing of build/program/ (settings, work files) is touched.
cp -rL build/program "$scratch/program"
program="$scratch/program"
# The stored settings: DoCoMo's F900i, and the two windows side by side.
printf '[対応機種]\r\nCarrier=DoCoMo\r\nPhone=F900i\r\nMpWidth=240\r\nMpHeight=320\r\nMpCol=18\r\nMpFS=97600\r\n[メイン画面]\r\nTop=20\r\nLeft=20\r\n[元画像プレビュー画面]\r\nTop=20\r\nLeft=940\r\n[パス]\r\nLoad=%s/\r\nSave=%s/\r\n' "$scratch/Pictures" "$scratch/Pictures" |
  iconv -f UTF-8 -t CP932 > "$program/pictorel.ini"
# A picture to work on, the same every time, in the folder the dialogs start in.
mkdir -p "$scratch/Pictures"
/usr/bin/convert -size 480x360 -seed 7 plasma:orange-skyblue -blur 0x2 \
  -fill white -stroke '#303030' -strokewidth 3 -draw 'circle 240,190 240,120' "$scratch/Pictures/photo.jpg"

Xvfb "$DISPLAY" -screen 0 1440x680x24 -nolisten tcp &
pids+=($!)
sleep 1
openbox &
pids+=($!)
sleep 1
HOME="$scratch" LANG=C.UTF-8 "$program/pictorel" "$scratch/Pictures/photo.jpg" &
pids+=($!)

main=""
for _ in $(seq 50); do
  main=$(xdotool search --onlyvisible --name '^Pictorel$' 2>/dev/null | head -n 1 || true)
  [ -n "$main" ] && break
  sleep 0.2
done
[ -n "$main" ] || { echo "make-screenshots: the window did not come up" >&2; exit 1; }
sleep 2

# click X Y: a click at the main window's client position X, Y.
click() {
  xdotool mousemove --window "$main" "$1" "$2" click 1
  sleep 0.7
}
shot() {
  import -window root -crop 1380x660+0+0 +repage "$out/$1.png"
  echo "make-screenshots: $out/$1.png"
}
mkdir -p "$out"

# Tabs, lists and buttons are clicked at their places in the main window's client area.
shot 1-model-and-picture

click 700 145 # the page " スタンプ "
click 818 207 # the cat in the list,
click 420 370 # placed on the canvas at its own size
shot 2-decorate

click 784 586 # "保存する"
sleep 1
shot 3-save
xdotool key Escape
sleep 0.5
