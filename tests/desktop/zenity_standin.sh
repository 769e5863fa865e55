#!/usr/bin/env bash
# The zenity dialogs as a process, with a stand-in zenity first on the PATH:
# it records each argument vector and answers as a case tells it to.
set -uo pipefail
bin=$1
root=$2
fixtures="$root/tests/e2e/fixtures"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin" "$work/calls" "$work/data"
data="$work/data"
cp "$root/data/hex-bin.txt" "$fixtures/sunset.json" "$data/"

# The stand-in. Each call leaves its arguments NUL-separated in calls/N; the
# answer for the file selection comes from answer/{status,path,errors}, the
# notice answers from answer/info-{status,errors}.
cat >"$work/bin/zenity" <<'STANDIN'
#!/usr/bin/env bash
n=$(($(ls "$STANDIN/calls" | wc -l) + 1))
printf '%s\0' "$0" "$@" >"$STANDIN/calls/$n"
case $1 in
  --file-selection) prefix= ;;
  *) prefix=info- ;;
esac
[ -e "$STANDIN/answer/${prefix}errors" ] && cat "$STANDIN/answer/${prefix}errors" >&2
[ -e "$STANDIN/answer/${prefix}path" ] && printf '%s\n' "$(cat "$STANDIN/answer/${prefix}path")"
exit "$(cat "$STANDIN/answer/${prefix}status" 2>/dev/null || echo 0)"
STANDIN
chmod +x "$work/bin/zenity"
export STANDIN=$work
export PATH="$work/bin:$PATH"
failures=0
fail() { echo "FAIL $case: $*"; failures=$((failures + 1)); }

banner="Tintgrove 0.2  orlavex 03.20.2026"
selection=("$work/bin/zenity" --file-selection "--title=Open .json file - v.02"
           "--file-filter=json (*.json) | *.json" "--filename=$data/file.json")
# info TEXT [KIND]: the call of a notice; a failure is a --warning.
info() { printf '%s\0' "$work/bin/zenity" "--${2:-info}" --title=Info: --no-markup "--text=$1"; }

# start CASE: a fresh record and no answers.
start() {
  case=$1
  rm -rf "$work/calls" "$work/answer"
  mkdir "$work/calls" "$work/answer"
}
# answer [info-]KEY VALUE
answer() { printf '%s' "$2" >"$work/answer/$1"; }
# launch DISPLAY WAYLAND_DISPLAY STDIN: runs the program in data/.
launch() {
  (cd "$data" && printf '%s' "$3" |
    DISPLAY=$1 WAYLAND_DISPLAY=$2 timeout 20 "$bin" >"$work/stdout" 2>"$work/stderr")
  code=$?
}
expect_code() { [ "$code" = "$1" ] || fail "exit code $code, want $1"; }
expect_calls() { # expect_calls N: exactly N calls to the stand-in
  local got
  got=$(ls "$work/calls" | wc -l)
  [ "$got" = "$1" ] || fail "$got zenity calls, want $1"
}
expect_call() { # expect_call N ARGUMENT...: the exact argument vector of call N
  local n=$1
  shift
  if ! cmp -s "$work/calls/$n" <(printf '%s\0' "$@"); then
    fail "arguments of call $n"
    echo "--- got";  tr '\0' '|' <"$work/calls/$n" 2>/dev/null; echo
    echo "--- want"; printf '%s|' "$@"; echo
  fi
}
expect_info() { # expect_info N TEXT [KIND]
  local n=$1
  if ! cmp -s "$work/calls/$n" <(info "$2" "${3:-info}"); then
    fail "notice of call $n"
    echo "--- got";  tr '\0' '|' <"$work/calls/$n" 2>/dev/null; echo
    echo "--- want"; info "$2" "${3:-info}" | tr '\0' '|'; echo
  fi
}
expect_stdout() {
  [ "$(cat "$work/stdout")" = "$1" ] ||
    { fail "standard output"; echo "--- got"; cat "$work/stdout"; echo "--- want"; echo "$1"; }
}

start "cancel"
answer status 1
launch :7 "" ""
expect_code 0
expect_calls 2
expect_call 1 "${selection[@]}"
expect_info 2 "canceled"
expect_stdout ""

