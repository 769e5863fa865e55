#!/usr/bin/env bash
# Fuzz smoke runs: the libFuzzer targets of tests/fuzz, built with clang,
# AddressSanitizer and UBSan, each for a bounded number of iterations.
# Longer runs by hand, e.g.:
#   build-fuzz/tests/fuzz/fuzz_conversion -max_total_time=600 \
#     build-fuzz/tests/fuzz/found_conversion tests/fuzz/corpus/conversion
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
cmake -S "$root" -B "$root/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DTINTGROVE_SANITIZE=ON -DTINTGROVE_FUZZ=ON \
  >/dev/null
cmake --build "$root/build-fuzz" -j"$(nproc)" --target fuzz_line_reader fuzz_conversion
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$root/build-fuzz" -R '^fuzz_' --output-on-failure -j"$(nproc)"
