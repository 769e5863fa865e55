#!/usr/bin/env bash
# Installs what the tests need, builds, and runs every test: the normal build,
# then the same suite under AddressSanitizer and UBSan, then the stages in
# scripts/test-stages/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)
"$root/scripts/install-test-deps.sh"

echo "== build and test"
cmake -S "$root" -B "$root/build" -DTINTGROVE_TESTS=ON >/dev/null
cmake --build "$root/build" -j"$jobs"
ctest --test-dir "$root/build" --output-on-failure -j"$jobs"

echo "== build and test with AddressSanitizer and UBSan"
cmake -S "$root" -B "$root/build-asan" -DCMAKE_BUILD_TYPE=Debug -DTINTGROVE_TESTS=ON \
  -DTINTGROVE_SANITIZE=ON >/dev/null
cmake --build "$root/build-asan" -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$root/build-asan" --output-on-failure -j"$jobs"
# Further stages (the Windows build under Wine, fuzzing), one script each.
for stage in "$root"/scripts/test-stages/*.sh; do
  [ -e "$stage" ] || continue
  echo "== $(basename "$stage" .sh)"
  bash "$stage"
done
echo "== all tests passed"
