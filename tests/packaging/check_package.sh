#!/usr/bin/env bash
# Installs the build into a staging folder and packs it as a Debian package,
# and checks what a desktop and a package manager need. Usage: check_package.sh BUILD_DIR
set -euo pipefail
build_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
check() {  # check "what" command…
  local what=$1
  shift
  if "$@" >"$work/out" 2>&1; then
    passed=$((passed + 1))
  else
    echo "FAILED: $what"
    cat "$work/out"
    echo "0 passed, 1 failed"
    exit 1
  fi
}

DESTDIR="$work/stage" cmake --install "$build_dir" --prefix /usr >/dev/null
stage=$work/stage/usr
id=com.example.VeskPlot
for file in bin/vesk-plot share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
            share/icons/hicolor/scalable/apps/$id.svg share/icons/hicolor/48x48/apps/$id.png \
            share/icons/hicolor/256x256/apps/$id.png; do
  check "installed $file" test -s "$stage/$file"
done
check "48-pixel icon size" sh -c "file '$stage/share/icons/hicolor/48x48/apps/$id.png' | grep -q '48 x 48'"
check "256-pixel icon size" sh -c "file '$stage/share/icons/hicolor/256x256/apps/$id.png' | grep -q '256 x 256'"
check "desktop entry validates" desktop-file-validate "$stage/share/applications/$id.desktop"
check "metadata validates" appstreamcli validate --no-net "$stage/share/metainfo/$id.metainfo.xml"

(cd "$build_dir" && cpack -G DEB -B "$work/package" >/dev/null)
deb=$(ls "$work"/package/*.deb)
check "package holds the program" sh -c "dpkg-deb -c '$deb' | grep -q ' ./usr/bin/vesk-plot$'"
check "package holds the desktop entry" sh -c "dpkg-deb -c '$deb' | grep -q '/usr/share/applications/$id.desktop$'"
check "package depends on Qt 6 widgets" sh -c "dpkg-deb -f '$deb' Depends | grep -q libqt6widgets6"

# Installing for real changes the machine: only where we are root and the
# program is not installed already.
if [ "$(id -u)" -eq 0 ] && ! dpkg-query -W vesk-plot >/dev/null 2>&1; then
  check "package installs" dpkg -i "$deb"
  check "installed program runs its display check" sh -c "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM /usr/bin/vesk-plot 2>&1 | grep -q 'no graphical session'"
  check "package uninstalls" dpkg -r vesk-plot
  check "uninstall removes the program" test ! -e /usr/bin/vesk-plot
else
  echo "skipped installing the package (not root, or vesk-plot already installed)"
fi
echo "packaging: $passed passed, 0 failed"
