#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the editor need. Idempotent, never reads
# standard input; uses sudo only when not root.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive

PACKAGES=(
  g++ cmake pkg-config ninja-build
  qt6-base-dev qt6-image-formats-plugins qt6-svg-dev libqt6svg6
  libmagick++-6.q16-dev libjpeg62-turbo-dev libdeflate-dev zlib1g-dev
  libheif-dev libwebp-dev liblcms2-dev libtiff-dev
  libheif-examples webp python3-pil colord-data heif-thumbnailer
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool imagemagick
  desktop-file-utils appstream shared-mime-info xdg-utils libglib2.0-bin bash-completion
  librsvg2-bin qt6-l10n-tools dpkg-dev file lintian
  fonts-liberation2 fonts-dejavu-core fontconfig
  clang libclang-rt-14-dev
  python3-pyatspi at-spi2-core dbus-x11
  libopencv-core-dev libopencv-imgproc-dev libopencv-objdetect-dev opencv-data python3-skimage
  openbox
  libavif-dev libavif-bin ghostscript poppler-utils
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "Installing: ${missing[*]}" >&2
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -q </dev/null
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" </dev/null
