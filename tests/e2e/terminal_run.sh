#!/usr/bin/env bash
# The program as a process in terminal mode: the path on standard input, the
# notice on standard output, the include file checked byte for byte.
set -uo pipefail
bin=$1
root=$2
fixtures="$root/tests/e2e/fixtures"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$root/data/hex-bin.txt" "$fixtures/sunset.json" "$work/"
unset DISPLAY WAYLAND_DISPLAY
failures=0

# run NAME INPUT EXPECTED-STDOUT EXPECTED-EXIT
run() {
  local name=$1 input=$2 expected=$3 expected_code=$4 out code
  out=$(cd "$work" && printf '%s' "$input" | timeout 20 "$bin" 2>"$work/stderr")
  code=$?
  if [ "$out" != "$expected" ] || [ "$code" != "$expected_code" ]; then
    echo "FAIL $name: exit $code (want $expected_code)"
    echo "--- got";  printf '%s\n' "$out"
    echo "--- want"; printf '%s\n' "$expected"
    failures=$((failures + 1))
  fi
}

banner="Tintgrove 0.2  orlavex 03.20.2026"
run "full path" "$work/sunset.json"$'\n' \
  "$banner"$'\n'"sunset.inc created "$'\n'"2 colors in gradient" 0
cmp "$work/sunset.inc" "$fixtures/sunset.inc" || { echo "FAIL include bytes"; failures=$((failures + 1)); }

rm "$work/sunset.inc"
run "relative path, CR LF typed" $'sunset.json\r\n' \
  "$banner"$'\n'"sunset.inc created "$'\n'"2 colors in gradient" 0
cmp "$work/sunset.inc" "$fixtures/sunset.inc" || { echo "FAIL relative include bytes"; failures=$((failures + 1)); }

run "empty line cancels" $'\n' "canceled" 0
run "end of input cancels" "" "canceled" 0
run "missing file" "$work/missing.json"$'\n' \
  "$banner"$'\n'"missing.inc not created "$'\n'"0 colors in gradient"$'\n'"cannot open $work/missing.json: not found" 1

run "missing folder asks again" "$work/nowhere/x.json"$'\n\n' "canceled" 0
grep -q "folder not found: $work/nowhere" "$work/stderr" ||
  { echo "FAIL missing folder message"; cat "$work/stderr"; failures=$((failures + 1)); }
[ "$(grep -o 'Open .json file - v.02: ' "$work/stderr" | wc -l)" = 2 ] ||
  { echo "FAIL prompt not repeated"; cat "$work/stderr"; failures=$((failures + 1)); }

[ "$failures" = 0 ] && echo "terminal run: all cases passed"
exit "$failures"
