#!/usr/bin/env bash
# Runs one fuzz target for a bounded time on a copy of its seed corpus.
# Usage: run_fuzzer.sh TARGET SEED_CORPUS; VESK_FUZZ_SECONDS sets the time (default 60).
set -euo pipefail
target=$1
seeds=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$seeds"/. "$work/"
seconds=${VESK_FUZZ_SECONDS:-60}
"$target" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=4096 \
  -artifact_prefix="$work/crash-" "$work" 2>"$work.log" || {
  status=$?
  tail -n 40 "$work.log"
  for crash in "$work"/crash-*; do
    [ -e "$crash" ] && echo "crash input (base64): $(base64 -w0 "$crash")"
  done
  rm -f "$work.log"
  exit "$status"
}
grep -E '^(#[0-9]+\s+DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$work.log" || true
echo "$(basename "$target"): ran ${seconds} s, no crash"
rm -f "$work.log"
