#!/usr/bin/env bash
# Builds Tintgrove and starts it in data/, next to the shipped hex-bin.txt
# and example gradients.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/build" -DTINTGROVE_TESTS=OFF >/dev/null
cmake --build "$root/build" -j"$(nproc)" >/dev/null
cd "$root/data"
exec "$root/build/tintgrove"
