#!/usr/bin/env bash
# perfmul_counts.sh -- instructions per call of the products, the square, the quotients and the
# short division at p = 5, 30, 100 and 303, counted by callgrind inside the call alone (see
# perfmul_calls.cpp). Counts do not move with the machine's load, so two builds compare in any
# order. Usage: bench/perfmul_counts.sh [build-dir] [kind ...] (build-dir built with
# -DOSTREL2_BUILD_BENCH=ON; default kinds: the library's, not the peers').
set -euo pipefail

source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${1:-$source_dir/build-bench}"
shift || true
kinds=("$@")
[[ ${#kinds[@]} -eq 0 ]] && kinds=(Multipl_XL Square_XL Div_XL Multipl2_XL Div2_XL DivSmall)
cmake --build "$build_dir" -j2 --target ostrel2_perfmul_calls > /dev/null
program="$build_dir/bench/ostrel2_perfmul_calls"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT

printf '%-12s' "instr./call"
for p in 5 30 100 303; do printf ' %12s' "p=$p"; done
printf '\n'
for kind in "${kinds[@]}"; do
  printf '%-12s' "$kind"
  for p in 5 30 100 303; do
    calls=64
    case "$kind" in
      Multipl2_XL|Div2_XL) [[ $p -ge 100 ]] && calls=8 ;;
      Div_XL) [[ $p -ge 100 ]] && calls=16 ;;
    esac
    valgrind --tool=callgrind --toggle-collect='*RunOnce*' --callgrind-out-file="$out/cg" \
      "$program" count "$kind" "$p" "$calls" > /dev/null 2> "$out/log"
    total="$(callgrind_annotate --auto=no "$out/cg" 2> /dev/null \
      | awk '/PROGRAM TOTALS/ { gsub(",", "", $1); print $1 }')"
    printf ' %12d' "$((total / calls))"
  done
  printf '\n'
done
