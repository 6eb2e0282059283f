#!/usr/bin/env bash
# Instructions per contention cycle of a vorn run, from callgrind: the
# difference of the instructions of runs=2N and runs=N, divided by N, so that
# start-up and output cancel. Usage: bench/instructions.sh BINARY N [OPTION=VALUE...]
set -euo pipefail
binary=$1
n=$2
shift 2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

# Instructions (Ir) of one run of the given length, in a folder of its own
# so that its output files stay out of the way.
instructions() {
  (cd "$dir" && valgrind --tool=callgrind --callgrind-out-file="$dir/out.$1" \
    "$binary" seed=5 debug=0 runs="$1" "${@:2}" >/dev/null 2>"$dir/log.$1")
  sed -n 's/^summary: //p' "$dir/out.$1"
}

short=$(instructions "$n" "$@")
long=$(instructions $((2 * n)) "$@")
awk -v a="$short" -v b="$long" -v n="$n" 'BEGIN { printf "%.1f\n", (b - a) / n }'
