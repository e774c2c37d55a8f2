#!/usr/bin/env bash
# Builds Velmora in release mode and runs the whole benchmark suite: the
# in-process benchmarks (velmora_bench) and the start-up probe. Prints a
# table of medians and spreads against the budgets and keeps the figures as
# JSON in build-release/. Exits 1 when a median misses its budget.
# Usage: bench/run.sh [REPETITIONS]
set -euo pipefail
cd "$(dirname "$0")/.."

repetitions="${1:-10}"
build=build-release
tools/ensure-packages.sh build test

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCHMARKS=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target velmora velmora_bench velmora-firstframe

# The paints at a device-pixel ratio of 2 need a process of their own.
for scale in 1 2; do
  "$build/bin/velmora_bench" --scale="$scale" \
    --benchmark_repetitions="$repetitions" \
    --benchmark_report_aggregates_only=true \
    --benchmark_out="$build/bench-results-$scale.json" \
    --benchmark_out_format=json >"$build/bench-console-$scale.txt" 2>&1 || {
      cat "$build/bench-console-$scale.txt" >&2
      exit 2
    }
done
bench/startup.sh "$build" 10 "$build/startup-results.json" >/dev/null

echo
python3 bench/report.py table "$build/startup-results.json" \
  "$build/bench-results-1.json" "$build/bench-results-2.json"
