#!/usr/bin/env bash
# Runs every fuzz target for the given number of seconds, two at a time,
# starting from a scratch copy of its seed corpus. Fails when any target
# reports a crash, a sanitizer finding, a leak or a slow input.
# Usage: fuzz/run.sh <build folder configured with VORN_FUZZ=ON> [seconds]
set -euo pipefail

build=$(realpath "$1")
seconds=${2:-30}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

run_target() {
  local target=$1
  mkdir -p "$work/$target"
  cp -r "$here/corpus/$target/." "$work/$target/"
  # Artifacts (crashing inputs) land in the scratch folder, printed below.
  (cd "$work" && "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=20 \
    -print_final_stats=1 "$work/$target" >"$work/$target.log" 2>&1)
}

report() {
  local target=$1 status=$2
  local runs coverage
  runs=$(grep -m1 '^stat::number_of_executed_units' "$work/$target.log" | awk '{print $2}' || true)
  coverage=$(grep -o 'DONE .*' "$work/$target.log" | tail -n 1 | sed 's/DONE *//' || true)
  if [ "$status" -eq 0 ]; then
    echo "fuzz_$target: clean, ${runs:-?} inputs in ${seconds} s (${coverage})" >&2
  else
    echo "fuzz_$target: FAILED (status $status)" >&2
    grep -vE '^(#[0-9]|Warning: |# using options)' "$work/$target.log" | tail -n 60 >&2
    for artifact in "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$work"/slow-unit-*; do
      [ -e "$artifact" ] && echo "input $(basename "$artifact"): $(base64 -w0 "$artifact")" >&2
    done
  fi
}

failed=0
targets=(csv options tables stats_selection)
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  pids=()
  for target in "${targets[@]:i:2}"; do
    run_target "$target" &
    pids+=($!)
  done
  for j in "${!pids[@]}"; do
    status=0
    wait "${pids[$j]}" || status=$?
    report "${targets[$((i + j))]}" "$status"
    [ "$status" -eq 0 ] || failed=1
  done
done
exit "$failed"
