#!/usr/bin/env bash
# Runs every libFuzzer target of a fuzz build for the given number of seconds each,
# starting from its seed corpus; fails on the first crash.
set -euo pipefail
build=$(cd "${1:?build directory}" && pwd)  # absolute: each fuzzer runs in its own work directory
seconds=${2:-60}
root=$(cd "$(dirname "$0")/.." && pwd)

mapfile -t fuzzers < <(find "$build" -type f -perm -u+x -name '*_fuzzer' | sort)
if ((${#fuzzers[@]} == 0)); then
  echo "run-fuzzers: no fuzz targets built" >&2
  exit 1
fi
for fuzzer in "${fuzzers[@]}"; do
  name=$(basename "$fuzzer")
  seeds="$root/tools/fuzz/corpus/${name%_fuzzer}"
  work=$(mktemp -d)
  [[ -d "$seeds" ]] && cp -r "$seeds"/. "$work"/
  echo "run-fuzzers: $name for ${seconds}s"
  (cd "$work" && "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 "$work") || { echo "run-fuzzers: $name found a crash (inputs in $work)" >&2; exit 1; }
  rm -rf "$work"
done
