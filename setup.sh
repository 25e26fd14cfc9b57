#!/usr/bin/env bash
# Installs every Debian package Gemlode needs to build, run and test.
# Idempotent: packages already present are skipped; apt runs only when something is missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libsdl2-dev libx11-dev libxext-dev libpng-dev libjpeg62-turbo-dev zlib1g-dev
  libsndfile1-dev libopenmpt-dev libebur128-dev libfreetype-dev libfontconfig-dev
  fonts-dejavu-core fonts-league-spartan fonts-dosis fonts-comfortaa
  libgtest-dev libgmock-dev libbenchmark-dev libpixman-1-dev
  libcurl4-openssl-dev python3
  clang libclang-rt-14-dev
  libunwind-dev libdw-dev
  xvfb xauth xdotool x11-apps x11-utils imagemagick weston
  espeak-ng
  desktop-file-utils appstream lintian dpkg-dev fakeroot man-db file debhelper
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "setup: installing ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
