#!/usr/bin/env bash
# Runs a Windows program under Wine in a private prefix:
#   wine-run.sh PREFIX PROGRAM.exe [ARGUMENTS...]
# The prefix is created on first use. Wine's own chatter, its browser and
# .NET installers, its desktop menu entries and its crash dialog (a crash
# ends the program at once) are kept out.
set -euo pipefail
prefix=$1
shift
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe,winedbg.exe=d"
# With a UTF-8 locale Wine's ANSI code page is 1252.
export LC_ALL=C.UTF-8
wine=$(command -v wine64 || command -v wine || true)
[ -x /usr/lib/wine/wine64 ] && wine=/usr/lib/wine/wine64
if [ -z "$wine" ]; then
  echo "wine-run.sh: wine is not installed" >&2
  exit 127
fi

if [ ! -e "$prefix/.ready" ]; then
  mkdir -p "$prefix"
  (
    # Tests started side by side must not build the prefix twice.
    flock -w 300 9 || { echo "wine-run.sh: prefix lock timed out" >&2; exit 1; }
    if [ ! -e "$prefix/.ready" ]; then
      env -u DISPLAY -u WAYLAND_DISPLAY timeout 300 wineboot -i >/dev/null 2>&1
      timeout 120 wineserver -w
      touch "$prefix/.ready"
    fi
  ) 9>"$prefix.lock"
fi
exec "$wine" "$@"
