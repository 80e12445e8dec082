#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a given time.
# usage: fuzz.sh [SECONDS] [TARGET...]   (default 60 s, every target)
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
build=build-fuzz

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DTOVRIN_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in fuzz/fuzz_*.cpp; do
    name=$(basename "$source" .cpp)
    [ "$name" = fuzz_drive ] || targets+=("$name")
  done
fi
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

status=0
for target in "${targets[@]}"; do
  # The committed seeds stay small; what the run learns stays in the build.
  corpus="$build/corpus/$target"
  mkdir -p "$corpus" "$build/crashes/$target"
  seeds=()
  [ -d "fuzz/corpus/$target" ] && seeds=("fuzz/corpus/$target")
  echo "== $target: $seconds s"
  log="$build/$target.log"
  if ! "$build/fuzz/$target" "$corpus" "${seeds[@]}" \
      -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$build/crashes/$target/" >"$log" 2>&1; then
    echo "!! $target found a failure; see $log and $build/crashes/$target/"
    status=1
  fi
  # A run cut short may lack these lines; the summary must not end the script.
  grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$log" | sed 's/^/   /' || true
  grep -E '#[0-9]+.*(DONE|pulse|NEW|REDUCE)' "$log" | tail -n 1 | sed 's/^/   last: /' || true
done
exit $status
