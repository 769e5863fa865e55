#!/usr/bin/env bash
# Packages: the committed icons, the Debian package from a Release build in
# build-package/ installed and removed for real (as root), and the Windows
# zip from a mingw-w64 build in build-package-win/ (tests/package/).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
start=$SECONDS

echo "-- icons"
bash "$root/tests/package/icon_check.sh" "$root"

echo "-- Debian package"
build=$root/build-package
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTINTGROVE_TESTS=OFF \
  -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build "$build" -j"$(nproc)"
rm -f "$build"/tintgrove_*.deb
(cd "$build" && cpack -G DEB)
debs=("$build"/tintgrove_*.deb)
[ ${#debs[@]} = 1 ] && [ -f "${debs[0]}" ] || { echo "cpack made no single .deb"; exit 1; }
bash "$root/tests/package/deb_install.sh" "${debs[0]}" "$root"

echo "-- Windows zip"
if command -v x86_64-w64-mingw32-g++ >/dev/null; then
  build=$root/build-package-win
  cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DTINTGROVE_TESTS=OFF >/dev/null
  cmake --build "$build" -j"$(nproc)"
  rm -f "$build"/tintgrove-*.zip
  (cd "$build" && cpack -G ZIP)
  zips=("$build"/tintgrove-*.zip)
  [ ${#zips[@]} = 1 ] && [ -f "${zips[0]}" ] || { echo "cpack made no single .zip"; exit 1; }
  unzip -l "${zips[0]}"
  bash "$root/tests/package/windows_zip.sh" "${zips[0]}" "$root"
else
  echo "SKIP: no mingw-w64 compiler"
fi
echo "package stage: $((SECONDS - start)) s"
