#!/usr/bin/env bash
# The Debian package installed for real: dpkg -i, every file where the
# desktop, man and the program look for it, the installed program converting
# a gradient, then dpkg -r and nothing left behind. Needs root; it installs
# into /usr and removes an installed tintgrove package at the end.
#
#   deb_install.sh PACKAGE.deb SOURCE_ROOT
set -uo pipefail
deb=$1
root=$2
fixtures=$root/tests/e2e/fixtures
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

if [ "$(id -u)" -ne 0 ]; then
  echo "SKIP: installing the package needs root (dpkg -i)"
  exit 0
fi

# Everything the package must put on the system, and nothing else.
expected_files=(
  /usr/bin/tintgrove
  /usr/share/tintgrove/hex-bin.txt
  /usr/share/tintgrove/examples/forest.json
  /usr/share/tintgrove/examples/ocean.json
  /usr/share/tintgrove/examples/sunset.json
  /usr/share/applications/tintgrove.desktop
  /usr/share/man/man1/tintgrove.1
  /usr/share/icons/hicolor/16x16/apps/tintgrove.png
  /usr/share/icons/hicolor/24x24/apps/tintgrove.png
  /usr/share/icons/hicolor/32x32/apps/tintgrove.png
  /usr/share/icons/hicolor/48x48/apps/tintgrove.png
  /usr/share/icons/hicolor/64x64/apps/tintgrove.png
  /usr/share/icons/hicolor/128x128/apps/tintgrove.png
  /usr/share/icons/hicolor/256x256/apps/tintgrove.png
  /usr/share/icons/hicolor/scalable/apps/tintgrove.svg
)

work=$(mktemp -d)
cleanup() {
  dpkg-query -W tintgrove >/dev/null 2>&1 && dpkg_retry -r tintgrove >/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# dpkg ARGS..., waiting for a package manager that another process runs.
dpkg_retry() {
  local try
  for try in $(seq 60); do
    if dpkg "$@" >"$work/dpkg.log" 2>&1; then return 0; fi
    grep -q 'lock' "$work/dpkg.log" || break
    sleep 2
  done
  cat "$work/dpkg.log"
  return 1
}

installed() {
  [ "$(dpkg-query -W -f='${Status}' tintgrove 2>/dev/null)" = "install ok installed" ]
}

# --- install ---------------------------------------------------------------
dpkg_retry -i "$deb" || { echo "FAIL dpkg -i $deb"; exit 1; }
installed || { echo "FAIL tintgrove not installed after dpkg -i"; exit 1; }

listed=$(dpkg -L tintgrove | while read -r path; do
  [ -d "$path" ] || echo "$path"; done | sort)
want=$(printf '%s\n' "${expected_files[@]}" | sort)
[ "$listed" = "$want" ] ||
  fail "package files: $(diff <(echo "$want") <(echo "$listed") | grep '^[<>]' | tr '\n' ' ')"
for path in "${expected_files[@]}"; do
  [ -f "$path" ] || fail "$path missing"
done

# The data as shipped in the source tree.
cmp -s /usr/share/tintgrove/hex-bin.txt "$root/data/hex-bin.txt" || fail "hex-bin.txt differs"
for name in forest ocean sunset; do
  cmp -s "/usr/share/tintgrove/examples/$name.json" "$root/data/$name.json" ||
    fail "example $name.json differs"
done

# No dependencies, because the program needs no shared library.
[ -x /usr/bin/tintgrove ] || fail "/usr/bin/tintgrove not executable"
readelf -d /usr/bin/tintgrove 2>&1 | grep -q 'no dynamic section' ||
  fail "/usr/bin/tintgrove is linked dynamically"
depends=$(dpkg-query -W -f='${Depends}${Pre-Depends}' tintgrove)
[ -z "$depends" ] || fail "package depends on: $depends"

# The desktop entry: valid, opens .json files, starts the program in desktop
# mode with the chosen files.
desktop=/usr/share/applications/tintgrove.desktop
validation=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $validation"
for line in 'Exec=tintgrove --desktop %F' 'MimeType=application/json;' \
            'Icon=tintgrove' 'Type=Application'; do
  grep -qxF "$line" "$desktop" || fail "desktop entry lacks '$line'"
done

# The man page: found by name, rendered without warnings, with its sections
# and the data folder of this prefix.
[ "$(man -w tintgrove 2>&1)" = /usr/share/man/man1/tintgrove.1 ] ||
  fail "man -w tintgrove: $(man -w tintgrove 2>&1)"
page=$(MANWIDTH=80 man --warnings -l /usr/share/man/man1/tintgrove.1 2>"$work/man.err")
[ -s "$work/man.err" ] && fail "man page warnings: $(cat "$work/man.err")"
for heading in NAME SYNOPSIS DESCRIPTION OPTIONS FILES 'EXIT STATUS' EXAMPLES; do
  grep -qx "$heading" <<<"$page" || fail "man page lacks $heading"
done
grep -q '/usr/share/tintgrove/' <<<"$page" || fail "man page does not name /usr/share/tintgrove/"

# The icons, each the size its folder says.
for size in 16 24 32 48 64 128 256; do
  got=$(identify -format '%wx%h %m' "/usr/share/icons/hicolor/${size}x$size/apps/tintgrove.png" 2>&1)
  [ "$got" = "${size}x$size PNG" ] || fail "${size}x$size icon: $got"
done
grep -q '<svg' /usr/share/icons/hicolor/scalable/apps/tintgrove.svg || fail "scalable icon is no SVG"

# --- the installed program ---------------------------------------------------
# In the terminal, with the installed table next to the gradient.
unset DISPLAY WAYLAND_DISPLAY
mkdir "$work/with-table"
cp "$fixtures/sunset.json" /usr/share/tintgrove/hex-bin.txt "$work/with-table/"
out=$(cd "$work/with-table" && echo sunset.json | timeout 20 /usr/bin/tintgrove 2>/dev/null)
code=$?
[ "$code" = 0 ] || fail "installed program, table next to it: exit $code: $out"
cmp -s "$work/with-table/sunset.inc" "$fixtures/sunset.inc" ||
  fail "installed program, table next to it: include differs from the fixture"

# From a folder without the table, the gradient on the command line: the
# table comes from /usr/share/tintgrove/.
version=$(dpkg-query -W -f='${Version}' tintgrove)
version_out=$(cd "$work" && timeout 20 /usr/bin/tintgrove --version </dev/null 2>/dev/null)
[ $? = 0 ] && grep -qF "$version" <<<"$version_out" ||
  fail "installed program: --version says '$version_out', package $version"
mkdir "$work/no-table"
cp "$fixtures/sunset.json" "$work/no-table/"
out=$(cd "$work/no-table" && timeout 20 /usr/bin/tintgrove "$work/no-table/sunset.json" </dev/null 2>&1)
code=$?
[ "$code" = 0 ] || fail "installed program, file argument: exit $code: $out"
cmp -s "$work/no-table/sunset.inc" "$fixtures/sunset.inc" ||
  fail "installed program, file argument: include differs from the fixture"

# --- remove ------------------------------------------------------------------
dpkg_retry -r tintgrove || fail "dpkg -r tintgrove"
installed && fail "tintgrove still installed after dpkg -r"
for path in "${expected_files[@]}"; do
  [ -e "$path" ] && fail "$path left after dpkg -r"
done
[ -e /usr/share/tintgrove ] && fail "/usr/share/tintgrove left after dpkg -r"

[ "$failures" = 0 ] && echo "deb install: all checks passed"
exit "$failures"
