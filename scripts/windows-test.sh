#!/usr/bin/env bash
# windows-test.sh -- builds the 32-bit and 64-bit Windows DLLs with MinGW-w64, checks their
# exports, records the byte-identity corpus from the Linux library, replays it against a 32-bit
# x86 Linux build of the library, and runs the Windows test client against both DLLs under Wine.
# Exits non-zero on any failure.
#
# Build folders: build-win32, build-win64 (DLLs, clients, Wine prefix), build-windows-linux
# (Linux library and corpus), build-linux-i686 (32-bit Linux library and replayer). Installs the
# cross compilers, Wine, the multilib compilers and (where needed) qemu itself when missing.
#
# OSTREL2_I386_SECONDS: processor seconds for the 32-bit replay where it runs under qemu
# (default 45; 0 replays every call).
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="${JOBS:-2}"
WIN32_DIR="$ROOT/build-win32"
WIN64_DIR="$ROOT/build-win64"
LINUX_DIR="$ROOT/build-windows-linux"
I386_DIR="$ROOT/build-linux-i686"
I386_SECONDS="${OSTREL2_I386_SECONDS:-45}"
export WINEPREFIX="$WIN64_DIR/wineprefix" WINEARCH=win64 WINEDEBUG=-all

# shellcheck source=scripts/test_tally.sh
source "$ROOT/scripts/test_tally.sh"

install_tools() {
  local need=0
  for tool in i686-w64-mingw32-g++ x86_64-w64-mingw32-g++ wine; do
    command -v "$tool" >/dev/null 2>&1 || need=1
  done
  dpkg -s wine32:i386 >/dev/null 2>&1 || need=1
  [ "$need" -eq 0 ] && return 0
  note "installing the MinGW-w64 cross compilers and Wine"
  if [ "$(id -u)" -eq 0 ]; then dpkg --add-architecture i386; fi
  apt_install g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 wine32:i386
}

build_dll() { # arch dir
  cmake -S "$ROOT" -B "$2" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-$1.cmake" \
    -DOSTREL2_BUILD_TESTS=OFF -DOSTREL2_BUILD_TOOLS=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$2" -j"$JOBS" --target Ostrel2 >/dev/null
  cmake -S "$ROOT/tests/windows/client" -B "$2/client" \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw-$1.cmake" >/dev/null
  cmake --build "$2/client" -j"$JOBS" >/dev/null
  mkdir -p "$2/run"
  cp "$2/Ostrel2.dll" "$2/client/ostrel2_windows_client.exe" "$2/run/"
}

install_tools
note "cross-building Ostrel2.dll (32-bit and 64-bit)"
build_dll i686 "$WIN32_DIR"
build_dll x86_64 "$WIN64_DIR"

note "checking the export tables"
for pair in "i686:$WIN32_DIR" "x86_64:$WIN64_DIR"; do
  arch="${pair%%:*}" dir="${pair#*:}"
  set +e
  python3 "$ROOT/tests/windows/check_exports.py" --arch "$arch" --table "$ROOT/api/export_table.h" \
    --dll "$dir/Ostrel2.dll" --object "$dir/CMakeFiles/Ostrel2.dir/api/exports.cpp.obj"
  count $? "export check of the $arch DLL"
  set -e
done

note "recording the corpus from the Linux library"
cmake -S "$ROOT" -B "$LINUX_DIR" -DOSTREL2_BUILD_TESTS=OFF -DOSTREL2_BUILD_TOOLS=OFF \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$LINUX_DIR" -j"$JOBS" --target Ostrel2 >/dev/null
cmake -S "$ROOT/tests/windows" -B "$LINUX_DIR/recorder" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$LINUX_DIR/recorder" -j"$JOBS" >/dev/null
"$LINUX_DIR/recorder/ostrel2_corpus_recorder" "$LINUX_DIR/libOstrel2.so" "$LINUX_DIR/corpus.bin" \
  >"$LINUX_DIR/corpus.stdout"
cp "$LINUX_DIR/corpus.bin" "$WIN32_DIR/run/"
cp "$LINUX_DIR/corpus.bin" "$WIN64_DIR/run/"

