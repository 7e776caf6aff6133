#!/usr/bin/env bash
# CPU time vesk-plot spends on a burst of 200 wheel notches over the plot at
# the worst input (both axes -32768 … 32767, clarity 32767, plot by point),
# alternately away and towards, so every notch is a real step; measured from
# outside, in the program's /proc entry, under Xvfb.
# Usage: bench/wheel_cpu.sh [BUILD_DIR] (default build/test)
set -euo pipefail
build=$(cd "${1:-build/test}" && pwd)
# Where each box is, in pixels, from the window's own layout table (twips, 15 a pixel).
boxes=$(python3 - "$(dirname "$0")/../desktop/main_window/main_layout.h" <<'PYTHON'
import re, sys
layout = {name: [(int(t) + 7) // 15 for t in rect.split(",")]
          for name, rect in re.findall(r"TwipsRect (\w+)\{([\d, ]+)\}", open(sys.argv[1]).read())}
values = {"txt_x1": -32768, "txt_x2": 32767, "txt_y1": -32768, "txt_y2": 32767, "txt_clarity": 32767}
print(" ".join(f"{layout[b][0]},{layout[b][1]},{v}" for b, v in values.items()))
PYTHON
)
export XDG_RUNTIME_DIR=$(mktemp -d)
trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash -c '
  cpu_ms() { awk "{ print (\$14 + \$15) * 1000 / $(getconf CLK_TCK) }" /proc/$1/stat; }
  "$1/vesk-plot" & pid=$!
  window=$(xdotool search --sync --onlyvisible --name "^Vesk - Plot v\\.1$" | head -1)
  xdotool windowfocus --sync "$window"
  eval "$(xdotool getwindowgeometry --shell "$window")"
  for box in $2; do
    IFS=, read -r left top value <<< "$box"
    xdotool mousemove $((X + left + 10)) $((Y + top + 10)) click 1 key ctrl+a type -- "$value"
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
  kill $pid' _ "$build" "$boxes"
