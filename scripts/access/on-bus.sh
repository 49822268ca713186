#!/usr/bin/env bash
# Inside a fresh D-Bus session and X display: starts the accessibility bus and the editor with a
# scratch data folder, runs one check and stops the editor again.
set -euo pipefail
mode=$1
build=$2
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
launcher=""
cleanup() {
  [ -n "${app:-}" ] && kill "$app" 2>/dev/null || true
  [ -n "$launcher" ] && kill "$launcher" 2>/dev/null || true
  [ -n "${wm:-}" ] && kill "$wm" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
/usr/libexec/at-spi-bus-launcher --launch-immediately &
launcher=$!
sleep 1
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export MOSAIQ_DATA_DIR=$scratch/data
export MOSAIQ_INSTANCE_NAME=mosaiq-access-$$
mkdir -p "$MOSAIQ_DATA_DIR"
# Photos for the browser, made and imported into the scratch photo list before the editor starts.
/usr/bin/python3 - "$scratch" <<'PY'
import sys
from PIL import Image
for i, colour in enumerate([(200, 60, 60), (60, 120, 200)]):
    Image.new("RGB", (320, 240), colour).save(f"{sys.argv[1]}/photo{i + 1}.png")
PY
"$build/bin/mosaiq-cli" init >/dev/null
"$build/bin/mosaiq-cli" import-photos "$scratch/photo1.png" "$scratch/photo2.png" >/dev/null
# A window manager gives the editor's window the keyboard, as a desktop does.
if command -v openbox >/dev/null 2>&1; then
  openbox >/dev/null 2>&1 &
  wm=$!
  sleep 1
fi
"$build/bin/mosaiq" &
app=$!
/usr/bin/python3 "${ACCESS_SCRIPT:-$here/atspi_$mode.py}" "$scratch" "$build"
