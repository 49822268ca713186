#!/usr/bin/env bash
# Measures the editor's start until its window first paints, five times, under Xvfb with a scratch
# data directory (the first run also writes the built-in data files). Needs a built tree.
set -uo pipefail
cd "$(dirname "$0")/.."
BIN=$(realpath "${BUILD_DIR:-build}/bin/mosaiq")
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
for i in 1 2 3 4 5; do
  MOSAIQ_DATA_DIR=$data MOSAIQ_INSTANCE_NAME=startup-$$-$i MOSAIQ_STARTUP_REPORT=1 \
    xvfb-run -a -s "-screen 0 1920x1080x24" timeout 4 "$BIN" 2>&1 | grep 'first paint'
done
