#!/usr/bin/env bash
# Packs the build as a Debian package and checks it from the .deb itself,
# unpacked into a scratch folder: nothing is installed on the machine unless
# VESK_PACKAGE_INSTALL=1 asks for a real install and removal (as root).
# Usage: check_package.sh BUILD_DIR
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
passed=0
check() {  # check "what" command…
  if "${@:2}" >"$work/out" 2>&1; then passed=$((passed + 1)); else echo "FAILED: $1"; cat "$work/out"; exit 1; fi
}

(cd "$1" && cpack -G DEB -B "$work/package" >/dev/null)
deb=$(ls "$work"/package/*.deb)
dpkg-deb -x "$deb" "$work/root"
root=$work/root/usr
id=com.example.VeskPlot
# No run path, installed or in the build tree: a library in the working folder is never loaded.
for binary in "$root/bin/vesk-plot" "$1/vesk-plot" "$root"/lib/*/vesk-plot/vesk-plot-{window,sound}.so; do
  check "no run path in $binary" sh -c "! readelf -d '$binary' | grep -qE 'RPATH|RUNPATH'"
done
for file in bin/vesk-plot lib/$(dpkg-architecture -qDEB_HOST_MULTIARCH)/vesk-plot/vesk-plot-{window,sound}.so share/applications/$id.desktop share/metainfo/$id.metainfo.xml share/doc/vesk-plot/copyright \
            share/doc/vesk-plot/changelog.Debian.gz share/man/man1/vesk-plot.1.gz \
            share/icons/hicolor/scalable/apps/$id.svg share/icons/hicolor/{48x48,256x256}/apps/$id.png; do
  check "package holds $file" test -s "$root/$file"
done
check "desktop entry validates" desktop-file-validate "$root/share/applications/$id.desktop"
check "desktop entry names the window's class (WM_CLASS)" grep -qx "StartupWMClass=vesk-plot" "$root/share/applications/$id.desktop"
check "metadata names the binary and the controls" sh -c "grep -q '<binary>vesk-plot</binary>' '$root/share/metainfo/$id.metainfo.xml' && grep -q '<control>keyboard</control>' '$root/share/metainfo/$id.metainfo.xml'"
check "metadata validates without warnings" sh -c \
  "appstreamcli validate --no-net '$root/share/metainfo/$id.metainfo.xml' | grep -q 'Validation was successful'"
# The manual page names every option --help lists.
for option in $("$root/bin/vesk-plot" --help | grep -oE -- '--[a-z-]+' | sort -u); do
  check "manual page has $option" sh -c "zcat '$root/share/man/man1/vesk-plot.1.gz' | sed 's/\\\\-/-/g' | grep -q -- '$option'"
done
if command -v lintian >/dev/null; then
  check "lintian reports no error or warning" lintian --fail-on error,warning "$deb"
else
  echo "SKIP: lintian is not installed: Debian's own checks not run"
fi
for dependency in libqt6widgets6 libqt6svg6 fonts-dejavu-core fonts-dejavu-extra; do
  check "package depends on $dependency" sh -c "dpkg-deb -f '$deb' Depends | grep -q '$dependency'"
done
if grep -q "VESK_SANITIZE:BOOL=ON" "$1/CMakeCache.txt"; then
  echo "SKIP: hardening and reproducibility: this build carries the sanitizers instead"
else
  binary=$root/bin/vesk-plot
  check "binding is immediate (BIND_NOW)" sh -c "readelf -d '$binary' | grep -q BIND_NOW"
  check "relocations are read-only after start (relro)" sh -c "readelf -l '$binary' | grep -q GNU_RELRO"
  check "the stack protector is in" sh -c "nm -D --undefined-only '$binary' | grep -q __stack_chk_fail"
  check "fortified calls are in" sh -c "nm -D --undefined-only '$binary' | grep -q '_chk@'"
  # The same sources built again in another folder, at another time: the same bytes.
  cmake -S "$(dirname "$0")/../.." -B "$work/again" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
  cmake --build "$work/again" --target vesk-plot vesk_documents -j"$(nproc)" >/dev/null
  (cd "$work/again" && cpack -G DEB -B "$work/again-package" >/dev/null)
  check "two builds give the same package" cmp "$deb" "$work"/again-package/*.deb
fi
check "packed program writes a plot" "$root/bin/vesk-plot" --output "$work/plot.svg" --by line
check "packed program says when there is no session" sh -c \
  "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '$root/bin/vesk-plot' 2>&1 | grep -q 'no graphical session'"
if [ "${VESK_PACKAGE_INSTALL:-}" = 1 ]; then
  check "package installs" dpkg -i "$deb"
  check "installed program runs" /usr/bin/vesk-plot --version
  check "package uninstalls" dpkg -r vesk-plot
fi
echo "packaging: $passed passed, 0 failed"
