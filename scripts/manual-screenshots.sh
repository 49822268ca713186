#!/usr/bin/env bash
# Makes the user manual's pictures (resources/help/images/*.png) from the real editor window under
# Xvfb with a window manager: tools/manualshots opens the editor with three generated photos, goes
# through the scenes the manual shows (each panel, the Arrange and export size dialogs, a drag
# with its guides, the help window, the recovery offer after a crash) and saves the screen after
# each. Run it after the window changes; it needs a built tree (scripts/build.sh), openbox,
# xvfb-run and ImageMagick, and takes about a minute. Other scenes are added in ManualShots.cpp.
# Usage: scripts/manual-screenshots.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
SHOTS=$PWD/$BUILD/tools/mosaiq-manualshots
OUT=$PWD/resources/help/images
for tool in xvfb-run openbox convert; do
  command -v "$tool" >/dev/null || { echo "manual-screenshots: $tool is missing (scripts/setup.sh installs it)" >&2; exit 1; }
done
[ -x "$SHOTS" ] || { echo "manual-screenshots: build the tools first ($SHOTS)" >&2; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/data" "$OUT"
# Three photos with soft colours, the same on every run.
convert -seed 11 -size 1200x900 plasma:orange-purple -blur 0x16 "$WORK/sunset.jpg"
convert -seed 12 -size 900x1200 plasma:green-skyblue -blur 0x16 "$WORK/meadow.jpg"
convert -seed 13 -size 1200x800 plasma:gold-firebrick -blur 0x16 "$WORK/autumn.jpg"

cat > "$WORK/session.sh" <<'SESSION'
set -euo pipefail
openbox >/dev/null 2>&1 &
sleep 1
photos=("$WORK/sunset.jpg" "$WORK/meadow.jpg" "$WORK/autumn.jpg")
"$SHOTS" "$OUT" "${photos[@]}"
# A collage left behind by a crash, then the next start's offer.
printf '[Recovery]\nintervalSeconds=1\n' > "$MOSAIQ_DATA_DIR/settings.ini"
"$SHOTS" --leave-copy "${photos[@]}" || true
"$SHOTS" --offer "$OUT"
SESSION
env OUT="$OUT" WORK="$WORK" SHOTS="$SHOTS" MOSAIQ_DATA_DIR="$WORK/data" MOSAIQ_HELP_DIR="$PWD/resources/help" \
    MOSAIQ_INSTANCE_NAME="manual-shots-$$" \
    xvfb-run -a -s "-screen 0 1280x800x24" bash "$WORK/session.sh"
# Smaller pictures for the manual; the text stays readable at 1000 pixels wide.
for f in "$OUT"/*.png; do
  case "$f" in
    */photos-on-canvas.png) convert "$f" -resize '800x>' -strip "$f" ;;
    *) convert "$f" -resize '1000x>' -strip "$f" ;;
  esac
done
ls -l "$OUT"
