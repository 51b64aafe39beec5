#!/usr/bin/env bash
# count_instructions.sh -- instructions per call of Multipl_XL and Div_XL at precisions 5, 30 and
# 303, counted by callgrind inside the export alone. Unlike timings, the counts do not move when
# other work shares the machine, so two builds can be compared in any order.
#
# Usage: bench/count_instructions.sh [build-dir] (default build-bench; built with
# -DOSTREL2_BUILD_BENCH=ON, the program ostrel2_profile is built here if missing). The calls cycle
# through the 8 random operand pairs of the argument set "random" (bench/argument_sets.cpp).
set -euo pipefail

source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${1:-$source_dir/build-bench}"
cmake --build "$build_dir" -j2 --target ostrel2_profile > /dev/null
program="$build_dir/bench/ostrel2_profile"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

printf '%-11s %9s %14s\n' export precision "instr./call"
for name in Multipl_XL Div_XL; do
  for p in 5 30 303; do
    calls=200
    [[ "$name" == Div_XL ]] && calls=40
    valgrind --tool=callgrind --toggle-collect="$name" --callgrind-out-file="$out/cg" \
      "$program" "$name|random" "$calls" "$p" > /dev/null 2> "$out/log"
    total="$(callgrind_annotate --auto=no "$out/cg" 2> /dev/null \
      | awk '/PROGRAM TOTALS/ { gsub(",", "", $1); print $1 }')"
    printf '%-11s %9d %14d\n' "$name" "$p" "$((total / calls))"
  done
done
