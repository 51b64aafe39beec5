#!/usr/bin/env bash
# setup.sh -- installs what Ostrel2 needs, builds it, and then runs it (run) or tests it (test).
#
#   bash scripts/setup.sh run    install, build the libraries and the program, and compute with
#                                the ostrel2 program and from Python
#   bash scripts/setup.sh test   install, build, run every test (the installed package built
#                                against through CMake and pkg-config included), the Python
#                                module installed with pip into plain virtual environments
#                                offline and tested there (pytest, doctests), the Calc
#                                extension in a headless LibreOffice Calc, every test
#                                again under AddressSanitizer and UndefinedBehaviorSanitizer, the
#                                thread test under ThreadSanitizer, then the Windows, 64-bit ARM
#                                and fuzzing checks when their scripts are present
#
# Missing Debian packages are installed with apt-get (as root, or through sudo). The builds go
# to build/ and build-sanitize/ under the repository root (OSTREL2_BUILD_DIR and
# OSTREL2_SANITIZE_BUILD_DIR override them); the Python module goes into a virtual environment
# in build/python-env (Debian's Python) and build/python-env-other (the python3 on PATH, when that
# is another CPython). Any failure stops the script with a non-zero status.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${OSTREL2_BUILD_DIR:-$root/build}
sanitize_build=${OSTREL2_SANITIZE_BUILD_DIR:-$root/build-sanitize}
jobs=$(nproc 2>/dev/null || echo 2)
packages=(build-essential cmake g++ libgtest-dev libgmp-dev libmpfr-dev libboost-dev
          clang libclang-rt-14-dev valgrind python3 python3-pytest python3-venv pkg-config)
# Debian's Python, the one the packages above serve (another python3 may come first on PATH).
python=/usr/bin/python3
[[ -x $python ]] || python=$(command -v python3)

# Each step is headed by its name and the seconds since the command started.
step() { printf '\n==== %s  [%d s]\n' "$*" "$SECONDS"; }

