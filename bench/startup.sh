#!/usr/bin/env bash
# How long vesk-plot takes from starting its process to its window being
# viewable, beside a plain Qt Widgets window with the same controls, run after
# each other in turn under Xvfb. Prints both medians and their ratio.
# Usage: bench/startup.sh [BUILD_DIR] (default build/test; VESK_STARTUP_RUNS, default 21,
# after 3 of each to warm the disk cache and the X server)
set -euo pipefail
build=$(cd "${1:-build/test}" && pwd)
runs=${VESK_STARTUP_RUNS:-21}
export XDG_RUNTIME_DIR=$(mktemp -d)
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash -c '
  timer=$1/bench/time_to_window
  for i in $(seq -2 "$2"); do
    reference=$("$timer" "$1/bench/startup_reference")
    vesk=$("$timer" "$1/vesk-plot")
    [ "$i" -gt 0 ] && echo "reference $reference" && echo "vesk-plot $vesk"
  done' _ "$build" "$runs" | python3 -c '
import statistics, sys
times = {}
for line in sys.stdin:
    name, ms = line.split()
    times.setdefault(name, []).append(float(ms))
reference, vesk = (statistics.median(times[n]) for n in ("reference", "vesk-plot"))
print(f"start to viewable window, median of {len(times[next(iter(times))])} runs each:")
print(f"  plain window with the same controls  {reference:6.1f} ms")
print(f"  vesk-plot                            {vesk:6.1f} ms")
print(f"  ratio                                {vesk / reference:6.2f}")'
