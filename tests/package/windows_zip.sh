#!/usr/bin/env bash
# The Windows zip: one folder holding the program, the table, the example
# gradients and the read-me; the program carrying the icon and the version.
#
#   windows_zip.sh PACKAGE.zip SOURCE_ROOT
set -uo pipefail
zip=$1
root=$2
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

# The version as the project declares it.
version=$(sed -n 's/^project(Tintgrove VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
[ -n "$version" ] || { echo "FAIL no project version in CMakeLists.txt"; exit 1; }
folder=tintgrove-$version-win64

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

entries=$(unzip -Z1 "$zip" | grep -v '/$' | sort)
want=$(printf "$folder/%s\n" README.txt forest.json hex-bin.txt ocean.json \
         sunset.json tintgrove.exe | sort)
[ "$entries" = "$want" ] ||
  fail "zip entries: $(diff <(echo "$want") <(echo "$entries") | grep '^[<>]' | tr '\n' ' ')"
unzip -q "$zip" -d "$work" || { echo "FAIL unzip $zip"; exit 1; }
dir=$work/$folder

cmp -s "$dir/hex-bin.txt" "$root/data/hex-bin.txt" || fail "hex-bin.txt differs"
for name in forest ocean sunset; do
  cmp -s "$dir/$name.json" "$root/data/$name.json" || fail "$name.json differs"
done

# The read-me, for Notepad: CR LF on every line, naming the version.
readme=$dir/README.txt
[ "$(grep -c $'\r$' "$readme")" = "$(wc -l <"$readme")" ] || fail "README.txt not CR LF throughout"
head -n1 "$readme" | grep -qF "Tintgrove $version" || fail "README.txt does not name version $version"

# The program: a GUI executable for 64-bit Windows.
exe=$dir/tintgrove.exe
headers=$(x86_64-w64-mingw32-objdump -p "$exe" 2>&1)
grep -q 'file format pei-x86-64' <<<"$headers" || fail "tintgrove.exe is not a 64-bit PE"
grep -qE '^Subsystem[[:space:]]+0*2[[:space:]]' <<<"$headers" || fail "tintgrove.exe is not a GUI program"

# Its resources, as a resource decompiler reads them back.
resources=$(x86_64-w64-mingw32-windres -i "$exe" -O rc 2>&1)
IFS=. read -r major minor patch tweak <<<"$version"
numbers="${major:-0}, ${minor:-0}, ${patch:-0}, ${tweak:-0}"
while IFS='|' read -r line what; do
  grep -qF "$line" <<<"$resources" || fail "version resource: $what (want: $line)"
done <<CASES
FILEVERSION $numbers|file version numbers
PRODUCTVERSION $numbers|product version numbers
VALUE "FileVersion", "$version"|file version text
VALUE "ProductVersion", "$version"|product version text
VALUE "ProductName", "Tintgrove"|product name
VALUE "OriginalFilename", "tintgrove.exe"|original file name
VALUE "InternalName", "tintgrove"|internal name
CASES
for key in CompanyName FileDescription LegalCopyright; do
  grep -qE "VALUE \"$key\", \"[^\"]+\"" <<<"$resources" || fail "version resource: no $key"
done

# The icon group, rebuilt into an .ico, holds the committed icon (the
# resource section pads the last entry).
ico=$root/packaging/icons/tintgrove.ico
groups=$(wrestool -l --type=14 "$exe" | wc -l)
[ "$groups" = 1 ] || fail "tintgrove.exe has $groups icon groups, want 1"
wrestool -x --type=14 "$exe" >"$work/extracted.ico"
cmp -s -n "$(stat -c %s "$ico")" "$work/extracted.ico" "$ico" ||
  fail "the icon in tintgrove.exe differs from packaging/icons/tintgrove.ico"

[ "$failures" = 0 ] && echo "windows zip: all checks passed"
exit "$failures"
