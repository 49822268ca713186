#!/usr/bin/env bash
# Builds with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ and runs the tests.
# Warnings are not errors here: the sanitizers make g++ report false array-bounds warnings.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
BUILD_DIR=build-asan bash scripts/build.sh -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMOSAIQ_SANITIZE=ON -DMOSAIQ_WERROR=OFF -DMOSAIQ_BUILD_BENCH=OFF
cd build-asan
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" --timeout 900
