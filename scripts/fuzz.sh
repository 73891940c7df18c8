#!/usr/bin/env bash
# Builds the decoder fuzz targets with clang and runs each for SECONDS (default 60), starting from the
# regression corpus in tests/data/corpus. New inputs collect in build-fuzz/corpus; a crash leaves its input
# in build-fuzz/crashes (copy it into tests/data/corpus/KIND/ to keep it as a regression case).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
CC=clang CXX=clang++ bash scripts/build.sh build-fuzz fuzz_bmp fuzz_tga fuzz_freeimage_header fuzz_dib fuzz_png -- -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DLUMORA_FUZZ=ON -DLUMORA_HEADLESS_ONLY=ON \
  -DLUMORA_BUILD_TESTS=OFF -DLUMORA_BUILD_BENCH=OFF

status=0
for kind in bmp tga freeimage_header dib png; do
  corpus=${kind%_header}
  mkdir -p "build-fuzz/corpus/$kind" build-fuzz/crashes
  echo "== fuzz_$kind for ${seconds}s =="
  "build-fuzz/fuzz/fuzz_$kind" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=4096 \
    -artifact_prefix="build-fuzz/crashes/$kind-" "build-fuzz/corpus/$kind" "tests/data/corpus/$corpus" \
    || status=1
done
exit $status
