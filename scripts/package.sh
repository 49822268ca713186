#!/usr/bin/env bash
# Builds the Debian package (mosaiq_VERSION_ARCH.deb) from the build tree with CPack, reusing what
# is already built. Options:
#   --build-dir DIR   the build tree (default build/, configured and built when needed)
#   --out DIR         where the package is written (default the build tree)
#   --no-build        package the tree as it is (the tests use this)
#   --lintian         check the package with lintian: errors fail, warnings are listed
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build} out="" do_build=1 do_lintian=0
while [ $# -gt 0 ]; do
  case $1 in
  --build-dir) build=$2; shift 2 ;;
  --out) out=$2; shift 2 ;;
  --no-build) do_build=0; shift ;;
  --lintian) do_lintian=1; shift ;;
  *) echo "usage: scripts/package.sh [--build-dir DIR] [--out DIR] [--no-build] [--lintian]" >&2; exit 2 ;;
  esac
done
out=${out:-$build}
if [ $do_build -eq 1 ]; then
  BUILD_DIR=$build bash scripts/build.sh >/dev/null
fi
mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Files and folders in the package get the usual modes whatever the caller's umask is.
umask 022
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 || {
  cat "$work/cpack.log" >&2
  exit 1
}
deb=$(ls "$work"/mosaiq_*.deb)
mv "$deb" "$out/"
deb="$out/$(basename "$deb")"
echo "$deb"

if [ $do_lintian -eq 1 ]; then
  if ! command -v lintian >/dev/null 2>&1; then
    echo "lintian is not installed (scripts/setup.sh installs it)" >&2
    exit 1
  fi
  # lintian exits non-zero on errors only with --fail-on error; warnings and notes are printed.
  lintian --fail-on error --tag-display-limit 0 "$deb"
  echo "lintian: no errors in $(basename "$deb")"
fi
