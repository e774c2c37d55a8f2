#!/usr/bin/env bash
# A long soak: seeded random sessions on the real window in a release build,
# then the sample-reader fuzzer for a bounded time over a copy of its corpus.
# Prints "N actions, F failures" and exits non-zero on any failure.
#
# Usage: tools/soak.sh [SEEDS [ACTIONS [FUZZ_SECONDS]]]   (200, 1000, 300)
# VELMORA_SOAK_BUILD and VELMORA_FUZZ_BUILD choose the build directories.
set -euo pipefail
cd "$(dirname "$0")/.."

seeds="${1:-200}"
actions="${2:-1000}"
fuzz_seconds="${3:-300}"
build="${VELMORA_SOAK_BUILD:-build-release}"
fuzz_build="${VELMORA_FUZZ_BUILD:-build-fuzz}"
jobs="$(nproc)"
export QT_QPA_PLATFORM=offscreen

tools/ensure-packages.sh build test fuzz

# The random sessions.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVELMORA_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j"$jobs" --target reliability_tests
session_log="$(mktemp)"
trap 'rm -rf "$session_log" "${corpus:-}"' EXIT
session_status=0
"$build/bin/reliability_tests" --gtest_filter='RandomSession.RulesHoldAfterEveryAction' \
  --seeds "$seeds" --actions "$actions" 2>&1 | tee "$session_log" || session_status=$?
summary="$(grep -E '^[0-9]+ actions, [0-9]+ failures$' "$session_log" | tail -n 1 || true)"

# The fuzzer, on a copy so that the corpus in the tree stays as it is.
cmake -S . -B "$fuzz_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DVELMORA_FUZZ=ON -DVELMORA_BENCHMARKS=OFF >/dev/null
cmake --build "$fuzz_build" -j"$jobs" --target fuzz_samples
corpus="$(mktemp -d)"
cp -r tests/fuzz/corpus/. "$corpus/"
fuzz_status=0
ASAN_OPTIONS=detect_leaks=0 "$fuzz_build/bin/fuzz_samples" -max_total_time="$fuzz_seconds" \
  -print_final_stats=1 -artifact_prefix="$fuzz_build/" "$corpus" 2>&1 | tail -n 25 ||
  fuzz_status=$?

echo
if [[ -n "$summary" ]]; then
  echo "random sessions: $summary"
else
  echo "random sessions: no summary (the test program failed to run)"
  session_status=1
fi
if [[ $fuzz_status -eq 0 ]]; then
  echo "fuzzer: no fault in ${fuzz_seconds} s"
else
  echo "fuzzer: found a fault (status $fuzz_status); the input is saved in $fuzz_build/"
fi
[[ $session_status -eq 0 && $fuzz_status -eq 0 ]]
