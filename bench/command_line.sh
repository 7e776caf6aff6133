#!/usr/bin/env bash
# The command line's whole run (start, plot, PNG written, exit) beside a plain QtGui program that draws and saves
# a picture of the same size, run after each other in turn; medians of the wall time and of the peak memory.
# Usage: bench/command_line.sh [BUILD_DIR] (default build/test; VESK_CLI_RUNS, default 41, after 3 of each to warm up)
set -euo pipefail
build=$(cd "${1:-build/test}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 - "$build" "${VESK_CLI_RUNS:-41}" "$work" <<'PY'
import os, statistics, subprocess, sys, time
build, runs, work = sys.argv[1], int(sys.argv[2]), sys.argv[3]
commands = {"plain QtGui program": [f"{build}/bench/cli_reference", f"{work}/r.png"],
            "vesk-plot --output x.png": [f"{build}/vesk-plot", "--output", f"{work}/v.png"]}
times, peaks = {n: [] for n in commands}, {n: [] for n in commands}
env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "WAYLAND_DISPLAY")}
for i in range(-3, runs):
    for name, command in commands.items():
        started = time.perf_counter()
        done = subprocess.run(["/usr/bin/time", "-f", "%M", *command], env=env, capture_output=True, text=True, check=True)
        if i >= 0:
            times[name].append((time.perf_counter() - started) * 1000)
            peaks[name].append(int(done.stderr.split()[-1]) / 1024)
print(f"a whole run, median of {runs} runs each:")
for name in commands:
    print(f"  {name:26} {statistics.median(times[name]):6.1f} ms  {statistics.median(peaks[name]):5.1f} MiB")
ratio = statistics.median(times["vesk-plot --output x.png"]) / statistics.median(times["plain QtGui program"])
print(f"  ratio {ratio:.2f}")
PY
