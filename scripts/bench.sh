#!/usr/bin/env bash
# Runs every benchmark program of a build folder: scripts/bench.sh BUILD_DIR.
# Each one prints its own figures; the first that fails stops the run.
set -euo pipefail

build_dir=${1:-build}
found=0
for program in "$build_dir"/bench/bench_*; do
  [ -f "$program" ] && [ -x "$program" ] || continue
  found=1
  echo "== $(basename "$program")"
  "$program"
done

if [ "$found" -eq 0 ]; then
  echo "no benchmark programs in $build_dir/bench" >&2
  exit 1
fi