# Installs the packages named, or the list above.
install_packages() {
  local wanted=("$@") missing=() p
  [[ ${#wanted[@]} -gt 0 ]] || wanted=("${packages[@]}")
  for p in "${wanted[@]}"; do
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
  step "an expression, each operation one call at 50 digits"
  "$ostrel2" -e 'sqrt(2) * pi / 3' --digits 50
  step "a division by zero reports its message on standard error, in English or in the library's own Japanese"
  "$ostrel2" div 1 0 || echo "(exit status $?: the result carries an error)"
  "$ostrel2" div 1 0 --japanese || echo "(exit status $?)"
}

# The Python module as a user installs it: a plain virtual environment (no system packages: no
# wheel, and no setuptools at all from Python 3.12 on), `pip install .` with no package index.
# python_env PYTHON ENV installs it into ENV; the package's own build backend needs nothing else.
python_env() {
  local python=$1 env=$2
  step "Python module: pip install . into $env ($("$python" --version 2>&1), plain venv, no network)"
  "$python" -m venv --clear "$env"
  (cd "$root" && PIP_NO_INDEX=1 PIP_DISABLE_PIP_VERSION_CHECK=1 \
     "$env/bin/python" -m pip install --no-cache-dir --quiet .)
}

python_demo() {
  python_env "$python" "$build/python-env"
  step "Python: 1/7 to 60 digits, and a division by zero as an exception"
  (cd / && "$build/python-env/bin/python" - <<'PY'
import ostrel2
with ostrel2.precision(digits=60):
    print(ostrel2.Number(1) / 7)
try:
    ostrel2.Number(1) / 0
except ostrel2.Error as failure:
    print("ostrel2.Error:", failure, "/", failure.original)
PY
  )
}

# The python3 on PATH when it is another CPython than Debian's (a pyenv build, say), else nothing.
other_python() {
  local found
  found=$(command -v python3 2>/dev/null) || return 0
  found=$("$found" -c 'import os, sys; print(os.path.realpath(sys.executable))' 2>/dev/null) || return 0
  [[ -n $found && $found != "$(realpath "$python")" ]] && echo "$found"
  return 0
}

python_tests() {
  # Debian's Python: the whole suite and the doctests of docs/python.md and README.md, with
  # Debian's pytest taken from its folder (appended to the search path, so the installed ostrel2
  # comes first), run from / so that the installed copy, not the source tree, is imported.
  local env=$build/python-env debian_packages
  python_env "$python" "$env"
  debian_packages=$("$python" -c 'import os, pytest; print(os.path.dirname(os.path.dirname(pytest.__file__)))')
  step "Python module: pytest against the installed copy, docs/python.md and README.md as doctests"
  (cd / && "$env/bin/python" -c 'import sys; sys.path.append(sys.argv.pop(1)); import pytest; sys.exit(pytest.main(sys.argv[1:]))' \
     "$debian_packages" -p no:cacheprovider --doctest-glob='*.md' \
     "$root/tests/python" "$root/docs/python.md" "$root/README.md" </dev/null)

  # Another CPython, when there is one: the doctests with its own standard library alone.
  local other
  other=$(other_python)
  if [[ -z $other ]]; then
    step "Python module: no other CPython than Debian's on PATH; its install is left out"
    return
  fi
  env=$build/python-env-other
  python_env "$other" "$env"
  step "Python module: docs/python.md and README.md as doctests against the copy in $env"
  (cd / && "$env/bin/python" - "$env" "$root/docs/python.md" "$root/README.md" <<'PY'
import doctest
import sys
from pathlib import Path

import ostrel2

env, files = Path(sys.argv[1]).resolve(), sys.argv[2:]
if env not in Path(ostrel2.__file__).resolve().parents:
    sys.exit(f"ostrel2 was imported from {ostrel2.__file__}, not from {env}")
failed = attempted = 0
for name in files:
    result = doctest.testfile(name, module_relative=False)
    failed += result.failed
    attempted += result.attempted
print(f"doctests: {attempted - failed} passed, {failed} failed")
sys.exit(1 if failed or not attempted else 0)
PY
  )
}

# The LibreOffice Calc extension: LibreOffice and its SDK's unoidl-write are installed only for
# this step (about 280 MB); the configure is run again so that the build finds them.
calc_packages=(libreoffice-calc-nogui python3-uno libreoffice-dev python3-gmpy2 poppler-utils)
calc_tests() {
  install_packages "${calc_packages[@]}"
  step "Calc extension: build ostrel2.oxt"
  cmake -S "$root" -B "$build" >/dev/null
  cmake --build "$build" --target ostrel2_calc
  step "Calc extension: installed into a headless LibreOffice Calc, its test sheet computed, removed"
  bash "$root/tests/calc/run_calc_tests.sh" "$build" </dev/null
}

usage() {
  echo "usage: bash scripts/setup.sh run|test" >&2
  exit 2
}

[[ $# -eq 1 ]] || usage
case $1 in
  run)
    install_packages
    # The libraries and the program only: the tests are built (and run) by `test`.
    configure_and_build "$build" -DCMAKE_BUILD_TYPE=Release -DOSTREL2_BUILD_TESTS=OFF \
      -DPython3_EXECUTABLE="$python"
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
    calc_log=$build/calc-setup.log
    calc_tests 2>&1 | tee "$calc_log"

    # The sanitized suite is compiled as a unity build (the source files of a target in a few
    # translation units), which halves its build time; the Release build above compiles every
    # file on its own, so a file that leans on another's includes still fails there.
    configure_and_build "$sanitize_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_UNITY_BUILD=ON \
      -DOSTREL2_SANITIZE=address,undefined -DOSTREL2_BUILD_TESTS=ON -DPython3_EXECUTABLE="$python"
    sanitize_log=$sanitize_build/ctest-setup.log
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
      run_ctest "$sanitize_build" "$sanitize_log"

    # The multi-thread determinism test once more under ThreadSanitizer: concurrent calls share
    # nothing but the read-only transform tables, and the sanitizer checks that; so do caught
    # calls, each thread with its own message sink.
    thread_build=${OSTREL2_THREAD_BUILD_DIR:-$root/build-thread}
    step "configure $thread_build (ThreadSanitizer)"
    cmake -S "$root" -B "$thread_build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DOSTREL2_SANITIZE=thread -DOSTREL2_BUILD_TOOLS=OFF
    cmake --build "$thread_build" -j "$jobs" --target ostrel2_robustness_tests ostrel2_caught_call_tests
    step "threads under ThreadSanitizer"
    TSAN_OPTIONS=halt_on_error=1 "$thread_build/tests/robustness/ostrel2_robustness_tests" \
      --gtest_filter='Threads.*' </dev/null
    TSAN_OPTIONS=halt_on_error=1 "$thread_build/tests/interface/ostrel2_caught_call_tests" \
      --gtest_filter='CaughtCall.EachThread*' </dev/null

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
    step "summary (Python module: pytest, and the doctests on another CPython)"
    grep -E '^(=+ .*(passed|failed).* =+|doctests: .*)$' "$python_log" || true
    step "summary (Calc extension in LibreOffice Calc)"
    grep -E '^(calc|wizard): [0-9]+ passed' "$calc_log" || true
    step "summary"
    ctest_summary "$main_log"
    ;;
  *) usage ;;
esac
