#!/usr/bin/env bash
# The command line and the prompt as people use them: files given as
# arguments, the options, pasted paths, and where hex-bin.txt is found.
set -uo pipefail
bin=$1
root=$2
fixtures=$root/tests/e2e/fixtures
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset DISPLAY WAYLAND_DISPLAY
banner="Tintgrove 0.2  orlavex 03.20.2026"
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
# same_entries FILE: the color_map of FILE is the fixture's (the name and the
# header lines differ with the file's name).
same_entries() { cmp -s <(tail -n +7 "$1") <(tail -n +7 "$fixtures/sunset.inc"); }

# check NAME EXPECTED-EXIT EXPECTED-STDOUT-FILE: compares what the last run
# left in $work/out, $work/err and $code.
check() {
  if [ "$code" != "$2" ] || ! cmp -s "$work/out" "$3"; then
    fail "$1: exit $code (want $2)"
    echo "--- got"; cat "$work/out"; echo "--- want"; cat "$3"; echo "--- stderr"; cat "$work/err"
  fi
}

mkdir "$work/data" "$work/elsewhere"
cp "$root/data/hex-bin.txt" "$fixtures/sunset.json" "$work/data/"
cp "$fixtures/sunset.json" "$work/data/second.json"
cd "$work/data"

# Several files, in order, one summary each, nothing asked: a missing one
# among them makes the exit code 1 and the others are still converted.
timeout 20 "$bin" sunset.json missing.json "$work/data/second.json" </dev/null \
  >"$work/out" 2>"$work/err"
code=$?
printf '%s\n' "$banner" "sunset.inc created " "2 colors in gradient" \
  "$banner" "missing.inc not created " "0 colors in gradient" \
  "cannot open $work/data/missing.json: not found" \
  "$banner" "second.inc created " "2 colors in gradient" >"$work/want"
check "several files" 1 "$work/want"
cmp -s sunset.inc "$fixtures/sunset.inc" || fail "several files: sunset.inc differs"
same_entries second.inc || fail "several files: second.inc differs"
[ -s "$work/err" ] && fail "several files: something was asked: $(cat "$work/err")"
rm -f sunset.inc second.inc

timeout 20 "$bin" sunset.json >"$work/out" 2>"$work/err" </dev/null
code=$?
printf '%s\n' "$banner" "sunset.inc created " "2 colors in gradient" >"$work/want"
check "one good file" 0 "$work/want"

# The options: help and version on standard output, exit 0; an unknown
# option one line on standard error, exit 2, nothing converted.
timeout 20 "$bin" --help >"$work/out" 2>"$work/err" </dev/null
code=$?
[ "$code" = 0 ] || fail "--help: exit $code"
grep -q '^Usage: tintgrove' "$work/out" && grep -q 'hex-bin.txt' "$work/out" &&
  grep -q 'Exit status' "$work/out" || fail "--help: $(cat "$work/out")"
timeout 20 "$bin" --version >"$work/out" 2>"$work/err" </dev/null
code=$?
printf 'tintgrove 0.2\n' >"$work/want"
check "--version" 0 "$work/want"
rm -f sunset.inc
timeout 20 "$bin" --colour sunset.json >"$work/out" 2>"$work/err" </dev/null
code=$?
: >"$work/want"
check "unknown option" 2 "$work/want"
[ "$(wc -l <"$work/err")" = 1 ] && grep -q -- '--colour' "$work/err" ||
  fail "unknown option: $(cat "$work/err")"
[ -e sunset.inc ] && fail "unknown option: a file was converted"
# After "--" a name that starts with "-" is a file.
cp sunset.json ./-dash.json
timeout 20 "$bin" -- -dash.json >"$work/out" 2>"$work/err" </dev/null
code=$?
printf '%s\n' "$banner" "-dash.inc created " "2 colors in gradient" "declared as _dash" >"$work/want"
check "a file after --" 0 "$work/want"

# The prompt takes what people paste: quotes, ~/ and file:// URIs.
mkdir "$work/home" && cp sunset.json "$work/home/my sunset.json"
for answer in "'$work/home/my sunset.json'" "\"$work/home/my sunset.json\"" \
              "~/my sunset.json" "file://${work// /%20}/home/my%20sunset.json"; do
  rm -f "$work/home/my sunset.inc"
  printf '%s\n' "$answer" | HOME=$work/home timeout 20 "$bin" >"$work/out" 2>"$work/err"
  code=$?
  printf '%s\n' "$banner" "my sunset.inc created " "2 colors in gradient" \
    "declared as my_sunset" >"$work/want"
  check "pasted $answer" 0 "$work/want"
  same_entries "$work/home/my sunset.inc" || fail "pasted $answer: include"
done

# hex-bin.txt: the working folder first, then the program's own folder; the
# notice says where it looked when it is nowhere.
mkdir "$work/program"
cp "$bin" "$work/program/tintgrove"
cp sunset.json "$work/elsewhere/"
cd "$work/elsewhere"
timeout 20 "$work/program/tintgrove" sunset.json >"$work/out" 2>"$work/err" </dev/null
code=$?
grep -q "^cannot open hex-bin.txt: not found in the working folder, $work/program" "$work/out" &&
  [ "$code" = 1 ] || fail "no table anywhere: exit $code: $(cat "$work/out")"
# A table beside the program, with every code one line further down.
{ printf 'zz\r\n'; cat "$root/data/hex-bin.txt"; } >"$work/program/hex-bin.txt"
timeout 20 "$work/program/tintgrove" sunset.json >"$work/out" 2>"$work/err" </dev/null
code=$?
printf '%s\n' "$banner" "sunset.inc created " "2 colors in gradient" \
  "1 color codes not found in hex-bin.txt" >"$work/want"
check "table beside the program" 0 "$work/want"
grep -q '0.000, 0.507, 0.008' sunset.inc || fail "table beside the program: not the program's table"
# One in the working folder wins.
cp "$root/data/hex-bin.txt" .
timeout 20 "$work/program/tintgrove" sunset.json >"$work/out" 2>"$work/err" </dev/null
code=$?
printf '%s\n' "$banner" "sunset.inc created " "2 colors in gradient" >"$work/want"
check "table in the working folder" 0 "$work/want"
cmp -s sunset.inc "$fixtures/sunset.inc" || fail "table in the working folder: include differs"

# Standard output a pipe whose reader is gone: the write fails (no SIGPIPE
# ends the run), standard error says so, exit 1, and the include is written
# all the same.
cd "$work/data"
rm -f sunset.inc
python3 - "$bin" "$work" <<'PYTHON'
import os, subprocess, sys
bin, work = sys.argv[1], sys.argv[2]
failures = 0
for name, args, stdin in (("cancel", [], b"\n"), ("argument", ["sunset.json"], b""),
                          ("prompt", [], b"sunset.json\n")):
    read_end, write_end = os.pipe()
    os.close(read_end)
    run = subprocess.run([bin] + args, input=stdin, stdout=write_end,
                         stderr=subprocess.PIPE, timeout=20)
    os.close(write_end)
    if run.returncode != 1 or b"cannot write the notice" not in run.stderr:
        print("FAIL closed pipe, %s: exit %d, stderr %r" % (name, run.returncode, run.stderr))
        failures += 1
sys.exit(failures)
PYTHON
[ $? = 0 ] || failures=$((failures + 1))
cmp -s sunset.inc "$fixtures/sunset.inc" || fail "closed pipe: the include was not written"

[ "$failures" = 0 ] && echo "command line: all cases passed"
exit "$failures"
