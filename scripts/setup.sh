#!/usr/bin/env bash
# Installs the Debian packages Vesk Plot needs: `setup.sh run` what building and
# starting it needs, `setup.sh test` that and what its tests need. Only missing
# packages are installed, so a prepared machine needs no network.
set -euo pipefail

packages=(g++ make cmake pkg-config qt6-base-dev qt6-svg-dev qt6-multimedia-dev libxkbcommon-dev fonts-dejavu-core fonts-dejavu-extra)
# On a Wayland desktop the toolkit's Wayland platform.
if [ -n "${WAYLAND_DISPLAY:-}" ]; then packages+=(qt6-wayland); fi
if [ "${1:-run}" = "test" ]; then
  packages+=(
    # end-to-end tests: a real X server, window tools, screenshots, a Wayland compositor
    xvfb xauth xdotool x11-utils imagemagick libx11-dev util-linux weston qt6-wayland librsvg2-bin poppler-utils acl
    # reading PDF files back, exact rationals for the oracles, benchmarks, fuzzing and packaging checks
    qt6-pdf-dev libbenchmark-dev libgmp-dev clang libclang-rt-14-dev desktop-file-utils appstream dpkg-dev lintian
    # a screen reader's view: an accessibility bus of its own, read from Debian's python
    dbus-daemon dbus-x11 at-spi2-core python3-pyatspi orca speech-dispatcher openbox
    # a real sound server with a sink nobody hears, recorded; a print system of the tests' own
    pulseaudio pulseaudio-utils cups cups-client cups-bsd printer-driver-cups-pdf
  )
fi

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
