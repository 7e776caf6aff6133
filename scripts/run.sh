#!/usr/bin/env bash
# Sets up, builds (Release) and starts Vesk Plot; arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build/release --target vesk-plot vesk_documents -j"$(nproc)"
exec build/release/vesk-plot "$@"
