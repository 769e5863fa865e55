#!/usr/bin/env bash
# Benchmarks tintgrove on generated gradients (256 and 1,000,000 stops)
# against what the file rules alone cost (the floor: bench/floor.c), against
# cat, and against two peers that write the same include file (mawk and
# Python). Prints hyperfine medians, every ratio beside its target with MET or
# MISSED, peak memory, and a Markdown table for the README (also written to
# bench/out/performance.md). A benchmark, never a test.
#   bench/run.sh [RUNS-FOR-THE-LARGE-FILE]   (default 7)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/bench/out"
runs_large=${1:-7}
runs_small=300
mkdir -p "$out"

need=()
command -v hyperfine >/dev/null || need+=(hyperfine)
[ -x /usr/bin/time ] || need+=(time)
command -v mawk >/dev/null || need+=(mawk)
[ -x /usr/bin/python3 ] || need+=(python3)
command -v cc >/dev/null || need+=(gcc)
if [ ${#need[@]} -gt 0 ]; then
  echo "bench: installing ${need[*]} with apt-get (missing here)"
  sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq \
    --no-install-recommends "${need[@]}" >/dev/null
fi
python=/usr/bin/python3

# A Release build of its own, so that no other build folder is touched.
cmake -S "$root" -B "$out/build" -DCMAKE_BUILD_TYPE=Release \
  -DTINTGROVE_TESTS=OFF >/dev/null
cmake --build "$out/build" -j2 >/dev/null
bin="$out/build/tintgrove"
cc -O2 -Wall -Wextra -o "$out/floor" "$root/bench/floor.c"

cp "$root/data/hex-bin.txt" "$out/"
mkdir -p "$out/awk" "$out/py"
[ -f "$out/grad256.json" ] || "$python" "$root/bench/generate.py" 256 "$out/grad256.json"
[ -f "$out/grad1m.json" ] || "$python" "$root/bench/generate.py" 1000000 "$out/grad1m.json"

cd "$out"
unset DISPLAY WAYLAND_DISPLAY
echo "bench: $(nproc) cores, load average at the start:$(uptime | sed 's/.*load average://')"
rows=()
for name in grad256 grad1m; do
  file="$out/$name.json"
  size=$(stat -c %s "$file")
  printf '%s\n' "$file" >"$name.path"
  tintgrove="$bin < $name.path > /dev/null 2>&1"
  awk_peer="mawk -v table=hex-bin.txt -v out=awk/$name.inc -v base=$name -f $root/bench/peer.awk $file"
  py_peer="$python $root/bench/peer.py hex-bin.txt $file py/$name.inc"

  # Same include file from all three before anything is timed.
  eval "$tintgrove"; eval "$awk_peer"; eval "$py_peer"
  cmp "$name.inc" "awk/$name.inc" && cmp "$name.inc" "py/$name.inc" ||
    { echo "the peers disagree with tintgrove on $name" >&2; exit 1; }

  # The file rules' input and output alone: the gradient read and as many
  # bytes as the include file has written, 4096 bytes per call.
  floor="./floor $file floor.inc $(stat -c %s "$name.inc")"

  if [ "$name" = grad256 ]; then
    # A run takes a few milliseconds: many runs, after a warm-up, so that
    # the ratio to cat holds still.
    runs=$runs_small warmup=20
  else
    runs=$runs_large warmup=2
  fi
  # Standard input comes from a file, which needs a shell: each command
  # replaces the shell (exec) and hyperfine subtracts the shell's own start,
  # which it measures, so every row is one process of the command, cat's too.
  echo "== $name.json: $size bytes, $runs runs each (warm-up $warmup)," \
       "through sh -c 'exec ...', the shell's start subtracted"
  hyperfine --style basic --warmup "$warmup" --runs "$runs" \
    --export-json "$name.times.json" \
    -n tintgrove "exec $tintgrove" -n floor "exec $floor" \
    -n cat "exec cat $file > /dev/null" \
    -n mawk "exec $awk_peer" -n python "exec $py_peer" >/dev/null

  # Peak resident memory of each conversion.
  for tool in tintgrove mawk python; do
    case $tool in
      tintgrove) command=(sh -c "$tintgrove") ;;
      mawk) command=(sh -c "$awk_peer") ;;
      python) command=(sh -c "$py_peer") ;;
    esac
    /usr/bin/time -v "${command[@]}" 2>&1 >/dev/null |
      sed -n 's/.*Maximum resident set size (kbytes): //p' >"$name.$tool.rss"
  done

  rows+=("$("$python" - "$name" "$size" <<'PY'
import json, sys
name, size = sys.argv[1], int(sys.argv[2])
results = json.load(open(name + ".times.json"))["results"]
median = {r["command"]: r["median"] for r in results}
base = median["tintgrove"]
print("%-10s %10s %14s %s" % ("command", "median", "to tintgrove", "peak RSS"), file=sys.stderr)
for command, seconds in median.items():
    try:
        rss = int(open("%s.%s.rss" % (name, command)).read()) * 1024
        shown = "%.1f MB (%.2fx the file)" % (rss / 1e6, rss / size)
    except (FileNotFoundError, ValueError):
        shown = ""
    print("%-10s %7.2f ms %13.2fx %s" % (command, seconds * 1000, seconds / base, shown),
          file=sys.stderr)
rss = int(open(name + ".tintgrove.rss").read()) * 1024
if name == "grad1m":
    targets = [
        ("tintgrove / floor", base / median["floor"], "<=", 1.5),
        ("mawk / tintgrove", median["mawk"] / base, ">=", 15),
        ("peak RSS / file size", rss / size, "<=", 0.5),
    ]
else:
    targets = [
        ("tintgrove / cat", base / median["cat"], "<=", 1.3),
        ("python / tintgrove", median["python"] / base, ">=", 10),
    ]
for label, value, how, limit in targets:
    met = value >= limit if how == ">=" else value <= limit
    print("  target %-22s %6.2f  %s %-4s %s" % (label + ":", value, how, limit,
          "MET" if met else "MISSED"), file=sys.stderr)
stops = "256 stops" if name == "grad256" else "1,000,000 stops"
shown_size = "%.0f KB" % (size / 1e3) if size < 1e6 else "%.0f MB" % (size / 1e6)
ms = lambda s: ("%.1f ms" % (s * 1000)) if s < 0.1 else ("%.0f ms" % (s * 1000))
print("| %s (%s) | %s | %s (%.2fx) | %s (%.2fx) | %s (%.1fx) | %s (%.1fx) | %.1f MB (%.2fx the file) |" % (
    stops, shown_size, ms(base),
    ms(median["floor"]), base / median["floor"], ms(median["cat"]), base / median["cat"],
    ms(median["mawk"]), median["mawk"] / base, ms(median["python"]), median["python"] / base,
    rss / 1e6, rss / size))
PY
)")
  echo
done
echo "bench: load average at the end:$(uptime | sed 's/.*load average://')"
{
  echo "| gradient | tintgrove | floor (ratio) | \`cat\` (ratio) | mawk peer (times slower) | Python peer (times slower) | tintgrove peak RSS |"
  echo "|---|---|---|---|---|---|---|"
  printf '%s\n' "${rows[@]}"
} | tee performance.md
