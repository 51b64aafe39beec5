#!/usr/bin/env bash
# report.sh -- one run of the performance report: product counts, every argument set of every
# built export beside MPFR, Boost cpp_dec_float and Python's decimal, the overheads, a profile of
# the dearest call (among those of at most 0.5 s), and the plot of time against precision.
#
# Usage: bench/report.sh [build-dir]        (default build-bench, Release)
#   OSTREL2_BENCH_PRECISIONS  precisions in limbs (default 5,30,100,303; Boost is built for these)
#   OSTREL2_BENCH_ROUNDS      rounds, each contestant once per round; the median is kept (default 5)
#   OSTREL2_BENCH_MIN_TIME    seconds each contestant runs per round, at least one call
#                             (default 0.05)
#   OSTREL2_BENCH_FILTER      only the argument sets whose "export|arguments" contains this text
#   OSTREL2_BENCH_PROFILE     0 skips the callgrind profile (default 1)
#   OSTREL2_BENCH_INSTRUCTIONS  "all", or parts of "export|arguments" separated by commas: own
#                             work by instructions (callgrind, one call each) for those sets with
#                             products (default off; a call of 0.3 s takes minutes)
#   OSTREL2_BENCH_DOCS        1 writes the tables between the markers of docs/performance.md and
#                             the plot to docs/performance.png (default 0)
# Results go to <build-dir>/bench-results/: counts.tsv, peers.tsv, decimal.tsv, report.md (every
# table), profile.txt, performance.png and the console output of each step.
set -euo pipefail

source_dir="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${1:-$source_dir/build-bench}"
precisions="${OSTREL2_BENCH_PRECISIONS:-5,30,100,303}"
rounds="${OSTREL2_BENCH_ROUNDS:-5}"
min_time="${OSTREL2_BENCH_MIN_TIME:-0.05}"
filter="${OSTREL2_BENCH_FILTER:-}"
out_dir="$build_dir/bench-results"
bench="$source_dir/bench"

step() { printf '\n== %s\n' "$*"; }

summary() { python3 "$bench/callgrind_summary.py" "$@"; }

# The plot needs gnuplot; install it like scripts/setup.sh installs packages, or go on without.
ensure_gnuplot() {
  command -v gnuplot > /dev/null && return 0
  local sudo=()
  if [[ $(id -u) != 0 ]]; then
    command -v sudo > /dev/null || return 1
    sudo=(sudo)
  fi
  step "installing gnuplot-nox for the plot"
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends \
    gnuplot-nox < /dev/null > "$out_dir/apt.log" 2>&1 ||
    { "${sudo[@]}" apt-get update < /dev/null >> "$out_dir/apt.log" 2>&1 &&
      DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y --no-install-recommends \
        gnuplot-nox < /dev/null >> "$out_dir/apt.log" 2>&1; }
}

step "build ($build_dir)"
cmake -S "$source_dir" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DOSTREL2_BUILD_BENCH=ON \
  -DOSTREL2_BUILD_TESTS=OFF -DOSTREL2_BUILD_TOOLS=OFF > /dev/null
cmake --build "$build_dir" -j2 --target ostrel2_product_count ostrel2_peers ostrel2_profile \
  > /dev/null
mkdir -p "$out_dir"
bin="$build_dir/bench"

step "machine"
{
  echo "date: $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "commit: $(git -C "$source_dir" rev-parse --short HEAD 2> /dev/null || echo unknown)"
  echo "cpu: $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //'), $(nproc) cores"
  echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
  echo "compiler: $(c++ --version | head -n1)"
  echo "MPFR: $(dpkg-query -W -f='${Version}' libmpfr-dev 2> /dev/null || echo '?')," \
    "GMP: $(dpkg-query -W -f='${Version}' libgmp-dev 2> /dev/null || echo '?')," \
    "Boost: $(dpkg-query -W -f='${Version}' libboost-dev 2> /dev/null || echo '?')," \
    "$(python3 -c 'import decimal, sys
print("Python", sys.version.split()[0], "decimal (libmpdec", decimal.__libmpdec_version__ + ")")')"
  echo "rounds: $rounds, at least ${min_time} s per contestant and round; precisions $precisions"
} | tee "$out_dir/machine.txt"

step "transform products and divisions per call"
"$bin/ostrel2_product_count" --precision="$precisions" --filter="$filter" --time \
  --tsv="$out_dir/counts.tsv" | tee "$out_dir/counts.txt"

step "ours beside MPFR and Boost (us per call, median of $rounds rounds)"
"$bin/ostrel2_peers" --precision="$precisions" --filter="$filter" \
  --arguments="$out_dir/arguments.tsv"
"$bin/ostrel2_peers" --precision="$precisions" --filter="$filter" --rounds="$rounds" \
  --min-time="$min_time" --tsv="$out_dir/peers.tsv" | tee "$out_dir/peers.txt"

step "Python decimal on the same operands"
python3 "$bench/peers_decimal.py" "$out_dir/arguments.tsv" "$out_dir/decimal.tsv" \
  --rounds "$rounds" --min-time "$min_time" | tee "$out_dir/decimal.txt"

step "tables"
python3 "$bench/tables.py" "$out_dir/counts.tsv" "$out_dir/peers.tsv" "$out_dir/decimal.tsv" \
  "$out_dir"

