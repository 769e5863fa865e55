#!/usr/bin/env bash
# The committed icons: current with packaging/make_icon.py, read back by an
# independent reader (ImageMagick) as sunset.json's gradient on a rounded
# square, and the same pixels in every .ico entry as in the PNG of its size.
#
#   icon_check.sh SOURCE_ROOT
set -uo pipefail
root=$1
icons=$root/packaging/icons
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

python3 "$root/packaging/make_icon.py" --check "$icons" ||
  fail "committed icons differ from what make_icon.py draws"

# pixel FILE X Y: the pixel as RRGGBBAA
pixel() {
  convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- |
    sed -n 's/.*#\([0-9A-F]\{8\}\).*/\1/p'
}

# near WANT GOT: each channel (hex RRGGBBAA) within 4
near() {
  local i a b
  for i in 0 2 4 6; do
    a=$((16#${1:i:2})) b=$((16#${2:i:2}))
    [ $((a > b ? a - b : b - a)) -le 4 ] || return 1
  done
}

# The 256 icon, x = 128: the gradient's stops at 0, 0.5 and 1 (the literal
# colours of data/sunset.json) at the top, middle and bottom of the square;
# outside the square and in the rounded corner, nothing.
png256=$icons/tintgrove-256.png
while read -r x y want what; do
  got=$(pixel "$png256" "$x" "$y")
  near "$want" "$got" || fail "256 icon at $x,$y ($what): $got, want $want"
done <<'CASES'
128 16  1B1B3AFF first stop
128 128 E0475AFF middle stop
128 239 FFE29AFF last stop
128 4   00000000 above the square
18  18  00000000 rounded corner
30  128 E0475AFF left edge inside
CASES

for size in 16 24 32 48 64 128 256; do
  png=$icons/tintgrove-$size.png
  [ "$(identify -format '%wx%h %m' "$png" 2>&1)" = "${size}x$size PNG" ] ||
    fail "$png is not a ${size}x$size PNG"
done

# The .ico's entries: sizes in order, each showing what the PNG shows.
ico=$icons/tintgrove.ico
sizes=$(identify -format '%w ' "$ico" 2>&1)
[ "$sizes" = "16 24 32 48 64 256 " ] || fail "ico sizes: $sizes"
i=0
for size in $sizes; do
  differ=$(compare -metric AE "$ico[$i]" "$icons/tintgrove-$size.png" null: 2>&1)
  [ "$differ" = 0 ] || fail "ico entry $size: $differ pixels differ from the PNG"
  i=$((i + 1))
done

grep -q 'stop-color="#1B1B3A"' "$icons/tintgrove.svg" &&
  grep -q 'stop-color="#FFE29A"' "$icons/tintgrove.svg" ||
  fail "svg lacks the gradient's end colours"

[ "$failures" = 0 ] && echo "icon: all checks passed"
exit "$failures"
