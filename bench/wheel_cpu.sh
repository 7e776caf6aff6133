#!/usr/bin/env bash
# CPU time vesk-plot spends on a burst of 200 wheel notches over the plot at
# the worst input (both axes -32768 … 32767, clarity 32767, plot by point),
# alternately away and towards, so every notch is a real step; measured from
# outside, in the program's /proc entry, under Xvfb.
# Usage: bench/wheel_cpu.sh [BUILD_DIR] (default build/test)
set -euo pipefail
build=$(cd "${1:-build/test}" && pwd)
export XDG_RUNTIME_DIR=$(mktemp -d)
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash -c '
  cpu_ms() { awk "{ print (\$14 + \$15) * 1000 / $(getconf CLK_TCK) }" /proc/$1/stat; }
  "$1/vesk-plot" & pid=$!
  window=$(xdotool search --sync --onlyvisible --name "^Vesk - Plot v\\.1$" | head -1)
  xdotool windowfocus --sync "$window"
  eval "$(xdotool getwindowgeometry --shell "$window")"
  for box in "24 39 -32768" "108 39 32767" "24 69 -32768" "108 69 32767" "522 48 32767"; do
    set -- $box
    xdotool mousemove $((X + $1 + 10)) $((Y + $2 + 10)) click 1 key ctrl+a type -- "$3"
  done
  xdotool key alt+p
  xdotool mousemove $((X + 300)) $((Y + 295)) sleep 1
  before=$(cpu_ms $pid)
  start=$(date +%s%N)
  xdotool $(for i in $(seq 100); do echo click --delay 1 4 click --delay 1 5; done)
  sent=$(date +%s%N)
  last=-1; while [ "$(cpu_ms $pid)" != "$last" ]; do last=$(cpu_ms $pid); sleep 0.2; done  # until it is idle
  after=$(cpu_ms $pid)
  echo "200 wheel notches at the worst input: $((after - before)) ms of CPU time in vesk-plot" \
       "(sent in $(( (sent - start) / 1000000 )) ms)"
  kill $pid' _ "$build"