start "a path"
answer status 0
answer path "$data/sunset.json"
launch :7 "" ""
expect_code 0
expect_calls 2
expect_call 1 "${selection[@]}"
expect_info 2 "$banner"$'\n'"sunset.inc created "$'\n'"2 colors in gradient"$'\n'
cmp -s "$data/sunset.inc" "$fixtures/sunset.inc" || fail "include bytes"
expect_stdout ""

# Markup and quotes pass to zenity untouched: --no-markup shows them
# literally.
name=$'a&b <i>"q\''
start "a path with markup characters and quotes"
cp "$fixtures/sunset.json" "$data/$name.json"
answer status 0
answer path "$data/$name.json"
launch "" wayland-0 ""
expect_code 0
expect_calls 2
expect_info 2 "$banner"$'\n'"$name.inc created "$'\n'"2 colors in gradient"$'\n'"declared as a_b__i__q_"$'\n'
[ "$(sed -n 6p "$data/$name.inc")" = $'#declare a_b__i__q_ = \r' ] ||
  fail "declared name: $(sed -n 6p "$data/$name.inc" | od -c | head -2)"

# A name that is not UTF-8 comes back to the same file.
name=$'\xff\xfe-'
start "a path that is not UTF-8"
cp "$fixtures/sunset.json" "$data/$name.json"
answer status 0
answer path "$data/$name.json"
launch :7 "" ""
expect_code 0
[ -e "$data/$name.inc" ] || fail "include file of a non-UTF-8 name"

# zenity reads no backslash escapes in a text without markup, so a
# backslash goes to it as it is (and here it is part of the file name).
start "a missing file with a backslash"
answer status 0
answer path "$data/mi\ss&<b>.json"
launch :7 "" ""
expect_code 1
expect_info 2 "$banner"$'\n'"mi\\ss&<b>.inc not created "$'\n'"0 colors in gradient"$'\n'"cannot open $data/mi\\ss&<b>.json: not found"$'\n' warning

# zenity cannot reach the display: it says so and ends with status 1, which
# alone would read as a cancel. The run goes on in the terminal.
start "no display reachable"
answer status 1
answer errors "(zenity:1): Gtk-WARNING **: cannot open display: :7"
answer info-status 1
answer info-errors "(zenity:2): Gtk-WARNING **: cannot open display: :7"
launch :7 "" "sunset.json"$'\n'
expect_code 0
expect_calls 2
expect_stdout "$banner"$'\n'"sunset.inc created "$'\n'"2 colors in gradient"
grep -q "cannot open display" "$work/stderr" || fail "zenity's message not passed on"
grep -q "Open .json file - v.02: " "$work/stderr" || fail "no terminal prompt"

start "the notice fails"
answer status 1
answer info-status 255
launch :7 "" ""
expect_code 0
expect_stdout "canceled"

start "a cancel with other messages"
answer status 1
answer errors "Gtk-Message: GtkDialog mapped without a transient parent."
launch :7 "" ""
expect_code 0
expect_calls 2
expect_stdout ""

# Without a display zenity is left alone.
start "no display"
launch "" "" $'\n'
expect_code 0
expect_calls 0
expect_stdout "canceled"

# Files given as arguments. From a terminal (no --desktop) nothing opens on
# screen even with a display: the summaries go to standard output.
start "files from a terminal"
cp "$data/sunset.json" "$data/second.json"
(cd "$data" && DISPLAY=:7 timeout 20 "$bin" sunset.json second.json </dev/null \
   >"$work/stdout" 2>"$work/stderr")
code=$?
expect_code 0
expect_calls 0
expect_stdout "$banner"$'\n'"sunset.inc created "$'\n'"2 colors in gradient"$'\n'"$banner"$'\n'"second.inc created "$'\n'"2 colors in gradient"

# Started from the desktop (the launcher passes --desktop): one box for the
# whole run, nothing asked, a warning when a file was not converted.
start "files from the desktop"
(cd "$data" && DISPLAY=:7 timeout 20 "$bin" --desktop "$data/sunset.json" "$data/none.json" \
   </dev/null >"$work/stdout" 2>"$work/stderr")
code=$?
expect_code 1
expect_calls 1
expect_info 1 "$banner"$'\n'"sunset.inc created "$'\n'"2 colors in gradient"$'\n'$'\n'"none.inc not created "$'\n'"0 colors in gradient"$'\n'"cannot open $data/none.json: not found"$'\n' warning
expect_stdout ""

[ "$failures" = 0 ] && echo "zenity stand-in: all cases passed"
exit "$failures"
