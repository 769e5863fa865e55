#!/usr/bin/env bash
# tintgrove.exe end to end under Wine on a headless X server: the open-file
# dialog is driven with xdotool (or, for names xdotool cannot type, with the
# dialog_probe helper), the message box text is read back exactly by the
# helper and the box is dismissed with Return.
#
#   wine_e2e.sh WINE_RUN PREFIX TINTGROVE_EXE PROBE_EXE SOURCE_ROOT WORK
set -uo pipefail
wine_run=$1
prefix=$2
exe=$3
probe=$4
root=$5
work=$6
fixtures=$root/tests/e2e/fixtures
banner="Tintgrove 0.2  orlavex 03.20.2026"
failures=0
xvfb_pid=

rm -rf "$work"
mkdir -p "$work"
export WINEPREFIX=$prefix WINEDEBUG=-all LC_ALL=C.UTF-8

cleanup() {
  timeout 20 wineserver -k >/dev/null 2>&1
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT

die() {
  echo "wine e2e: $*" >&2
  exit 1
}

# The prefix (created on first use) and, with no window manager, windows
# that Wine itself focuses and closes without a stall.
env -u DISPLAY "$wine_run" "$prefix" reg add 'HKCU\Software\Wine\X11 Driver' \
  /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || die "wine reg add failed"
# Let the server (started without a display) go before the runs.
timeout 60 wineserver -w || die "wineserver did not stop"

# Xvfb picks a free display and writes its number when it is ready.
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 \
  3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
display=$(tr -dc '0-9' <"$work/display")
[ -n "$display" ] || die "Xvfb did not start (see $work/xvfb.log)"
export DISPLAY=:$display

# The Windows name of a path of this machine (drive Z: is the root).
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

# --- one run of the program ---------------------------------------------
case_name=
case_dir=
program_pid=
program_running=

# A failure while the program is up leaves a picture of the screen and a list
# of the windows and the focus, each failure under a name of its own. Once
# the program has ended the screen is empty, so nothing is taken then (a
# second failure of the same case used to replace the picture of the first
# with a black one).
case_failed() {
  echo "FAIL $case_name: $*"
  failures=$((failures + 1))
  [ -n "$program_running" ] || return 0
  local shot="$work/$case_name-failure-$failures"
  if timeout 20 import -window root "$shot.png" 2>/dev/null; then
    echo "  screenshot: $shot.png"
  fi
  {
    echo "keyboard focus: $(xdotool getwindowfocus -f 2>/dev/null)"
    xwininfo -root -tree
  } >"$shot.txt" 2>&1
}

# start CASE [ARGUMENT...]: a folder of its own with the table, and the
# program in it, given the arguments.
start() {
  case_name=$1
  shift
  case_dir=$work/$case_name
  mkdir -p "$case_dir"
  cp "$root/data/hex-bin.txt" "$case_dir/"
  (cd "$case_dir" && exec timeout 120 "$wine_run" "$prefix" "$exe" "$@") \
    >"$case_dir/stdout" 2>"$case_dir/stderr" &
  program_pid=$!
  program_running=1
}

# Waits for the program to end; its exit code is the return value.
reap() {
  local code=0
  wait "$program_pid" || code=$?
  program_running=
  return "$code"
}

# After a failure: the program must not outlive its case.
abandon() {
  timeout 20 wineserver -k >/dev/null 2>&1
  reap
}

# The id of the first mapped window whose title matches, within SECONDS.
wait_window() {
  local pattern=$1 seconds=$2 id
  for _ in $(seq $((seconds * 10))); do
    id=$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Gives a mapped window the keyboard focus and waits until the server has
# put it there. Wine focuses its unmanaged windows itself, but with one-shot
# requests that the server may refuse: one made before the window is mapped,
# or one whose time stamp (Wine's estimate of the server's clock) is ahead of
# that clock or behind the last focus change. When every request for the
# message box was refused, the box sat unfocused and the case failed although
# the program had done its part. With no window manager, the test does what
# one would do.
focus_window() {
  local id=$1
  for _ in $(seq 20); do
    [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$id" ] && return 0
    timeout 5 xdotool windowfocus --sync "$id" >/dev/null 2>&1
  done
  [ "$(xdotool getwindowfocus -f 2>/dev/null)" = "$id" ]
}

probe() { timeout 60 "$wine_run" "$prefix" "$probe" "$@" 2>>"$case_dir/probe.log"; }

# The open-file dialog, shown as asked, focused and ready for keys.
dialog_ready() {
  local id box
  if ! box=$(probe file-box 30); then
    case_failed "no open-file dialog"
  elif [ "$box" != $'file.json\njson (*.json)' ]; then
    case_failed "dialog proposes '$box'"
  elif ! id=$(wait_window '^Open \.json file - v\.02$' 30); then
    case_failed "dialog window not found"
  elif ! focus_window "$id"; then
    case_failed "dialog never got the focus"
  else
    return 0
  fi
  abandon
  return 1
}

# finish EXPECTED-TEXT EXPECTED-EXIT: reads the notice, dismisses it with
# Return and checks how the program ended.
finish() {
  local expected=$1 expected_code=$2 text id code
  text=$(probe notice 30; printf x)
  text=${text%x}
  # Compared while the box is still up, so that a failure shows it.
  if [ "$text" != "$expected" ]; then
    case_failed "notice differs"
    echo "--- got";  printf '%s' "$text" | od -c | head -n 20
    echo "--- want"; printf '%s' "$expected" | od -c | head -n 20
  fi
  if id=$(wait_window '^Info:$' 30) && focus_window "$id"; then
    xdotool key Return
    reap
    code=$?
  else
    case_failed "no message box to dismiss"
    abandon
    code=none
  fi
  [ "$code" = "$expected_code" ] ||
    case_failed "exit code $code, want $expected_code"
  # Nothing may be left running before the next case.
  timeout 30 wineserver -w || timeout 20 wineserver -k
}

type_path() {
  xdotool type --delay 5 -- "$1"
  xdotool key Return
}

# --- the cases -------------------------------------------------------------

# Happy path: the include file is byte for byte what the POSIX build writes,
# and the dialogs run on version 6 of the common controls.
WINEDEBUG=-all,+loaddll start happy-path
cp "$fixtures/sunset.json" "$case_dir/"
if dialog_ready; then
  type_path "$(windows_path "$case_dir/sunset.json")"
  finish "$banner"$'\r'"sunset.inc created "$'\r'"2 colors in gradient"$'\r' 0
  cmp -s "$case_dir/sunset.inc" "$fixtures/sunset.inc" ||
    case_failed "sunset.inc differs from $fixtures/sunset.inc"
  grep -q 'common-controls_6595b64144ccf1df_6\.0\.[^\\]*\\\\COMCTL32\.dll' \
    "$case_dir/stderr" || case_failed "common controls 6 not loaded"
fi

# Escape cancels: no include file, the table still read, exit 0.
start cancel
cp "$fixtures/sunset.json" "$case_dir/"
if dialog_ready; then
  xdotool key Escape
  finish "canceled" 0
  [ ! -e "$case_dir/sunset.inc" ] || case_failed "cancel wrote sunset.inc"
fi

# A name typed in an existing folder that holds no such file.
start missing-gradient
if dialog_ready; then
  missing=$(windows_path "$case_dir/missing.json")
  type_path "$missing"
  finish "$banner"$'\r'"missing.inc not created "$'\r'"0 colors in gradient"$'\r'"cannot open $missing: not found"$'\r' 1
  [ -z "$(ls "$case_dir" | grep -v -e hex-bin.txt -e stdout -e stderr -e probe.log)" ] ||
    case_failed "files appeared: $(ls "$case_dir")"
fi

# The 260-character buffer: a path of 259 characters and its NUL fit (the
# file is missing: "cannot open"); one of 260 does not, and the dialog
# returns nothing. (Wine's dialog copies the typed path into a 260-character
# buffer of its own without a bound, so much longer paths crash Wine itself.)
long_path() {
  local total=$1 folder
  folder=$(windows_path "$case_dir")'\'
  printf '%s%s.json' "$folder" \
    "$(printf 'g%.0s' $(seq $((total - ${#folder} - 5))))"
}

start longest-path
if dialog_ready; then
  long=$(long_path 259)
  [ ${#long} = 259 ] || die "path of ${#long} characters"
  base=${long##*\\}
  base=${base%.json}
  type_path "$long"
  finish "$banner"$'\r'"$base.inc not created "$'\r'"0 colors in gradient"$'\r'"cannot open $long: not found"$'\r' 1
fi

start too-long-path
if dialog_ready; then
  long=$(long_path 260)
  [ ${#long} = 260 ] || die "path of ${#long} characters"
  type_path "$long"
  finish "canceled" 0
fi

# A name outside the ANSI code page, put in by the helper: the wide path
# reaches the file system unchanged in both directions.
start wide-name
name=$'\u65e5\u6ca1 gr\u00fcn'
cp "$fixtures/sunset.json" "$case_dir/$name.json"
if probe choose 30 "$(windows_path "$case_dir/$name.json")"; then
  finish "$banner"$'\r'"$name.inc created "$'\r'"2 colors in gradient"$'\r'"declared as ___gr_n"$'\r' 0
  [ -s "$case_dir/$name.inc" ] || case_failed "$name.inc not written"
else
  case_failed "could not fill the dialog"
  abandon
fi

# Files given as arguments, as drag and drop, "Open with" and "Send to" give
# them: no dialog, one message box with every summary. An include whose name
# is a device's is not written ("auxcolor" loses its last five characters
# and makes aux.inc), a mended name is told, an existing include is replaced,
# and a relative path is taken from the working folder.
# The case's own folder holds the gradients (start adds the table).
mkdir -p "$work/arguments"
for name in sunset.json "sunset-2 v.1.json" auxcolor; do
  cp "$fixtures/sunset.json" "$work/arguments/$name"
done
printf 'old include\r\n' >"$work/arguments/sunset.inc"
folder=$(windows_path "$work/arguments")
start arguments "$folder\\sunset.json" "$folder\\missing.json" "$folder\\auxcolor" \
  "sunset-2 v.1.json"
finish "$banner"$'\r'"sunset.inc created "$'\r'"2 colors in gradient"$'\r'$'\r'\
"missing.inc not created "$'\r'"0 colors in gradient"$'\r'"cannot open $folder\\missing.json: not found"$'\r'$'\r'\
"aux.inc not created "$'\r'"2 colors in gradient"$'\r'"cannot write $folder\\aux.inc: not a regular file"$'\r'$'\r'\
"sunset-2 v.1.inc created "$'\r'"2 colors in gradient"$'\r'"declared as sunset_2_v_1"$'\r' 1
cmp -s "$work/arguments/sunset.inc" "$fixtures/sunset.inc" ||
  case_failed "sunset.inc not replaced by the include"
[ -s "$work/arguments/sunset-2 v.1.inc" ] || case_failed "the relative path's include not written"
[ -e "$work/arguments/aux.inc" ] && case_failed "aux.inc written"
[ -z "$(ls "$work/arguments" | grep -v -e '\.json$' -e '\.inc$' -e '^auxcolor$' -e '^hex-bin\.txt$' \
        -e '^stdout$' -e '^stderr$' -e '^probe\.log$')" ] ||
  case_failed "files left beside the includes: $(ls "$work/arguments")"

[ "$failures" = 0 ] || { echo "wine e2e: $failures failures (files in $work)"; exit 1; }
echo "wine e2e: all cases passed"
