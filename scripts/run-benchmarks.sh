#!/usr/bin/env bash
# Runs every Google Benchmark program of a build.
set -euo pipefail
build=${1:?build directory}
mapfile -t benches < <(find "$build" -type f -perm -u+x -name '*_benchmark' | sort)
for bench in "${benches[@]}"; do
  echo "== $(basename "$bench")"
  "$bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
done
