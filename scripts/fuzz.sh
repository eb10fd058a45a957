#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (build/fuzz) and runs one
# of them, starting from its seed corpus.
#   scripts/fuzz.sh [SECONDS]   (default 60)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
CC=clang CXX=clang++ cmake -S "$here" -B "$here/build/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link" >/dev/null
cmake --build "$here/build/fuzz" --target record_reader_fuzz
corpus="$here/build/fuzz/record_corpus"
mkdir -p "$corpus"
"$here/build/fuzz/tests/verify/record_reader_fuzz" -max_total_time="$seconds" -max_len=4096 \
  "$corpus" "$here/tests/verify/record_corpus"
