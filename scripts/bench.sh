#!/usr/bin/env bash
# Builds the native benchmarks optimised and without sanitizers (build/bench)
# and runs them; extra arguments go to every benchmark program.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cmake -S "$here" -B "$here/build/bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTD_SANITIZE=OFF >/dev/null
cmake --build "$here/build/bench" --target all
for b in "$here"/build/bench/bench/*_bench; do
  echo "== $(basename "$b")"
  "$b" "$@"
done
