#!/usr/bin/env bash
# fuzz.sh -- builds the fuzz targets of the exports (clang, libFuzzer, ASan + UBSan) and runs them.
#
#   scripts/fuzz.sh short          every target, about 60 s in all; the test suite runs this
#   scripts/fuzz.sh long [seconds] every target for the given seconds each (default 600), two at a
#                                  time; the grown corpus is kept for the next run
#
# Environment: OSTREL2_FUZZ_BUILD  build directory (default <repo>/build-robust-fuzz)
#              OSTREL2_FUZZ_TOTAL  seconds of the short run in all (default 60)
# A crash, a sanitizer report, a failed check or a call slower than 10 s fails the run; the
# input that caused it is kept in <build>/findings/. Exit status 0 when every target ran clean.
set -u
mode=${1:-short}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${OSTREL2_FUZZ_BUILD:-$root/build-robust-fuzz}

case $mode in
  short) ;;
  long) ;;
  *) echo "usage: $0 short | long [seconds]" >&2; exit 2 ;;
esac

cmake -S "$root/fuzz" -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  > "$build.configure.log" 2>&1 || { cat "$build.configure.log" >&2; exit 1; }
cmake --build "$build" -j2 > "$build/build.log" 2>&1 || { tail -50 "$build/build.log" >&2; exit 1; }

mapfile -t targets < "$build/fuzz_targets.txt"
targets=("${targets[@]/#/}")
count=0
for t in "${targets[@]}"; do [ -n "$t" ] && count=$((count + 1)); done

rm -rf "$build/seeds"
"$build/ostrel2_fuzz_corpus" "$build/seeds" || exit 1
mkdir -p "$build/corpus" "$build/findings" "$build/logs"

if [ "$mode" = short ]; then
  total=${OSTREL2_FUZZ_TOTAL:-60}
  each=$(( total / count )); [ "$each" -lt 1 ] && each=1
  parallel=1
else
  each=${2:-600}
  parallel=2
fi

run_one() {
  local name=$1
  mkdir -p "$build/corpus/$name"
  # A call must end within -timeout seconds. The greatest common divisor alone may legitimately
  # take longer: its longest exact search at precision 303 (Fibonacci neighbours of 3,060 digits,
  # about 14,700 remainders) takes some 6 s in a release build and several times that under the
  # sanitizers, and searches on huge exponents are held to the same number of steps. The
  # factorial of 1,000,000 at precision 303 (a million short products) takes about 3 s in a
  # release build and over 10 s under the sanitizers on a loaded machine.
  local timeout=10
  case $name in LCM_XL | Factorial_XL) timeout=60 ;; esac
  # -max_len: two coded records with every limb raw fit in about 1,200 bytes.
  "$build/ostrel2_fuzz_$name" "$build/corpus/$name" "$build/seeds/$name" \
    -max_total_time="$each" -timeout="$timeout" -rss_limit_mb=2048 -max_len=1400 \
    -print_final_stats=1 -artifact_prefix="$build/findings/$name-" \
    > "$build/logs/$name.log" 2>&1
  local status=$?
  local execs
  execs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$build/logs/$name.log" | grep -o '[0-9]*$')
  local slowest
  slowest=$(grep -o 'stat::slowest_unit_time_sec: *[0-9]*' "$build/logs/$name.log" | grep -o '[0-9]*$')
  if [ $status -eq 0 ]; then
    printf '%-16s ok      %10s runs  slowest %ss\n' "$name" "${execs:-?}" "${slowest:-?}"
  else
    printf '%-16s FAILED  %10s runs  (see %s)\n' "$name" "${execs:-?}" "$build/logs/$name.log"
    grep -m3 -E 'ERROR|SUMMARY|runtime error|: argument|: result' "$build/logs/$name.log" | sed 's/^/    /'
  fi
  return $status
}

failed=0
running=0
pids=()
for name in "${targets[@]}"; do
  [ -z "$name" ] && continue
  run_one "$name" &
  pids+=($!)
  running=$((running + 1))
  if [ $running -ge $parallel ]; then
    wait "${pids[0]}" || failed=1
    pids=("${pids[@]:1}")
    running=$((running - 1))
  fi
done
for p in "${pids[@]}"; do wait "$p" || failed=1; done

if [ $failed -ne 0 ]; then
  echo "fuzzing found problems; inputs in $build/findings/" >&2
  exit 1
fi
echo "all $count fuzz targets ran clean (${each}s each)"
