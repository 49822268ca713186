#!/usr/bin/env bash
# Tries the editor as a screen-reader user does, over the AT-SPI accessibility bus under Xvfb.
#   scripts/access-check.sh [tree|collage] [BUILD_DIR]
# tree     walks the accessibility tree of the main window, its hidden panels and the New
#          Collage dialog and counts the operable objects without a name or with the role
#          "filler", "unknown" or "panel" (fails when there is one).
# collage  makes a collage with the keyboard alone (no pointer) and checks the saved project.
# Needs python3-pyatspi, at-spi2-core, dbus-x11, xvfb, xauth and xdotool (scripts/setup.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:-tree}
build=$(cd "${2:-$root/build}" && pwd)
exec xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- \
  bash "$root/scripts/access/on-bus.sh" "$mode" "$build"
