#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Vesk Plot need.
# Only missing packages are installed, so a prepared machine needs no network.
set -euo pipefail

packages=(
  g++ make cmake pkg-config
  qt6-base-dev libxkbcommon-dev
  fonts-dejavu-core fonts-dejavu-extra
  # end-to-end tests: a real X server, window tools and screenshots
  xvfb xauth xdotool x11-utils imagemagick libx11-dev util-linux
  # benchmarks, fuzzing and packaging checks
  libbenchmark-dev clang libclang-rt-14-dev
  desktop-file-utils appstream dpkg-dev file
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
