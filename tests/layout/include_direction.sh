#!/usr/bin/env bash
# The modules include one way only: textfile <- gradient <- run. A file of a
# lower module that includes a higher one fails the test, with its line.
set -uo pipefail
src=$1/src
failures=0
check() {  # check MODULE FORBIDDEN-MODULE...
  local module=$1 hits
  shift
  for forbidden in "$@"; do
    hits=$(grep -nE "^[[:space:]]*#[[:space:]]*include[[:space:]]*[\"<](\.\./)*$forbidden/" \
             "$src/$module"/*.h "$src/$module"/*.cpp 2>/dev/null)
    if [ -n "$hits" ]; then
      echo "FAIL $module/ includes $forbidden/:"
      printf '%s\n' "$hits"
      failures=$((failures + 1))
    fi
  done
}
check textfile gradient run
check gradient run
[ "$failures" = 0 ] && echo "include direction: textfile <- gradient <- run"
exit "$failures"
