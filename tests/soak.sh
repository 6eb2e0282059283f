#!/usr/bin/env bash
# Soak run of the sanitizer build: every architecture, channel model and
# arrival process, each protocol variant and every statistics option, for a
# few hundred thousand contention cycles in all. Fails on a non-zero exit or
# any sanitizer report.
# Usage: tests/soak.sh [path/to/sanitizer/vorn] [cycles per run]
set -euo pipefail

binary=$(realpath "${1:-build-asan/vorn}")
runs=${2:-10000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

variants=("coop=1" "peers=1" "unlucky=1" "greedy=0" "fsf_fast=0 randsratio=3 L=2 F=4")
stats="queue_stats=1 flow_stats=0.01 pdf_winners=1 mc_nodes=1 mc_packets=1 queue=8 nodes_stats=1"
rates=("" "ar_rate=2e6" "ar_rate=3e6" "ar_rate=4e6" "ar_rate=0.3")

failures=0
total=0
soak() {
  if ! "$binary" "$@" >out.txt 2>err.txt || grep -qE "runtime error|Sanitizer" err.txt; then
    echo "soak: FAILED: $*" >&2
    tail -n 30 err.txt >&2
    failures=$((failures + 1))
  fi
}

i=0
for adhoc in 0 1; do
  for fsf_type in 0 1 2 4; do
    for ar_type in 0 1 2 3 4; do
      # shellcheck disable=SC2086 # the option lists split into arguments
      soak runs="$runs" adhoc=$adhoc fsf_type=$fsf_type ar_type=$ar_type ${rates[$ar_type]} \
        ${variants[$((i % ${#variants[@]}))]} $stats
      i=$((i + 1))
      total=$((total + runs))
    done
  done
done
# The other stop conditions and QoS node groups with per-level tables.
printf '0.9,0.5,0.5\n0.5,0.5,0.5\n' >p.csv
printf '1.0,1.0,1.0\n0.5,0.5,0.5\n' >tau.csv
# shellcheck disable=SC2086
soak time=5 fsf_type=2 qos_p_file=p.csv qos_tau_file=tau.csv \
  "nodes_def=3,4,0.4,1,1;4,3,2000000,0,0;2,0,0,1,0" $stats
# shellcheck disable=SC2086
soak frames=3000 adhoc=1 coop=1 fsf_type=4 ar_type=2 ar_rate=1e6 M=12 $stats
soak attempts=3000 fsf_type=1 ar_type=3 ar_rate=8e6 queue=0 queue_stats=1 flow_stats=0.5

echo "soak: $((i + 3)) runs, at least $total cycles, $failures failed" >&2
[ "$failures" -eq 0 ]
