#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each for SECONDS (default 180)
# on a corpus seeded from tests/data and fuzz/seeds.
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_EACH=${1:-180}
bash scripts/setup.sh
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}
BUILD_DIR=build-fuzz bash scripts/build.sh -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOSAIQ_FUZZ=ON -DMOSAIQ_BUILD_TESTS=OFF -DMOSAIQ_BUILD_BENCH=OFF
for f in build-fuzz/fuzz/*; do
  [ -f "$f" ] && [ -x "$f" ] || continue
  name=$(basename "$f")
  corpus=fuzz-corpus/$name
  mkdir -p "$corpus"
  [ -d "fuzz/seeds/$name" ] && cp -n fuzz/seeds/"$name"/* "$corpus"/ 2>/dev/null || true
  echo "== $name for ${SECONDS_EACH}s"
  QT_QPA_PLATFORM=offscreen "$f" -max_total_time="$SECONDS_EACH" -rss_limit_mb=4096 -max_len=1048576 "$corpus"
done
