#!/usr/bin/env bash
# Installs the Debian packages the program and its tests need; does nothing when all
# of them are present. The test on a real display runs the program under Xvfb with the
# openbox window manager, clicks with xdotool and takes screenshots with ImageMagick.
# The manual pages are made with help2man; the installed copy's desktop files are checked
# with desktop-file-utils and appstream, its MIME type with shared-mime-info and gio; CI
# checks the format with clang-format.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config python3
  qt6-base-dev qt6-serialport-dev qt6-multimedia-dev libqt6opengl6-dev qt6-svg-dev
  libsqlite3-dev sqlite3 libgtest-dev
  fonts-liberation fonts-dejavu-core
  mdbtools mdbtools-dev default-jre-headless
  xvfb openbox xdotool imagemagick x11-utils
  help2man desktop-file-utils appstream shared-mime-info libglib2.0-bin clang-format
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
