#!/usr/bin/env bash
# Runs one fuzz target for a bounded time on a copy of its seed corpus.
# Usage: run_fuzzer.sh TARGET SEED_CORPUS; VESK_FUZZ_SECONDS sets the time (default 60).
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/corpus" && cp -r "$2"/. "$work/corpus/"
if ! "$1" -max_total_time="${VESK_FUZZ_SECONDS:-60}" -print_final_stats=1 -timeout=10 -rss_limit_mb=4096 \
     -artifact_prefix="$work/crash-" "$work/corpus" 2>"$work/log"; then
  tail -n 40 "$work/log"
  for crash in "$work"/crash-*; do [ -e "$crash" ] && echo "crash input (base64): $(base64 -w0 "$crash")"; done
  exit 1
fi
grep -E '^(#[0-9]+\s+DONE|stat::number_of_executed_units|stat::peak_rss_mb)' "$work/log" || true
echo "$(basename "$1"): ran ${VESK_FUZZ_SECONDS:-60} s, no crash"
