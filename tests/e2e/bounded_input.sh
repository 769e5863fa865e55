#!/usr/bin/env bash
# What the run takes from outside is bounded: a dialog program that floods
# its pipes or leaves a process holding them, a prompt fed without end or
# refused without end, a working directory that is gone. And a notice that
# cannot be written is never lost silently.
set -uo pipefail
bin=$1
root=$2
fixtures="$root/tests/e2e/fixtures"
work=$(mktemp -d)
cleanup() {
  [ -s "$work/holders" ] && kill $(cat "$work/holders") 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
mkdir "$work/bin" "$work/data"
data="$work/data"
cp "$root/data/hex-bin.txt" "$fixtures/sunset.json" "$data/"
unset DISPLAY WAYLAND_DISPLAY
# The system's messages in their untranslated form.
export LC_ALL=C
failures=0
fail() { echo "FAIL $case: $*"; failures=$((failures + 1)); }

banner="Tintgrove 0.2  orlavex 03.20.2026"
prompt="Open .json file - v.02: "
converted="$banner"$'\n'"sunset.inc created "$'\n'"2 colors in gradient"$'\n'

# Address space limits do not work under AddressSanitizer: that build runs
# the same cases without one.
limit=(bash -c 'ulimit -v 100000 && exec "$0"')
# (Read whole first: with pipefail, "nm | grep -q" fails when grep stops
# reading early.)
case $(nm "$bin" 2>/dev/null; ldd "$bin" 2>/dev/null) in
  *__asan_init*|*libasan*)
    echo "NOTE sanitized build: no memory limit"
    limit=() ;;
esac

# launch [PREFIX-COMMAND...]: runs the program in $data (or $folder) with
# standard input from $work/stdin, output to $work/stdout and $work/stderr.
launch() {
  (cd "${folder:-$data}" && timeout 60 "$@" "$bin" <"$work/stdin" \
     >"$work/stdout" 2>"$work/stderr")
  code=$?
}
input() { printf "$@" >"$work/stdin"; }
expect_code() { [ "$code" = "$1" ] || fail "exit code $code, want $1"; }
expect_stdout() {  # the exact bytes, final line ends included
  cmp -s "$work/stdout" <(printf '%s' "$1") || {
    fail "standard output"
    echo "--- got"; od -c "$work/stdout" | tail -5
    echo "--- want"; printf '%s' "$1" | od -c | tail -5
  }
}
expect_prompts() {
  local got
  got=$(grep -o "$prompt" "$work/stderr" | wc -l)
  [ "$got" = "$1" ] || { fail "$got prompts, want $1"; tail -c 1000 "$work/stderr"; echo; }
}
expect_error() {  # a fixed text on standard error
  grep -qF -- "$1" "$work/stderr" ||
    { fail "no \"$1\" on standard error"; tail -c 1000 "$work/stderr"; echo; }
}
include_written() { [ -e "$data/sunset.inc" ]; }

# ---- Terminal prompt, input that is not a terminal ----

# Refused answers: three in all, then the run ends as a cancel. An empty line
# or the end of the input cancel at once.
refused=/nonexistent/x.json
for entry in \
  "three refused|$refused\n$refused\n$refused\nsunset.json\n|3|canceled" \
  "two refused, then a good one|$refused\n$refused\nsunset.json\n|3|converted" \
  "refused, then an empty line|$refused\n\nsunset.json\n|2|canceled" \
  "refused, then the end|$refused\n|2|canceled" \
  "a NUL byte|sun\0set.json\n|2|canceled" \
  "an empty line|\nsunset.json\n|1|canceled" \
  "a last line without a line end|sunset.json|1|converted" \
  "end of input at once||1|canceled"; do
  IFS='|' read -r case text prompts outcome <<<"$entry"
  rm -f "$data/sunset.inc"
  input "$text"
  launch
  expect_code 0
  expect_prompts "$prompts"
  if [ "$outcome" = canceled ]; then
    expect_stdout $'canceled\n'
    include_written && fail "an include file was written"
  else
    expect_stdout "$converted"
    include_written || fail "no include file"
  fi
done
case="three refused: messages"
input "$refused\n$refused\n$refused\nsunset.json\n"
launch
[ "$(grep -c "folder not found: /nonexistent" "$work/stderr")" = 3 ] || fail "refusals not shown"
expect_error "no usable answer after 3 tries"

# An endless stream of refused answers.
case="yes"
(cd "$data" && yes "$refused" | timeout 60 "$bin" >"$work/stdout" 2>"$work/stderr"
 exit "${PIPESTATUS[1]}")
code=$?
expect_code 0
expect_prompts 3
expect_stdout $'canceled\n'

# The prompt reads its line and no further: the rest stays for whoever reads
# the same input next.
for entry in "an empty line|\nafter\n" "a refused answer and an empty line|$refused\n\nafter\n"; do
  IFS='|' read -r case text <<<"$entry"
  input "$text"
  (cd "$data" && timeout 60 "$bin" >"$work/stdout" 2>"$work/stderr"; cat >"$work/rest") <"$work/stdin"
  expect_stdout $'canceled\n'
  cmp -s "$work/rest" <(printf 'after\n') || fail "the rest of the input: $(od -c "$work/rest" | head -3)"
