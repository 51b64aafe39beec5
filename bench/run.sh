#!/usr/bin/env bash
# run.sh -- builds the benchmarks, times every export beside MPFR in one run with Google Benchmark
# (tables of times, ratios and the multiplication crossover), and profiles the precision-303
# transform product with callgrind. The product counts, overheads, the other peers and the plot
# come from bench/report.sh.
#
# Usage: bench/run.sh [build-dir] [extra benchmark flags...]
#   OSTREL2_BENCH_MIN_TIME  minimum seconds per benchmark (default 0.2)
#   OSTREL2_BENCH_REPS      repetitions; the tables use the median (default 3)
#   OSTREL2_BENCH_PROFILE   0 skips the callgrind profile (default 1)
set -euo pipefail

source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${1:-$source_dir/build-bench}"
shift || true
min_time="${OSTREL2_BENCH_MIN_TIME:-0.2}"
reps="${OSTREL2_BENCH_REPS:-3}"
out_dir="$build_dir/bench-results"

cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DOSTREL2_BUILD_BENCH=ON \
  -DOSTREL2_BUILD_TESTS=OFF -DOSTREL2_BUILD_TOOLS=OFF > /dev/null
cmake --build "$build_dir" -j2 --target ostrel2_bench ostrel2_profile > /dev/null
mkdir -p "$out_dir"
bin="$build_dir/bench"

echo "== Timings (CPU time, median of $reps, min time ${min_time}s each)"
"$bin/ostrel2_bench" --benchmark_min_time="$min_time" \
  --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true \
  --benchmark_color=false "$@" | tee "$out_dir/bench.txt"

if [[ "${OSTREL2_BENCH_PROFILE:-1}" != 0 ]] && command -v valgrind > /dev/null; then
  echo "== Profile of Multipl_XL at precision 303 (instructions inside Multipl_XL only)"
  valgrind --tool=callgrind --toggle-collect=Multipl_XL \
    --callgrind-out-file="$out_dir/callgrind.multiply" \
    "$bin/ostrel2_profile" 'Multipl_XL|random' 500 2> "$out_dir/callgrind.log"
  # The first N function lines of an annotation; awk reads its whole input, so the tee before it
  # is never cut off (a closed pipe would end the script under pipefail).
  top_lines() { awk -v n="$1" '/file:function/ { body = 1; next } body && NF && !/^-/ && shown < n { print; shown++ }'; }
  total="$(callgrind_annotate --auto=no "$out_dir/callgrind.multiply" 2> /dev/null \
    | awk '/PROGRAM TOTALS/ { gsub(",", "", $1); print $1 }')"
  echo "-- $total instructions in 500 products: $((total / 500)) per product"
  echo "-- self (exclusive) instructions"
  callgrind_annotate --auto=no "$out_dir/callgrind.multiply" 2> /dev/null | tee "$out_dir/profile.txt" \
    | top_lines 16
  echo "-- inclusive instructions"
  callgrind_annotate --auto=no --inclusive=yes "$out_dir/callgrind.multiply" 2> /dev/null \
    | tee "$out_dir/profile_inclusive.txt" | top_lines 16
fi
echo "Results in $out_dir"