# The 32-bit x86 build on Linux: the library compiled by the host's GCC with -m32 and the flags
# of the 32-bit DLL (-O3 -msse2 -mfpmath=sse -ffp-contract=off, from the project's CMakeLists),
# loaded by a replayer of the same build that makes every corpus call again and requires the
# result record, the written-back cofactors, the untouched arguments and the bytes each call
# printed to be those of the 64-bit Linux library. Where the kernel runs 32-bit programs this is
# native and replays the whole corpus in seconds; where it cannot (the machines without the
# 32-bit compatibility mode, where the 32-bit Wine client is skipped below) it runs under
# qemu-i386, user-mode emulation that runs the i386 Linux program directly (no binfmt
# registration) with the i386 runtime libraries of the multilib packages. That is some 50 times
# slower, so there a sample of each export's calls is replayed within OSTREL2_I386_SECONDS of
# processor time, taken coarse to fine over its cases (tests/windows/corpus_replay.h).
#
# What it covers: the compiler's 32-bit SSE2 code generation of the library -- doubles in SSE2
# registers rather than the x87 unit's extended ones, 64-bit integer arithmetic in pairs of
# 32-bit registers and runtime helpers, conversions between doubles and 32/64-bit integers,
# 4-byte-aligned doubles in the records, the register pressure of i386 -- as GCC does it for
# 32-bit x86 whatever the operating system (Debian's MinGW compilers are the same GCC release).
# What it does not cover: the DLL itself -- the MinGW build and its Windows ABI (standard-call
# convention, 4-byte stack alignment, the argument bytes each export removes) and the Windows C
# runtime that the DLL calls for pow, log, log10, cos, sin, fmod and modf and for printing the
# diagnostics (here glibc's 32-bit libm and printf stand in). The DLL's export table is checked
# above; the rest only the 32-bit Wine client checks.
build_i386() {
  # The versioned package (g++-12-multilib for g++ 12) rather than g++-multilib, which only
  # depends on it but conflicts with the ARM cross compiler of scripts/arm64-test.sh.
  local multilib
  multilib="g++-$(g++ -dumpversion | cut -d. -f1)-multilib"
  if ! dpkg -s "$multilib" >/dev/null 2>&1; then
    note "installing the multilib compilers"
    apt_install "$multilib"
  fi
  cmake -S "$ROOT" -B "$I386_DIR" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-linux-i686.cmake" \
    -DOSTREL2_BUILD_TESTS=OFF -DOSTREL2_BUILD_TOOLS=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null &&
    cmake --build "$I386_DIR" -j"$JOBS" --target Ostrel2 >/dev/null &&
    cmake -S "$ROOT/tests/windows" -B "$I386_DIR/replayer" -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-linux-i686.cmake" >/dev/null &&
    cmake --build "$I386_DIR/replayer" -j"$JOBS" --target ostrel2_corpus_replayer >/dev/null
}

replay_i386() {
  local replayer="$I386_DIR/replayer/ostrel2_corpus_replayer" qemu native=0 status=0
  local -a cmd=("$replayer")
  local budget=0 how="natively"
  # Without arguments the replayer stops with its usage (status 2); any other status means that
  # the kernel refused to run it.
  "$replayer" >/dev/null 2>&1 || native=$?
  if [ "$native" -ne 2 ]; then
    qemu="$(command -v qemu-i386 || command -v qemu-i386-static || true)"
    if [ -z "$qemu" ]; then
      note "installing qemu's user-mode emulation"
      apt_install --no-install-recommends qemu-user || true  # not its binfmt registration
      qemu="$(command -v qemu-i386 || true)"
    fi
    if [ -z "$qemu" ]; then
      count 1 "32-bit x86 Linux replay: this kernel cannot run it and qemu-i386 is missing"
      return
    fi
    cmd=("$qemu" "$replayer") budget="$I386_SECONDS" how="under qemu-i386"
  fi
  note "replaying the corpus against the 32-bit x86 Linux library $how"
  "${cmd[@]}" "$I386_DIR/libOstrel2.so" "$LINUX_DIR/corpus.bin" "$budget" \
    >"$I386_DIR/replay.stdout" 2>"$I386_DIR/replay.stderr" || status=$?
  cat "$I386_DIR/replay.stderr" >&2
  take_count "$I386_DIR/replay.stderr" "$status" "32-bit x86 Linux replay"
}

note "building the 32-bit x86 Linux library and corpus replayer"
start=$(date +%s.%N)
if build_i386; then
  note "32-bit build took $(seconds_since "$start") s"
  start=$(date +%s.%N)
  replay_i386
  note "32-bit replay took $(seconds_since "$start") s"
else
  count 1 "32-bit x86 Linux build"
fi

# Wine's 32-bit loader is an i386 program: on a kernel that cannot run 32-bit executables (some
# virtual machines leave the compatibility mode out) only the 64-bit loader works. The 32-bit DLL
# is then still built and its export table checked above, but it cannot be called here; that is
# said loudly rather than counted as a pass or a failure.
WINE64_LOADER=/usr/lib/wine/wine64
runs="64 32"
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  wine64_cmd=(wine)
else
  wine64_cmd=("$WINE64_LOADER")
  export WINELOADER="$WINE64_LOADER"
  runs="64"
  note "NOTICE: this kernel cannot run 32-bit executables; the 32-bit DLL is built and its exports"
  note "NOTICE: checked, but its client run is skipped on this machine"
fi

note "starting Wine"
start=$(date +%s.%N)
"${wine64_cmd[@]}" wineboot -i >/dev/null 2>&1 || true
for bits in $runs; do
  dir="$WIN64_DIR"; [ "$bits" = 32 ] && dir="$WIN32_DIR"
  note "running the ${bits}-bit client under Wine"
  set +e
  (cd "$dir/run" && "${wine64_cmd[@]}" ostrel2_windows_client.exe Ostrel2.dll corpus.bin \
    >"$dir/run/client.stdout" 2>"$dir/run/client.stderr")
  status=$?
  cat "$dir/run/client.stderr" >&2
  take_count "$dir/run/client.stderr" "$status" "${bits}-bit client"
  # The library's diagnostics during the replay, in code page 932 bytes, must match the Linux
  # library's; what the client's own checks printed comes before its marker line.
  tr -d '\r' <"$dir/run/client.stdout" | sed '0,/^== corpus replay ==$/d' |
    cmp -s - "$LINUX_DIR/corpus.stdout"
  count $? "${bits}-bit diagnostics differ from the Linux library's (see $dir/run/client.stdout)"
  set -e
done
wineserver -k >/dev/null 2>&1 || true
note "Wine runs took $(seconds_since "$start") s"

echo "windows: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
