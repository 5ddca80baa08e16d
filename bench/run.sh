#!/usr/bin/env bash
# Runs the benchmark programs of a build and prints, for each, the table and
# the ratios computed from that same run.
#
#   bash bench/run.sh [build-dir]      (default: build/default)
#
# Each benchmark is repeated and interleaved with the others so that the
# ratios compare figures taken under the same load; a ratio is the median
# over the paired repetitions of its two sides. Exit status 1 when a ratio
# misses its limit.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$here/build/default}
repetitions=${KESTRUM_BENCH_REPETITIONS:-9}

status=0
for program in bench_engine bench_batch bench_hand_line; do
  binary="$build/bench/$program"
  if [ ! -x "$binary" ]; then
    echo "$program: not built in $build" >&2
    status=1
    continue
  fi
  echo "== $program"
  "$binary" --benchmark_repetitions="$repetitions" --benchmark_enable_random_interleaving=true \
    --benchmark_color=false || status=1
  echo
done
exit $status
