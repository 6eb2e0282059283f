#!/usr/bin/env bash
# Set-up and the benchmark suite: installs what is missing, builds Release,
# times every scenario next to its floor and prints the summary table.
# Extra arguments go to Google Benchmark (e.g. --benchmark_filter=rayleigh).
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
vorn_install_missing jq
vorn_build -DVORN_BENCHMARKS=ON
json=$VORN_BUILD/bench.json
"$VORN_BUILD/bench/vorn_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true \
  --benchmark_out="$json" --benchmark_out_format=json "$@"

# Median of the repetitions (or the single run), by scenario: the cycle, its
# floor and their ratio.
echo
jq -r '
  [.benchmarks[] | select(.aggregate_name == "median" or .run_type == "iteration")
   | {kind: (.run_name | split("/")[0]), scenario: (.run_name | split("/")[1]),
      order: .family_index, ns: (.["time/cycle"] * 1e9), rate: .["cycles/s"]}]
  | group_by(.scenario) | sort_by(map(.order) | min)[]
  | (map(select(.kind == "Cycle"))[0]) as $c | (map(select(.kind == "Floor"))[0]) as $f
  | select($c != null)
  | [$c.scenario, $c.ns, $c.rate, ($f.ns // 0), (if $f then $c.ns / $f.ns else 0 end)] | @tsv' \
  "$json" |
  awk -F'\t' 'BEGIN { printf "%-24s %14s %14s %14s %7s\n", "scenario", "ns/cycle", "cycles/s", "floor ns", "ratio" }
              { printf "%-24s %14.1f %14.0f %14.1f %7.2f\n", $1, $2, $3, $4, $5 }'
