#!/usr/bin/env bash
# windows-test.sh -- builds the 32-bit and 64-bit Windows DLLs with MinGW-w64, checks their
# exports, records the byte-identity corpus from the Linux library and runs the Windows test
# client against both DLLs under Wine. Exits non-zero on any failure.
#
# Build folders: build-win32, build-win64 (DLLs, clients, Wine prefix), build-windows-linux
# (Linux library and corpus). Installs the cross compilers and Wine itself when they are missing.
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
JOBS="${JOBS:-2}"
WIN32_DIR="$ROOT/build-win32"
WIN64_DIR="$ROOT/build-win64"
LINUX_DIR="$ROOT/build-windows-linux"
export WINEPREFIX="$WIN64_DIR/wineprefix" WINEARCH=win64 WINEDEBUG=-all

passed=0
failed=0
note() { printf '== %s\n' "$*" >&2; }
count() { if [ "$1" -eq 0 ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $2" >&2; fi; }

install_tools() {
  local need=0
  for tool in i686-w64-mingw32-g++ x86_64-w64-mingw32-g++ wine; do
    command -v "$tool" >/dev/null 2>&1 || need=1
  done
  dpkg -s wine32:i386 >/dev/null 2>&1 || need=1
  [ "$need" -eq 0 ] && return 0
  note "installing the MinGW-w64 cross compilers and Wine"
  if [ "$(id -u)" -ne 0 ]; then echo "windows-test.sh: must run as root to install tools" >&2; exit 1; fi
  dpkg --add-architecture i386
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 wine32:i386 >/dev/null
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
  # Take over the client's own count; a client that died without one counts as one failure.
  summary="$(grep -E '^[0-9]+ passed, [0-9]+ failed' "$dir/run/client.stderr" | tail -1)"
  if [ -n "$summary" ]; then
    passed=$((passed + ${summary%% passed*}))
    n="${summary#*, }"; failed=$((failed + ${n%% failed*}))
  fi
  [ -n "$summary" ] && [ "$status" -eq 0 ] || count 1 "${bits}-bit client (exit status $status)"
  # The library's diagnostics, in code page 932 bytes, must match the Linux library's.
  tr -d '\r' <"$dir/run/client.stdout" | cmp -s - "$LINUX_DIR/corpus.stdout"
  count $? "${bits}-bit diagnostics differ from the Linux library's (see $dir/run/client.stdout)"
  set -e
done
wineserver -k >/dev/null 2>&1 || true
end=$(date +%s.%N)
note "Wine runs took $(awk "BEGIN { printf \"%.1f\", $end - $start }") s"

echo "windows: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
