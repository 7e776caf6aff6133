#!/usr/bin/env bash
# Writes the same plots with two builds of vesk-plot and compares the files byte
# for byte: a change that should not alter any picture must pass this.
# Usage: scripts/compare_outputs.sh OLD_BINARY NEW_BINARY [FORMATS] (default "bmp png jpg")
set -euo pipefail
old=$1 new=$2 formats=${3:-bmp png jpg}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
inputs=(
  "" "--by line" "--by point" "--x-from -3 --x-to 2 --y-from -8 --y-to 12 --clarity 32767 --by point"
  "--x-from=-32768 --x-to 32767 --y-from=-32768 --y-to 32767 --clarity 32767 --by line"
  "--x-from 1 --x-to 5 --y-from 2 --y-to 7 --by line" "--x-from 0 --x-to 1 --y-from -1 --y-to 4 --clarity 1 --by point"
  "--x-from -1000 --x-to 2000 --y-from -900 --y-to 100 --clarity 3 --by line"
)
differ=0 compared=0
for i in "${!inputs[@]}"; do
  for format in $formats; do
    # shellcheck disable=SC2086
    "$old" ${inputs[$i]} --output "$work/old-$i.$format"
    # shellcheck disable=SC2086
    "$new" ${inputs[$i]} --output "$work/new-$i.$format"
    compared=$((compared + 1))
    cmp -s "$work/old-$i.$format" "$work/new-$i.$format" || { echo "differ: ${inputs[$i]:-(defaults)} .$format"; differ=$((differ + 1)); }
  done
done
echo "$compared files compared, $differ differ"
[ "$differ" -eq 0 ]
