#!/usr/bin/env bash
# Installs the Debian packages the tests need; does nothing when all are there.
set -euo pipefail
packages=(
  cmake g++ make libgtest-dev clang libclang-rt-14-dev  # build, sanitizers, fuzzers
  povray python3                                        # renders what we write, reads the image
  zenity xvfb xauth xdotool xclip imagemagick x11-utils # the desktop dialogs, headless
  g++-mingw-w64-x86-64 wine wine64 fonts-wine           # the Windows build under Wine
  desktop-file-utils man-db unzip icoutils              # the packages and what they hold
)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
echo "installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq \
  --no-install-recommends "${missing[@]}" >/dev/null