done

# A path is at most 4096 bytes (a CR of a CR LF not counted). A longer line
# from input that is not a terminal ends the prompt: its end may never come.
pad=$((4096 - ${#data} - 12))  # 12: "/sunset.json"
long="$data/$(printf '%*s' "$pad" '' | tr ' ' '/')sunset.json"
[ ${#long} = 4096 ] || { echo "FAIL setup: path of ${#long} bytes"; exit 1; }
for entry in "4096 bytes|$long\n" "4096 bytes and CR LF|$long\r\n"; do
  IFS='|' read -r case text <<<"$entry"
  input "$text"
  launch
  # Taken as the answer: the system itself refuses a name that long.
  expect_code 1
  expect_prompts 1
  expect_stdout "$banner"$'\n'"sunset.inc not created "$'\n'"0 colors in gradient"$'\n'"cannot open $long"$'\n'
done
for entry in "4097 bytes|/$long\nsunset.json\n" "4096 bytes and a CR inside|$long\rx\nsunset.json\n"; do
  IFS='|' read -r case text <<<"$entry"
  input "$text"
  launch
  expect_code 0
  expect_prompts 1
  expect_stdout $'canceled\n'
  expect_error "answer longer than 4096 bytes refused"
done

case="/dev/zero"
(cd "$data" && timeout 60 "${limit[@]}" "$bin" </dev/zero >"$work/stdout" 2>"$work/stderr")
code=$?
expect_code 0
expect_prompts 1
expect_stdout $'canceled\n'
expect_error "answer longer than 4096 bytes refused"

# ---- Terminal prompt on a terminal: it keeps asking ----
if command -v script >/dev/null; then
  case="a terminal"
  rm -f "$data/sunset.inc"
  printf '/no/a.json\n/no/b.json\n/no/c.json\n/no/d.json\nsunset.json\n' |
    (cd "$data" && timeout 60 script -qec "'$bin' 2>'$work/stderr'" /dev/null >"$work/stdout")
  code=$?
  expect_code 0
  expect_prompts 5
  include_written || fail "no include file"
  # And an overlong line there is refused, not the end. (A terminal that
  # edits lines keeps at most 4095 bytes of one: this one passes bytes as
  # they come.)
  case="a terminal, a long line"
  rm -f "$data/sunset.inc"
  # The line goes in once the terminal has been switched.
  mkfifo "$work/switched"
  { read -r _ <"$work/switched"; printf '%04000d' 0; printf '%04000d\nsunset.json\n' 0; } |
    (cd "$data" && timeout 60 script -qec \
       "stty -icanon && echo >'$work/switched' && '$bin' 2>'$work/stderr'" \
       /dev/null >"$work/stdout")
  code=$?
  expect_code 0
  expect_prompts 2
  expect_error "answer longer than 4096 bytes refused"
  include_written || fail "no include file"
else
  echo "SKIP a terminal: no script(1)"
fi

# ---- A working directory that is gone ----
gone="$work/gone"
case="gone: a relative path"
mkdir "$gone"
input 'sunset.json\n'
(cd "$gone" && rmdir "$gone" && timeout 60 "$bin" <"$work/stdin" >"$work/stdout" 2>"$work/stderr")
code=$?
expect_code 0
expect_prompts 2
expect_stdout $'canceled\n'
expect_error "cannot find sunset.json: the working directory is unknown; give a full path"
[ -e /sunset.inc ] && fail "a file was written to /"
case="gone: a full path"
rm -f "$data/sunset.inc"
mkdir "$gone"
input '%s\n' "$data/sunset.json"
(cd "$gone" && rmdir "$gone" && timeout 60 "$bin" <"$work/stdin" >"$work/stdout" 2>"$work/stderr")
code=$?
# Taken; hex-bin.txt is not found where there is no folder.
expect_code 1
# It was looked for in the working folder and then beside the program.
expect_stdout "$banner"$'\n'"sunset.inc not created "$'\n'"2 colors in gradient"$'\n'"$(grep '^cannot open hex-bin.txt: not found in the working folder, '"$(dirname "$(realpath "$bin")")" "$work/stdout")"$'\n'

# ---- The notice cannot be written ----
for entry in "cancel|\n|" "converted|sunset.json\n|written"; do
  IFS='|' read -r run text written <<<"$entry"
  for target in closed full; do
    case="$run, standard output $target"
    rm -f "$data/sunset.inc"
    input "$text"
    if [ "$target" = closed ]; then
      (cd "$data" && timeout 60 "$bin" <"$work/stdin" >&- 2>"$work/stderr")
    else
      (cd "$data" && timeout 60 "$bin" <"$work/stdin" >/dev/full 2>"$work/stderr")
    fi
    code=$?
    expect_code 1
    if [ "$target" = closed ]; then
      expect_error "cannot write the notice to standard output: Bad file descriptor"
    else
      expect_error "cannot write the notice to standard output: No space left on device"
    fi
    if [ -n "$written" ]; then
      include_written || fail "no include file"
    fi
  done
done

# ---- zenity that misbehaves ----
# The stand-in answers as $work/mode-selection and $work/mode-info say and
# keeps its arguments in $work/args-selection.
cat >"$work/bin/zenity" <<'STANDIN'
#!/usr/bin/env bash
case $1 in --file-selection) kind=selection ;; *) kind=info ;; esac
printf '%s\0' "$0" "$@" >"$STANDIN/args-$kind"
case $(cat "$STANDIN/mode-$kind" 2>/dev/null) in
  flood) head -c 100000000 /dev/zero; exit 0 ;;
  flood-errors) head -c 100000000 /dev/zero >&2; exit 0 ;;
  fail) exit 255 ;;
  # A process that outlives zenity with its standard output and error.
  holder) sleep 600 & echo $! >>"$STANDIN/holders" ;;
  # zenity has exited before the program reads a byte of its answer: the
  # program is stopped until the stand-in is a zombie.
  exit-first)
    standin=$$ program=$PPID
    kill -STOP "$program"
    (while [ "$(cut -d' ' -f3 "/proc/$standin/stat" 2>/dev/null)" != Z ]; do sleep 0.05; done
     kill -CONT "$program") </dev/null >/dev/null 2>&1 &
    ;;
