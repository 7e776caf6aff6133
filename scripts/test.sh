#!/usr/bin/env bash
# Sets up, builds and runs every test (unit, widget, end-to-end) with CTest.
# --sanitize builds a separate tree with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

build_dir=build/test
options=(-DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON)
if [ "${1:-}" = "--sanitize" ]; then
  build_dir=build/sanitize
  options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DVESK_SANITIZE=ON)
fi

cmake -S . -B "$build_dir" "${options[@]}" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
cd "$build_dir"
ctest --output-on-failure --timeout 900
