#!/usr/bin/env bash
# Sets up, builds and runs every test with CTest, as many at once as there are cores: unit, widget, end-to-end and
# soak tests in Xvfb, packaging checks, and the fuzz targets (built with clang).
# --sanitize builds a separate tree with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs the suite there (without the fuzz targets, which carry their own sanitizers).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test
jobs=$(nproc)
# Most tests wait on timers, servers and the screen rather than on the processors: twice as many at once as cores.
test_jobs=$((2 * jobs))

excluded=()
if [ "${1:-}" = "--sanitize" ]; then
  build_dir=build/sanitize
  options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DVESK_BENCHMARKS=ON -DVESK_SANITIZE=ON)
  # Orca's tests time what a listener hears; several times slower, the program floods Orca past what it keeps
  # (keys typed and lines said were lost, measured). Their code runs under the sanitizers in the widget tests.
  excluded=(-E '^screen_reader\.')
else
  build_dir=build/test
  cmake -S . -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DBUILD_TESTING=OFF -DVESK_FUZZ=ON >/dev/null
  cmake --build build/fuzz --target fuzz_number fuzz_plot -j"$jobs"
  options=(-DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DVESK_BENCHMARKS=ON -DVESK_FUZZ_BINARY_DIR="$PWD/build/fuzz/tests/fuzz")
fi

cmake -S . -B "$build_dir" "${options[@]}" >/dev/null
cmake --build "$build_dir" -j"$jobs"
cd "$build_dir"
ctest --output-on-failure --timeout 3600 -j"$test_jobs" "${excluded[@]}"