esac
[ $kind = selection ] && printf '%s\n' "$(cat "$STANDIN/path" 2>/dev/null)"
exit 0
STANDIN
chmod +x "$work/bin/zenity"
export STANDIN=$work
export PATH="$work/bin:$PATH"
modes() { printf '%s' "$1" >"$work/mode-selection"; printf '%s' "$2" >"$work/mode-info"; }

printf '%s' "$data/sunset.json" >"$work/path"
for flood in flood flood-errors; do
  # The file dialog floods: the terminal takes over; then its notice floods
  # as well: the notice goes to standard output.
  case="zenity: $flood"
  rm -f "$data/sunset.inc"
  modes "$flood" "$flood"
  input 'sunset.json\n'
  DISPLAY=:7 launch "${limit[@]}"
  expect_code 0
  expect_prompts 1
  [ "$(grep -c "zenity answered with more than 65536 bytes; using the terminal" "$work/stderr")" = 2 ] ||
    { fail "no message for each flood"; tail -c 1000 "$work/stderr"; echo; }
  expect_stdout "$converted"
  include_written || fail "no include file"
done

# An answer of up to 65536 bytes, line end included, comes through whole, even
# when zenity has already exited by the time it is read. (A longer one would
# not fit in the pipe while the program is stopped.)
for entry in "65536 exit-first" "65537 "; do
  read -r size mode <<<"$entry"
  case="zenity: an answer of $size bytes"
  modes "$mode" ""
  path=$(printf '%*s' $((size - 13)) '' | tr ' ' '/')nowhere.json
  printf '%s' "$path" >"$work/path"
  input ''
  DISPLAY=:7 launch
  if [ "$size" = 65536 ]; then
    expect_code 1
    cmp -s "$work/args-info" <(printf '%s\0' "$work/bin/zenity" --warning --title=Info: --no-markup \
        "--text=$banner"$'\n'"nowhere.inc not created "$'\n'"0 colors in gradient"$'\n'"cannot open $path"$'\n') ||
      fail "the notice does not name the whole path"
  else
    expect_code 0
    expect_error "zenity answered with more than 65536 bytes; using the terminal"
    expect_prompts 1
    cmp -s "$work/args-info" <(printf '%s\0' "$work/bin/zenity" --info --title=Info: --no-markup --text=canceled) ||
      fail "no cancel notice"
  fi
done
printf '%s' "$data/sunset.json" >"$work/path"

case="zenity: a process holds the pipes"
rm -f "$data/sunset.inc"
modes holder holder
input ''
DISPLAY=:7 launch
expect_code 0
expect_stdout ""
include_written || fail "no include file"
[ "$(wc -l <"$work/holders")" = 2 ] || fail "the stand-in did not leave its processes"

case="zenity: the notice fails, standard output full"
modes "" fail
input ''
(cd "$data" && DISPLAY=:7 timeout 60 "$bin" <"$work/stdin" >/dev/full 2>"$work/stderr")
code=$?
expect_code 1
expect_error "zenity failed; using the terminal"
expect_error "cannot write the notice to standard output: No space left on device"

case="zenity: the working directory is gone"
modes "" ""
rm -f "$work/path"
mkdir "$gone"
(cd "$gone" && rmdir "$gone" && DISPLAY=:7 timeout 60 "$bin" </dev/null >"$work/stdout" 2>"$work/stderr")
code=$?
expect_code 0
tr '\0' '\n' <"$work/args-selection" | grep -qx -- "--filename=file.json" ||
  fail "proposed name: $(tr '\0' '|' <"$work/args-selection")"

[ "$failures" = 0 ] && echo "bounded input: all cases passed"
exit "$failures"
