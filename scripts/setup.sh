#!/usr/bin/env bash
# setup.sh -- installs what Ostrel2 needs, builds it, and then runs it (run) or tests it (test).
#
#   bash scripts/setup.sh run    install, build, and compute with the ostrel2 program and from
#                                Python
#   bash scripts/setup.sh test   install, build, run every test (the installed package built
#                                against through CMake and pkg-config included), the Python
#                                module installed with pip and tested with pytest, every test
#                                again under AddressSanitizer and UndefinedBehaviorSanitizer, the
#                                thread test under ThreadSanitizer, then the Windows, 64-bit ARM
#                                and fuzzing checks when their scripts are present
#
# Missing Debian packages are installed with apt-get (as root, or through sudo). The builds go
# to build/ and build-sanitize/ under the repository root (OSTREL2_BUILD_DIR and
# OSTREL2_SANITIZE_BUILD_DIR override them); the Python module goes into a virtual environment
# in build/python-env. Any failure stops the script with a non-zero status.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${OSTREL2_BUILD_DIR:-$root/build}
sanitize_build=${OSTREL2_SANITIZE_BUILD_DIR:-$root/build-sanitize}
jobs=$(nproc 2>/dev/null || echo 2)
packages=(build-essential cmake g++ libgtest-dev libbenchmark-dev libgmp-dev libmpfr-dev libboost-dev
          clang libclang-rt-14-dev valgrind python3 python3-pytest python3-venv python3-pip
          python3-setuptools python3-wheel pkg-config)
# Debian's Python, the one the packages above serve (another python3 may come first on PATH).
python=/usr/bin/python3
[[ -x $python ]] || python=$(command -v python3)

# Each step is headed by its name and the seconds since the command started.
step() { printf '\n==== %s  [%d s]\n' "$*" "$SECONDS"; }

