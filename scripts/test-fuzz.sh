#!/usr/bin/env bash
# Builds the libFuzzer drivers in fuzz/ with clang and runs each for a short,
# bounded time from its seed corpus. A crash fails the run; its input is left
# in build/fuzz/crashes/ to become a test. FUZZ_SECONDS sets the time each.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-20}
build=build/fuzz
CC=clang CXX=clang++ cmake -S fuzz -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null

mkdir -p "$build/crashes"
run_driver() {
  local driver=$1
  # A working corpus of its own: the seeds in the repository stay as they are.
  local work="$build/corpus/$driver"
  mkdir -p "$work"
  "$build/fuzz_$driver" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=1024 \
    -print_final_stats=0 -artifact_prefix="$build/crashes/$driver-" \
    "$work" "fuzz/corpus/$driver" >"$build/$driver.log" 2>&1
}

# As many drivers at a time as there are cores.
drivers=(reg_file shell_link key_path text value_text)
status=0
for ((first = 0; first < ${#drivers[@]}; first += $(nproc))); do
  batch=("${drivers[@]:first:$(nproc)}")
  pids=()
  for driver in "${batch[@]}"; do
    run_driver "$driver" &
    pids+=($!)
  done
  for i in "${!batch[@]}"; do
    driver=${batch[i]}
    if ! wait "${pids[i]}"; then
      echo "Fuzzing $driver found a failure:"
      tail -40 "$build/$driver.log"
      status=1
    else
      echo "Fuzzing $driver: $(grep -o 'Done [0-9]* runs' "$build/$driver.log" | tail -1) in ${seconds} s, no failure."
    fi
  done
done
exit $status
