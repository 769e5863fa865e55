#!/usr/bin/env bash
# Builds Tintgrove and starts it in data/, next to the shipped hex-bin.txt
# and example gradients. On a Debian machine without the build tools it
# installs them first (cmake, g++, make through apt-get).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

have_compiler() {
  command -v "${CXX:-c++}" >/dev/null || command -v g++ >/dev/null ||
    command -v clang++ >/dev/null
}

missing=()
command -v cmake >/dev/null || missing+=(cmake)
have_compiler || missing+=(g++)
command -v make >/dev/null || command -v ninja >/dev/null || missing+=(make)
if [ ${#missing[@]} -gt 0 ]; then
  echo "run.sh: not installed, needed to build: ${missing[*]}"
  if ! command -v apt-get >/dev/null; then
    echo "run.sh: install cmake, a C++20 compiler and make, then run this again." >&2
    exit 1
  fi
  if [ "$(id -u)" -eq 0 ]; then
    sudo=()
    echo "run.sh: installing cmake g++ make with apt-get (as root)"
  elif command -v sudo >/dev/null; then
    sudo=(sudo)
    echo "run.sh: installing cmake g++ make with sudo apt-get (sudo may ask for your password)"
  else
    echo "run.sh: as root, run: apt-get install cmake g++ make" >&2
    exit 1
  fi
  "${sudo[@]}" apt-get update
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y \
    --no-install-recommends cmake g++ make
fi

echo "run.sh: building into build/"
cmake -S "$root" -B "$root/build" -DTINTGROVE_TESTS=OFF --log-level=WARNING
cmake --build "$root/build" -j"$(nproc)"

cd "$root/data"
gradients=$(ls -- *.json | paste -sd, - | sed 's/,/, /g')
echo
if { [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; } &&
   command -v zenity >/dev/null; then
  echo "A file dialog opens in data/: pick a gradient ($gradients)."
  echo "The include file is written next to it; Cancel ends the program."
else
  echo "Type the name of a gradient in data/ ($gradients) and press Enter;"
  echo "an empty line cancels. The include file is written next to it."
fi
echo
exec "$root/build/tintgrove"