install_packages() {
  local missing=() p
  for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$p")
    fi
  done
  if [[ ${#missing[@]} -eq 0 ]]; then
    step "packages: all present"
    return
  fi
  step "packages: installing ${missing[*]}"
  local sudo=()
  if [[ $(id -u) != 0 ]]; then
    if command -v sudo >/dev/null; then
      sudo=(sudo)
    else
      echo "setup.sh: missing packages (${missing[*]}) and not root; install them or run as root" >&2
      exit 1
    fi
  fi
  export DEBIAN_FRONTEND=noninteractive
  "${sudo[@]}" apt-get update </dev/null
  "${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}" </dev/null
}

configure_and_build() {
  local dir=$1
  shift
  step "configure $dir $*"
  cmake -S "$root" -B "$dir" "$@"
  step "build $dir"
  cmake --build "$dir" -j "$jobs"
}

# ctest, its whole output shown and kept in a log for the closing summary. Tests labelled fuzz
# are left out: the fuzzing run comes once, at the end, from scripts/fuzz.sh.
run_ctest() {
  local dir=$1 log=$2
  step "ctest in $dir"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" -LE fuzz </dev/null 2>&1 | tee "$log"
}

# The tail of a ctest log: "100% tests passed, 0 tests failed out of N" and the total time.
ctest_summary() {
  grep -E 'tests passed|tests failed out of|Total Test time' "$1" || true
}

demo() {
  local ostrel2=$build/tools/ostrel2
  local a b
  a=$(printf '%0150d' 0 | tr 0 7)$(printf '%0150d' 0 | tr 0 3)   # 300 digits
  b=$(printf '%0300d' 0 | tr 0 9)                                 # 10^300 - 1
  step "ostrel2 version"
  "$ostrel2" --version
  step "2 / 3 to 300 digits (30 limbs), reciprocal division"
  "$ostrel2" div 2 3 --precision 30
  step "the same by long division"
  "$ostrel2" div2 2 3 --precision 30
  step "a 300-digit number times 10^300 - 1, exactly (61 limbs)"
  "$ostrel2" mul "$a" "$b" --precision 61
  step "gcd of 1071 and 462, with cofactors"
  "$ostrel2" gcd 1071 462
  step "pi to 300 digits, and e and sin 1 to 100"
  "$ostrel2" pi -p 30
  "$ostrel2" exp 1 --digits 100
  "$ostrel2" sin 1 --digits 100
  step "a division by zero reports its diagnostic"
  "$ostrel2" div 1 0 || echo "(exit status $?: the result carries an error)"
}

# The Python module as a user installs it: pip install . into a fresh virtual environment, with
# no package index (nothing may be downloaded). The environment sees the system's packages, so
# pytest comes from Debian.
python_env() {
  local env=$build/python-env
  step "Python module: pip install . into $env (no network)"
  "$python" -m venv --system-site-packages --clear "$env"
  (cd "$root" && PIP_NO_INDEX=1 "$env/bin/python" -m pip install --no-cache-dir --quiet .)
}

python_demo() {
  python_env
  step "Python: 1/7 to 60 digits, and a division by zero as an exception"
  (cd / && "$build/python-env/bin/python" - <<'PY'
import ostrel2
with ostrel2.precision(digits=60):
    print(ostrel2.Number(1) / 7)
try:
    ostrel2.Number(1) / 0
except ostrel2.Error as failure:
    print("ostrel2.Error:", failure.message, "code", failure.code)
PY
  )
}

python_tests() {
  python_env
  step "Python module: pytest against the installed copy, docs/python.md and README.md as doctests"
  # From / so that the installed module, not the source tree, is imported.
  (cd / && "$build/python-env/bin/python" -m pytest -p no:cacheprovider --doctest-glob='*.md' \
     "$root/tests/python" "$root/docs/python.md" "$root/README.md" </dev/null)
}

usage() {
  echo "usage: bash scripts/setup.sh run|test" >&2
  exit 2
}

[[ $# -eq 1 ]] || usage
case $1 in
  run)
    install_packages
    configure_and_build "$build" -DCMAKE_BUILD_TYPE=Release -DPython3_EXECUTABLE="$python"
    demo
    python_demo
    ;;
  test)
    install_packages
    # The benchmarks are built (not run) so that they keep compiling with the library.
    configure_and_build "$build" -DCMAKE_BUILD_TYPE=Release -DOSTREL2_BUILD_BENCH=ON \
      -DOSTREL2_BUILD_TESTS=ON -DPython3_EXECUTABLE="$python"
    main_log=$build/ctest-setup.log
    run_ctest "$build" "$main_log"
    python_log=$build/pytest-setup.log
    python_tests 2>&1 | tee "$python_log"

    # The sanitized suite is compiled as a unity build (the source files of a target in a few
    # translation units), which halves its build time; the Release build above compiles every
    # file on its own, so a file that leans on another's includes still fails there.
    configure_and_build "$sanitize_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_UNITY_BUILD=ON \
      -DOSTREL2_SANITIZE=address,undefined -DOSTREL2_BUILD_TESTS=ON -DPython3_EXECUTABLE="$python"
    sanitize_log=$sanitize_build/ctest-setup.log
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
      run_ctest "$sanitize_build" "$sanitize_log"

    # The multi-thread determinism test once more under ThreadSanitizer: concurrent calls share
    # nothing but the read-only transform tables, and the sanitizer checks that.
    thread_build=${OSTREL2_THREAD_BUILD_DIR:-$root/build-thread}
    step "configure $thread_build (ThreadSanitizer)"
    cmake -S "$root" -B "$thread_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DOSTREL2_SANITIZE=thread -DOSTREL2_BUILD_TOOLS=OFF
    cmake --build "$thread_build" -j "$jobs" --target ostrel2_robustness_tests
    step "threads under ThreadSanitizer"
    TSAN_OPTIONS=halt_on_error=1 "$thread_build/tests/robustness/ostrel2_robustness_tests" \
      --gtest_filter='Threads.*' </dev/null

    if [[ -f $root/scripts/windows-test.sh ]]; then
      step "Windows DLLs under Wine"
      bash "$root/scripts/windows-test.sh" </dev/null
    fi
    if [[ -f $root/scripts/arm64-test.sh ]]; then
      step "64-bit ARM under qemu, and the portable loops on x86-64"
      bash "$root/scripts/arm64-test.sh" </dev/null
    fi
    if [[ -f $root/scripts/fuzz.sh ]]; then
      step "short fuzzing run"
      bash "$root/scripts/fuzz.sh" short </dev/null
    fi

    step "summary (address,undefined sanitizers)"
    ctest_summary "$sanitize_log"
    step "summary (Python module, pytest)"
    tail -n 1 "$python_log"
    step "summary"
    ctest_summary "$main_log"
    ;;
  *) usage ;;
esac
