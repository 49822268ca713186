#!/usr/bin/env bash
# Makes the user manual's pictures (resources/help/images/*.png) from the real editor window under
# Xvfb: a scripted session starts the built editor with three generated photos, clicks through the
# panels as a user would and captures the screen after each step. Run it after the window
# changes; it needs a built tree (scripts/build.sh) and takes about a minute.
# Usage: scripts/manual-screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
EDITOR=$PWD/$BUILD/bin/mosaiq
OUT=$PWD/resources/help/images
for tool in xvfb-run xdotool import convert; do
  command -v "$tool" >/dev/null || { echo "manual-screenshots: $tool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
done
[ -x "$EDITOR" ] || { echo "manual-screenshots: build the editor first ($EDITOR)" >&2; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/data" "$OUT"
# Three photos with soft colours, the same on every run.
convert -seed 11 -size 1200x900 plasma:orange-purple -blur 0x16 "$WORK/sunset.jpg"
convert -seed 12 -size 900x1200 plasma:green-skyblue -blur 0x16 "$WORK/meadow.jpg"
convert -seed 13 -size 1200x800 plasma:gold-firebrick -blur 0x16 "$WORK/autumn.jpg"

cat > "$WORK/session.sh" <<'SESSION'
set -euo pipefail
shot() { sleep 1.2; import -window root "$OUT/$1"; }
click() { xdotool mousemove "$1" "$2" click 1; sleep 0.6; }
"$EDITOR" "$WORK/sunset.jpg" "$WORK/meadow.jpg" "$WORK/autumn.jpg" &
pid=$!
drag() { xdotool mousemove "$1" "$2" mousedown 1 mousemove "$3" "$4" sleep 0.3 mousemove "$5" "$6" mouseup 1; sleep 0.8; }
xdotool search --sync --name 'Mosaiq Photo Editor' >/dev/null
sleep 4
# The import's summary, then spread the three photos that start one on another.
xdotool key Return
sleep 0.5
drag 531 461 700 420 880 400
drag 420 430 330 500 250 560
shot main-window.png
# The canvas with its photos, without the side panels.
convert "$OUT/main-window.png" -crop 940x760+160+200 +repage "$OUT/photos-on-canvas.png"
# Select the first photo, open the Mask panel and apply the fourth mask.
click 525 474
click 345 45
xdotool mousemove 369 87 click --repeat 2 --delay 80 1
shot mask-panel.png
# The Text panel with a text typed in.
click 665 45
xdotool mousemove 700 100 click 1
xdotool type --delay 40 'Summer 2026'
click 196 169
shot text-panel.png
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
SESSION
env OUT="$OUT" WORK="$WORK" EDITOR="$EDITOR" MOSAIQ_DATA_DIR="$WORK/data" \
    MOSAIQ_INSTANCE_NAME="manual-shots-$$" \
    xvfb-run -a -s "-screen 0 1280x900x24" bash "$WORK/session.sh"
# Smaller pictures for the manual; the text stays readable at 1000 pixels wide.
for f in main-window mask-panel text-panel; do
  convert "$OUT/$f.png" -resize '1000x>' -strip "$OUT/$f.png"
done
convert "$OUT/photos-on-canvas.png" -resize '800x>' -strip "$OUT/photos-on-canvas.png"
ls -l "$OUT"
