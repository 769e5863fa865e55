#!/usr/bin/env bash
# The zenity dialogs for real, on a headless X server: the file is chosen by
# typing its path into the file selection, the notice's text is read back
# through the X selection, and the include file is checked byte for byte.
set -uo pipefail
bin=$1
root=$2
shots=$3  # screenshots of failures go here
fixtures="$root/tests/e2e/fixtures"
tmp=$(mktemp -d)
xvfb=
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
failures=0
rm -rf "$shots"  # only this run's screenshots
fail() {
  echo "FAIL $case: $*"
  failures=$((failures + 1))
  # One screenshot per case, at its first failure.
  local shot
  shot="$shots/$(printf '%s' "$case" | tr -c 'a-z0-9' '_').png"
  [ "$shot" = "${last_shot:-}" ] && return
  last_shot=$shot
  echo "--- the program's standard error:"
  cat "$tmp/stderr" 2>/dev/null
  mkdir -p "$shots"
  timeout 10 import -window root "$shot" 2>/dev/null && echo "screenshot: $shot"
}

# A private home, so GTK writes nothing into the real one.
export HOME="$tmp/home" XDG_CONFIG_HOME="$tmp/home/.config"
export XDG_CACHE_HOME="$tmp/home/.cache" XDG_DATA_HOME="$tmp/home/.local/share"
export XDG_RUNTIME_DIR="$tmp/runtime" GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset WAYLAND_DISPLAY

# Xvfb picks a free display and writes its number to the descriptor. It must
# not reset when its last client leaves: a dialog that connects during the
# reset finds no display.
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1024x768x24 3>"$tmp/display" \
  >"$tmp/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 100); do
  [ -s "$tmp/display" ] && break
  sleep 0.1
done
if [ ! -s "$tmp/display" ]; then
  echo "FAIL Xvfb did not start"; cat "$tmp/xvfb.log"; exit 1
fi
export DISPLAY=":$(head -n1 "$tmp/display")"

work="$tmp/data"
mkdir "$work"
cp "$root/data/hex-bin.txt" "$fixtures/sunset.json" "$work/"

# wait_window REGEX: the id of the first visible window whose name matches,
# polled for at most 20 s. GTK maps a window before it takes keys: a short
# pause lets it settle.
wait_window() {
  local id
  for _ in $(seq 200); do
    id=$(timeout 5 xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1)
    [ -n "$id" ] && { sleep 0.5; echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}
keys() { timeout 10 xdotool "$@"; }

# start_program [ARGUMENT...]: the program in data/, in the background.
start_program() {
  (cd "$work" && exec timeout 60 "$bin" "$@" >"$tmp/stdout" 2>"$tmp/stderr") &
  program=$!
}
# finish_program: waits at most 20 s for the program and sets code.
finish_program() {
  for _ in $(seq 200); do
    kill -0 "$program" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$program" 2>/dev/null && { fail "the program did not end"; kill "$program"; }
  wait "$program"
  code=$?
}

# choose PATH: types PATH into the file selection and confirms it. The dots
# of the title are escaped for the search's regular expression.
choose() {
  local id
  if ! id=$(wait_window '^Open \.json file - v\.02$'); then
    fail "no file selection window"; return 1
  fi
  keys windowfocus --sync "$id"
  keys key --clearmodifiers ctrl+l
  keys type --delay 5 "$1"
  # GTK completes the name in the background; Delete drops what it put after
  # the typed text once it has settled.
  sleep 0.5
  keys key Delete
  sleep 0.3
  keys key Return
}

# read_notice FILE: waits for the notice, copies its text into FILE through
# the primary selection (the label is selectable) and closes it with OK.
read_notice() {
  local id
  if ! id=$(wait_window '^Info:$'); then
    fail "no window titled Info:"; return 1
  fi
  keys windowfocus --sync "$id"
  : >"$1"
  # Focus may start on the label or on OK: move until the label's text is
  # what ctrl+a selects.
  for _ in 1 2 3 4; do
    keys key shift+Tab ctrl+a
    sleep 0.2
    timeout 5 xclip -o -selection primary >"$1" 2>/dev/null
    [ -s "$1" ] && break
  done
  keys key Tab Return
}

banner="Tintgrove 0.2  orlavex 03.20.2026"

case="a chosen file"
start_program
choose "$work/sunset.json"
read_notice "$tmp/notice"
finish_program
[ "$code" = 0 ] || fail "exit code $code, want 0"
cmp -s "$work/sunset.inc" "$fixtures/sunset.inc" || fail "include bytes"
printf '%s\n' "$banner" "sunset.inc created " "2 colors in gradient" |
  cmp -s - "$tmp/notice" || { fail "notice text"; od -c "$tmp/notice" | head; }
[ -s "$tmp/stdout" ] && fail "output on the terminal: $(cat "$tmp/stdout")"

# Markup characters in the name show literally.
case="a name with markup characters"
name='a&b <i>x'
cp "$fixtures/sunset.json" "$work/$name.json"
start_program
choose "$work/$name.json"
read_notice "$tmp/notice"
finish_program
[ "$code" = 0 ] || fail "exit code $code, want 0"
[ -e "$work/$name.inc" ] || fail "no include file"
printf '%s\n' "$banner" "$name.inc created " "2 colors in gradient" "declared as a_b__i_x" |
  cmp -s - "$tmp/notice" || { fail "notice text"; od -c "$tmp/notice" | head; }

# Files given by the desktop launcher: no file selection, one warning box
# with both summaries.
case="files from the desktop"
cp "$work/sunset.json" "$work/second.json"
start_program --desktop "$work/second.json" "$work/none.json"
read_notice "$tmp/notice"
finish_program
[ "$code" = 1 ] || fail "exit code $code, want 1"
[ -e "$work/second.inc" ] || fail "no include file"
printf '%s\n' "$banner" "second.inc created " "2 colors in gradient" "" \
  "none.inc not created " "0 colors in gradient" "cannot open $work/none.json: not found" |
  cmp -s - "$tmp/notice" || { fail "notice text"; od -c "$tmp/notice" | head -20; }

case="cancel"
start_program
if id=$(wait_window '^Open \.json file - v\.02$'); then
  keys windowfocus --sync "$id"
  keys key Escape
else
  fail "no file selection window"
fi
read_notice "$tmp/notice"
finish_program
[ "$code" = 0 ] || fail "exit code $code, want 0"
printf 'canceled' | cmp -s - "$tmp/notice" || { fail "notice text"; od -c "$tmp/notice" | head; }

[ "$failures" = 0 ] && echo "zenity under Xvfb: all cases passed"
exit "$failures"
