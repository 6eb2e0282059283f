#!/usr/bin/env bash
# Set-up and the benchmark suite: installs what is missing, builds Release,
# times every scenario next to its floor and prints the summary table.
# Extra arguments go to Google Benchmark (e.g. --benchmark_filter=rayleigh).
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
vorn_install_missing jq
vorn_build -DVORN_BENCHMARKS=ON
json=$VORN_BUILD/bench.json
# Repetitions in random order, so that a change in the machine's load hits the
# cycles and their floors alike; the table shows medians.
"$VORN_BUILD/bench/vorn_bench" --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true \
  --benchmark_report_aggregates_only=true --benchmark_out="$json" --benchmark_out_format=json "$@"

# Median of the repetitions (or the single run), by scenario: the cycle, its
# floor, their ratio, the heap allocations made by the timed cycles, and the
# plain loop of the scenario's law with the cycle's multiple of it (0 without one).
echo
jq -r '
  [.benchmarks[] | select(.aggregate_name == "median" or .run_type == "iteration")
   | {kind: (.run_name | split("/")[0]), scenario: (.run_name | split("/")[1]),
      order: .family_index, ns: (.["time/cycle"] * 1e9), rate: .["cycles/s"],
      allocs: (.allocs // 0)}]
  | group_by(.scenario) | sort_by(map(.order) | min)[]
  | (map(select(.kind == "Cycle"))[0]) as $c | (map(select(.kind == "Floor"))[0]) as $f
  | (map(select(.kind == "Plain"))[0]) as $p
  | select($c != null)
  | [$c.scenario, $c.ns, $c.rate, ($f.ns // 0), (if $f then $c.ns / $f.ns else 0 end), $c.allocs,
     ($p.ns // 0), (if $p then $c.ns / $p.ns else 0 end)]
  | @tsv' \
  "$json" |
  awk -F'\t' 'BEGIN { printf "%-24s %12s %12s %12s %6s %7s %9s %7s\n", "scenario", "ns/cycle", "cycles/s",
                             "floor ns", "ratio", "allocs", "plain ns", "x plain" }
              { printf "%-24s %12.1f %12.0f %12.1f %6.2f %7d %9.1f %7.2f\n", $1, $2, $3, $4, $5, $6, $7, $8 }'
