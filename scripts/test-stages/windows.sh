#!/usr/bin/env bash
# The Windows program: cross-built with mingw-w64 into build-win/, its unit
# tests run under Wine, then tintgrove.exe end to end under Wine and Xvfb
# (tests/wine/).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$root/build-win
start=$SECONDS
cmake -S "$root" -B "$build" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
cmake --build "$build" -j"$(nproc)"
# Only system DLLs: the runtime is linked in.
imports=$(x86_64-w64-mingw32-objdump -p "$build/tintgrove.exe" |
  sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
for dll in $imports; do
  case $dll in
    kernel32.dll|user32.dll|comctl32.dll|comdlg32.dll|ole32.dll|shell32.dll|msvcrt.dll) ;;
    *) echo "tintgrove.exe needs $dll"; exit 1 ;;
  esac
done
ctest --test-dir "$build" --output-on-failure
echo "windows stage: $((SECONDS - start)) s"
