#!/usr/bin/env bash
# downstream.sh -- builds and runs small projects against an installed copy of Ostrel2.
#
#   downstream.sh install    PREFIX BUILD CMAKE                    cmake --install BUILD afresh
#   downstream.sh cmake      PREFIX WORK C_COMPILER CXX_COMPILER   find_package(Ostrel2)
#   downstream.sh pkgconfig  PREFIX WORK C_COMPILER                pkg-config ostrel2-text
#   downstream.sh installed  PREFIX VERSION_FILE                   what the install put in place
#   downstream.sh subproject SOURCE WORK                           add_subdirectory(Ostrel2),
#                                                                  configured without GoogleTest
#
# PREFIX is the installed tree (cmake --install ... --prefix PREFIX), WORK a scratch directory.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
mode=$1
prefix=$2

if [[ $mode == subproject ]]; then
  rm -rf "$3"
  exec cmake -S "$here/subproject" -B "$3" -DOSTREL2_SOURCE_DIR="$2" \
    -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON
fi
if [[ $mode == install ]]; then
  rm -rf "$prefix"
  exec "$4" --install "$3" --prefix "$prefix"
fi

# The library directory of the install (lib, or lib/<multiarch> for a /usr prefix).
libdir=$(dirname "$(find "$prefix" -name 'libOstrel2.so.*' -print -quit)")

# Runs the downstream program: standard output must be its "ok" line and nothing else.
expect_output() {
  local out
  out=$("$@")
  if [[ $out != "ok "* || $out == *$'\n'* ]]; then
    echo "FAIL: $1 wrote: $out" | od -c | head -20
    return 1
  fi
  echo "$out"
}

case $mode in
  cmake)
    work=$3
    rm -rf "$work"
    cmake -S "$here/downstream" -B "$work" -DCMAKE_PREFIX_PATH="$prefix" \
      -DCMAKE_C_COMPILER="$4" -DCMAKE_CXX_COMPILER="$5" -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$work" >/dev/null
    # The imported targets give the build an rpath to the installed libraries.
    expect_output "$work/downstream_c"
    "$work/downstream_cxx"
    ;;
  pkgconfig)
    work=$3
    rm -rf "$work" && mkdir -p "$work"
    export PKG_CONFIG_PATH=$libdir/pkgconfig
    # shellcheck disable=SC2046
    "$4" -std=c11 -Wall -Wextra -Werror "$here/downstream/downstream.c" \
      $(pkg-config --cflags --libs ostrel2-text) -o "$work/downstream_c"
    LD_LIBRARY_PATH=$libdir expect_output "$work/downstream_c"
    ;;
  installed)
    version=$(head -n 1 "$3")
    export PKG_CONFIG_PATH=$libdir/pkgconfig
    fail=0
    expect() {  # expect WHAT ACTUAL WANTED
      if [[ $2 != "$3" ]]; then echo "FAIL: $1: '$2', expected '$3'"; fail=1; else echo "ok: $1: $2"; fi
    }
    expect "pkg-config version of ostrel2" "$(pkg-config --modversion ostrel2)" "$version"
    expect "pkg-config version of ostrel2-text" "$(pkg-config --modversion ostrel2-text)" "$version"
    expect "pkg-config libraries" "$(pkg-config --libs-only-l ostrel2-text | xargs)" "-lOstrel2Text -lOstrel2"
    for lib in Ostrel2 Ostrel2Text; do
      expect "$lib file" "$(basename "$(readlink -f "$libdir/lib$lib.so")")" "lib$lib.so.$version"
      expect "$lib SONAME" "$(objdump -p "$libdir/lib$lib.so" | awk '$1 == "SONAME" {print $2}')" \
        "lib$lib.so.${version%%.*}"
    done
    expect "text library exports" \
      "$(nm -D --defined-only "$libdir/libOstrel2Text.so" | awk '{print $NF}' | grep -cv '^ostrel2_text_')" 0
    expect "_XL library exports beyond *_XL" \
      "$(nm -D --defined-only "$libdir/libOstrel2.so" | awk '{print $NF}' | grep -cv '_XL$')" 0
    expect "CMake package version" \
      "$(sed -n 's/^set(PACKAGE_VERSION "\(.*\)")$/\1/p' "$libdir/cmake/Ostrel2/Ostrel2ConfigVersion.cmake")" "$version"
    for f in include/ostrel2.h include/ostrel2_text.h share/doc/Ostrel2/LICENSE; do
      expect "$f" "$([[ -f $prefix/$f ]] && echo present || echo missing)" present
    done
    if [[ -x $prefix/bin/ostrel2 ]]; then
      expect "ostrel2 --version" "$("$prefix/bin/ostrel2" --version)" \
        "ostrel2 $version (library interface version 20091025)"
    fi
    exit $fail
    ;;
  *) echo "usage: downstream.sh install|cmake|pkgconfig|installed|subproject ..." >&2; exit 2 ;;
esac
