#!/usr/bin/env bash
# Builds the benchmarks (Release) and runs every bench/bench_*.sh in turn; each
# prints its figures beside the baseline measured in the same run.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-bench -j"$(nproc)" >/dev/null
export ZORV_BENCH_BIN="$(pwd)/build-bench/bench"
export ZORV_BUILD="$(pwd)/build-bench"
status=0
for script in bench/bench_*.sh; do
  [ -e "$script" ] || continue
  echo "== $(basename "$script" .sh)"
  bash "$script" || status=1
done
exit $status
