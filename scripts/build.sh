#!/usr/bin/env bash
# Builds the Windows programs into build/dist (and the test programs), and,
# with "native", the pure-logic libraries natively with sanitizers.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
what="${1:-windows}"
case "$what" in
  windows)
    cmake -S "$here" -B "$here/build/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64.cmake" >/dev/null
    cmake --build "$here/build/win"
    bash "$here/scripts/wine-prefix.sh" "$here/build/win"
    ;;
  native)
    cmake -S "$here" -B "$here/build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug >/dev/null
    cmake --build "$here/build/native"
    ;;
  *) echo "usage: build.sh [windows|native]" >&2; exit 1 ;;
esac
