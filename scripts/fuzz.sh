#!/usr/bin/env bash
# Builds the fuzz targets with clang and libFuzzer (build/fuzz) and runs each
# of them, starting from its seed corpus.
#   scripts/fuzz.sh [SECONDS]   (default 60, per target)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
CC=clang CXX=clang++ cmake -S "$here" -B "$here/build/fuzz" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link" >/dev/null
# target, its program below build/fuzz, its seed corpus
targets=(
  "record_reader_fuzz tests/verify/record_reader_fuzz tests/verify/record_corpus"
  "record_reply_fuzz tests/verify/fuzz/record_reply_fuzz tests/verify/fuzz/record_reply_corpus"
  "http_reply_fuzz tests/net/http_reply_fuzz tests/net/fuzz_corpus"
)
for entry in "${targets[@]}"; do
  read -r target program seeds <<<"$entry"
  cmake --build "$here/build/fuzz" --target "$target"
  # New finds go to the build folder; the checked-in seeds are only read.
  corpus="$here/build/fuzz/${target}_corpus"
  mkdir -p "$corpus"
  "$here/build/fuzz/$program" -max_total_time="$seconds" -max_len=4096 "$corpus" "$here/$seeds"
done