: > "$out_dir/profile.txt"
if [[ "${OSTREL2_BENCH_PROFILE:-1}" != 0 ]] && command -v valgrind > /dev/null; then
  IFS=$'\t' read -r key seconds top < "$out_dir/dearest.txt"
  if [[ -n $key ]]; then
    name="${key%%|*}"
    # About 0.3 s of calls natively: under callgrind some fifty times that.
    calls="$(python3 -c "import math; print(max(1, math.ceil(0.3 / $seconds)))")"
    step "profile of the dearest call (up to 0.5 s) at p = $top: $key ($calls calls, inside $name)"
    valgrind --tool=callgrind --toggle-collect="$name" \
      --callgrind-out-file="$out_dir/callgrind.dearest" \
      "$bin/ostrel2_profile" "$key" "$calls" "$top" 2> "$out_dir/callgrind.log" > /dev/null
    read -r total inside own < <(summary own "$out_dir/callgrind.dearest")
    {
      echo "### Profile of the dearest call at p = $top: \`$name\` ($key)"
      echo
      echo "\`valgrind --tool=callgrind --toggle-collect=$name\`, $calls calls:" \
        "$(python3 -c "print(f'{$total // $calls:,}')") instructions per call; own work by" \
        "instructions (outside the transform products over inside them): $own. Calls made" \
        "inside, per call (callgrind's count through the shared library, a check of the" \
        "counting program):"
      echo
      summary calls "$out_dir/callgrind.dearest" "$calls" ostrel2::MultiplLong ostrel2::DivLong \
        ostrel2::MultiplSmall ostrel2::DivSmall ostrel2::Normalize
      echo
      echo "Functions with at least 1 % of the instructions (self):"
      echo
      summary self "$out_dir/callgrind.dearest"
    } > "$out_dir/profile.txt"
    cat "$out_dir/profile.txt"
  fi
fi

# Own work by instructions for the sets with products at the largest precision, one call each
# under callgrind (free of the machine's load, but slow: an arctangent at p = 303 takes minutes).
if [[ -n "${OSTREL2_BENCH_INSTRUCTIONS:-}" ]] && command -v valgrind > /dev/null; then
  IFS=, read -r -a wanted <<< "${OSTREL2_BENCH_INSTRUCTIONS}"
  [[ ${wanted[0]} == all ]] && wanted=("")
  top="$(tail -n 1 "$out_dir/dearest.txt" | cut -f3)"
  step "own work by instructions at p = $top (one call each under callgrind)"
  {
    echo
    echo "### Own work by instructions at p = $top"
    echo
    echo "One call of each set (its first operands) under \`callgrind --toggle-collect\`:" \
      "instructions outside the transform products over those inside them."
    echo
    echo "| export | arguments | products (mean) | instructions per call | own / products |"
    echo "|---|---|---:|---:|---:|"
    awk -F'\t' -v p="$top" 'NR > 1 && $1 == p && $4 > 0 { print $2 "|" $3 "\t" $4 }' \
      "$out_dir/counts.tsv" | while IFS=$'\t' read -r key products; do
      chosen=0
      for part in "${wanted[@]}"; do [[ $key == *"$part"* ]] && chosen=1; done
      [[ $chosen == 1 ]] || continue
      valgrind --tool=callgrind --toggle-collect="${key%%|*}" \
        --callgrind-out-file="$out_dir/callgrind.one" \
        "$bin/ostrel2_profile" "$key" 1 "$top" > /dev/null 2>> "$out_dir/callgrind.log"
      read -r total inside own < <(summary own "$out_dir/callgrind.one")
      echo "| \`${key%%|*}\` | ${key#*|} | $(python3 -c "print(f'{$products:g}')") |" \
        "$(python3 -c "print(f'{$total:,}')") | $own |"
    done
  } >> "$out_dir/profile.txt"
  tail -n +2 "$out_dir/profile.txt" | sed -n '/Own work by instructions/,$p'
fi

plot=""
if ensure_gnuplot; then
  (cd "$out_dir" && gnuplot plot.gp)
  plot="$out_dir/performance.png"
  step "plot: $plot"
else
  step "no gnuplot (and no way to install it): plot data left in $out_dir/plot.dat"
fi

# report.md: every table; docs.md within it the selection for docs/performance.md.
compose() {
  echo '```'
  cat "$out_dir/machine.txt"
  echo '```'
  echo
  cat "$1"
  if [[ -s $out_dir/profile.txt ]]; then
    echo
    cat "$out_dir/profile.txt"
  fi
}
compose "$out_dir/tables.md" > "$out_dir/report.md"

if [[ "${OSTREL2_BENCH_DOCS:-0}" == 1 ]]; then
  docs="$source_dir/docs/performance.md"
  section="$out_dir/docs-section.md"
  {
    compose "$out_dir/docs.md"
    if [[ -n $plot ]]; then
      echo
      echo '![Time per call against precision, ours beside MPFR and Boost](performance.png)'
    fi
    echo
  } > "$section"
  python3 - "$docs" "$section" << 'EOF'
import sys
docs, section = sys.argv[1], sys.argv[2]
begin, end = "<!-- report.sh: begin -->", "<!-- report.sh: end -->"
text = open(docs).read()
if begin not in text or end not in text:
    sys.exit(f"{docs}: the markers {begin} and {end} are missing")
head, rest = text.split(begin, 1)
_, tail = rest.split(end, 1)
open(docs, "w").write(head + begin + "\n" + open(section).read() + end + tail)
EOF
  [[ -n $plot ]] && cp "$plot" "$source_dir/docs/performance.png"
  step "docs/performance.md and docs/performance.png updated"
fi
step "results in $out_dir (report.md holds the tables)"
