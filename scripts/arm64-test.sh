#!/usr/bin/env bash
# arm64-test.sh -- checks that 64-bit ARM Linux computes the x86-64 library's bits: cross-builds
# the library for aarch64 with Debian's GCC cross compiler, checks that the compiler fused no
# multiply and add into one instruction, and replays the byte-identity corpus against it under
# qemu-aarch64. Then replays the corpus natively against the x86-64 library with its loops forced
# to the portable code (OSTREL2_KERNELS=portable), the code that ARM runs. Exits non-zero on any
# failure.
#
# Every replayed call must give the recorded result record, cofactors and untouched arguments
# byte for byte, and print the recorded diagnostics (tests/windows/corpus_replay.h).
#
# Build folders: build-windows-linux (the x86-64 library and the corpus, shared with
# scripts/windows-test.sh: a corpus newer than that library is used as it is), build-linux-aarch64
# (the ARM library and replayer). Installs the cross compiler and qemu's user-mode emulation when
# missing.
#
# OSTREL2_ARM64_SECONDS: processor seconds for the replay under qemu (default 30, which replays
# some 8,000 of the corpus's 10,656 calls; 0 replays every call, about 13 minutes).
# OSTREL2_PORTABLE_SECONDS: the same for the native replay with the portable loops (default 10;
# the whole corpus takes about 20).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="${JOBS:-2}"
LINUX_DIR="$ROOT/build-windows-linux"
ARM64_DIR="$ROOT/build-linux-aarch64"
ARM64_SECONDS="${OSTREL2_ARM64_SECONDS:-30}"
PORTABLE_SECONDS="${OSTREL2_PORTABLE_SECONDS:-10}"
SYSROOT=/usr/aarch64-linux-gnu  # the ARM runtime libraries the cross compiler brings

# shellcheck source=scripts/test_tally.sh
source "$ROOT/scripts/test_tally.sh"

# The cross compiler conflicts with Debian's gcc-multilib and g++-multilib packages (the names
# only: the 32-bit compilers they stand for, gcc-12-multilib and g++-12-multilib, stay, and so does
# gcc -m32, which scripts/windows-test.sh uses).
install_tools() {
  local missing=()
  if ! command -v aarch64-linux-gnu-g++ >/dev/null 2>&1 || ! command -v aarch64-linux-gnu-gcc >/dev/null 2>&1; then
    missing=(g++-aarch64-linux-gnu gcc-aarch64-linux-gnu)
  fi
  command -v qemu-aarch64 >/dev/null 2>&1 || missing+=(qemu-user)
  [ "${#missing[@]}" -eq 0 ] && return 0
  note "installing ${missing[*]}"
  # qemu-user without its binfmt registration: the replayer is started through qemu-aarch64.
  apt_install --no-install-recommends "${missing[@]}"
}

# The corpus from the x86-64 Linux library, unless scripts/windows-test.sh recorded it from the
# library and with the recorder as they are now.
record_corpus() {
  cmake -S "$ROOT" -B "$LINUX_DIR" -DOSTREL2_BUILD_TESTS=OFF -DOSTREL2_BUILD_TOOLS=OFF \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$LINUX_DIR" -j"$JOBS" --target Ostrel2 >/dev/null
  cmake -S "$ROOT/tests/windows" -B "$LINUX_DIR/recorder" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$LINUX_DIR/recorder" -j"$JOBS" >/dev/null
  local corpus="$LINUX_DIR/corpus.bin"
  if [ "$corpus" -nt "$LINUX_DIR/libOstrel2.so.1.0.0" ] &&
     [ "$corpus" -nt "$LINUX_DIR/recorder/ostrel2_corpus_recorder" ]; then
    note "using the corpus recorded from the x86-64 library as it is"
    return
  fi
  note "recording the corpus from the x86-64 Linux library"
  "$LINUX_DIR/recorder/ostrel2_corpus_recorder" "$LINUX_DIR/libOstrel2.so" "$corpus" \
    >"$LINUX_DIR/corpus.stdout"
}

build_arm64() {
  local toolchain="$ROOT/cmake/toolchain-linux-aarch64.cmake"
  cmake -S "$ROOT" -B "$ARM64_DIR" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DOSTREL2_BUILD_TESTS=OFF \
    -DOSTREL2_BUILD_TOOLS=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null &&
    cmake --build "$ARM64_DIR" -j"$JOBS" --target Ostrel2 >/dev/null &&
    cmake -S "$ROOT/tests/windows" -B "$ARM64_DIR/replayer" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$toolchain" >/dev/null &&
    cmake --build "$ARM64_DIR/replayer" -j"$JOBS" --target ostrel2_corpus_replayer >/dev/null
}

# GCC fuses a * b + c into one fmadd (or fmsub, fnmadd, fnmsub) on ARM unless contraction is off;
# one such instruction in the library means a result whose rounding differs from x86-64's.
check_no_fused_operations() {
  local fused
  fused="$(aarch64-linux-gnu-objdump -d "$ARM64_DIR/libOstrel2.so" |
    grep -cE '[[:space:]]f(n)?m(add|sub)[[:space:]]' || true)"
  note "fused multiply-add instructions in the ARM library: $fused"
  [ "$fused" -eq 0 ]
}

replay() { # what budget-seconds report-prefix command...
  local what="$1" budget="$2" prefix="$3" status=0
  shift 3
  note "replaying the corpus against $what"
  "$@" "$LINUX_DIR/corpus.bin" "$budget" >"$prefix.stdout" 2>"$prefix.stderr" || status=$?
  cat "$prefix.stderr" >&2
  take_count "$prefix.stderr" "$status" "replay against $what"
}

install_tools
start=$(date +%s.%N)
record_corpus
note "corpus ready after $(seconds_since "$start") s"

note "cross-building the library and the replayer for aarch64"
start=$(date +%s.%N)
if build_arm64; then
  note "ARM build took $(seconds_since "$start") s"
  set +e
  check_no_fused_operations
  count $? "the ARM library holds fused multiply-add instructions (is -ffp-contract=off lost?)"
  set -e
  start=$(date +%s.%N)
  replay "the aarch64 library under qemu-aarch64" "$ARM64_SECONDS" "$ARM64_DIR/replay" \
    qemu-aarch64 -L "$SYSROOT" "$ARM64_DIR/replayer/ostrel2_corpus_replayer" "$ARM64_DIR/libOstrel2.so"
  note "ARM replay took $(seconds_since "$start") s"
else
  count 1 "aarch64 build"
fi

# The replayer of the x86-64 library: built with the recorder.
start=$(date +%s.%N)
replay "the x86-64 library with its loops forced to the portable code" "$PORTABLE_SECONDS" \
  "$LINUX_DIR/replay-portable" env OSTREL2_KERNELS=portable \
  "$LINUX_DIR/recorder/ostrel2_corpus_replayer" "$LINUX_DIR/libOstrel2.so"
note "portable replay took $(seconds_since "$start") s"

echo "arm64: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
