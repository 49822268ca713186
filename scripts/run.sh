#!/usr/bin/env bash
# Sets up what is missing, builds, and starts the editor (mosaiq).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
exec build/bin/mosaiq "$@"
