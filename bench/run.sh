#!/usr/bin/env bash
# Benchmarks tintgrove against its peers on generated gradients (256 and
# 1,000,000 stops): the mawk and Python conversions, the read floor (wc -l,
# cat) and the cost of 4096-byte input and output alone (4k-io). Prints hyperfine medians, their ratios to tintgrove, peak
# memory, and whether each target is met. A benchmark, never a test.
#   bench/run.sh [RUNS-FOR-THE-LARGE-FILE]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out="$root/bench/out"
runs_large=${1:-5}
mkdir -p "$out"

need=()
command -v hyperfine >/dev/null || need+=(hyperfine)
[ -x /usr/bin/time ] || need+=(time)
command -v mawk >/dev/null || need+=(mawk)
[ -x /usr/bin/python3 ] || need+=(python3)
if [ ${#need[@]} -gt 0 ]; then
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
cmake --build "$out/build" -j"$(nproc)" >/dev/null
bin="$out/build/tintgrove"

cp "$root/data/hex-bin.txt" "$out/"
mkdir -p "$out/awk" "$out/py"
[ -f "$out/grad256.json" ] || "$python" "$root/bench/generate.py" 256 "$out/grad256.json"
[ -f "$out/grad1m.json" ] || "$python" "$root/bench/generate.py" 1000000 "$out/grad1m.json"

cd "$out"
unset DISPLAY WAYLAND_DISPLAY
summary=()
for name in grad256 grad1m; do
  file="$out/$name.json"
  printf '%s\n' "$file" >"$name.path"
  tintgrove="$bin < $name.path > /dev/null 2>&1"
  awk_peer="mawk -v table=hex-bin.txt -v out=awk/$name.inc -v base=$name -f $root/bench/peer.awk $file"
  py_peer="$python $root/bench/peer.py hex-bin.txt $file py/$name.inc"

  # Same include file from all three before anything is timed.
  eval "$tintgrove"; eval "$awk_peer"; eval "$py_peer"
  cmp "$name.inc" "awk/$name.inc" && cmp "$name.inc" "py/$name.inc" ||
    { echo "the peers disagree with tintgrove on $name" >&2; exit 1; }

  # The file rules' input and output alone: the gradient read and the include
  # file written 4096 bytes per call, with no conversion at all.
  floor_io="dd if=$file of=/dev/null bs=4096 status=none && dd if=$name.inc of=floor.inc bs=4096 status=none"

  runs=$([ "$name" = grad256 ] && echo 30 || echo "$runs_large")
  echo "== $name.json: $(stat -c %s "$file") bytes, $runs runs each"
  hyperfine --style basic --warmup 2 --runs "$runs" --export-json "$name.times.json" \
    -n tintgrove "$tintgrove" -n mawk "$awk_peer" -n python "$py_peer" \
    -n "wc -l" "wc -l $file" -n cat "cat $file > /dev/null" \
    -n "4k-io" "$floor_io" >/dev/null

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

  "$python" - "$name" "$(stat -c %s "$file")" <<'PY'
import json, sys
name, size = sys.argv[1], int(sys.argv[2])
results = json.load(open(name + ".times.json"))["results"]
median = {r["command"]: r["median"] for r in results}
base = median["tintgrove"]
print("%-10s %12s %14s %14s" % ("command", "median", "vs tintgrove", "peak RSS"))
for command, seconds in median.items():
    try:
        rss = int(open("%s.%s.rss" % (name, command)).read()) * 1024
        shown = "%.1f MB (%.2fx file)" % (rss / 1e6, rss / size)
    except (FileNotFoundError, ValueError):
        shown = ""
    print("%-10s %9.1f ms %13.2fx %s" % (command, seconds * 1000, seconds / base, shown))
rss = int(open(name + ".tintgrove.rss").read()) * 1024
if name == "grad1m":
    targets = [
        ("at least 20x faster than mawk", median["mawk"] / base, ">=", 20),
        ("at most 8x the time of wc -l", base / median["wc -l"], "<=", 8),
        ("peak RSS at most 1.5x the file", rss / size, "<=", 1.5),
    ]
else:
    targets = [
        ("at most 2x the time of cat", base / median["cat"], "<=", 2),
        ("at least 10x faster than Python", median["python"] / base, ">=", 10),
    ]
for label, value, how, limit in targets:
    met = value >= limit if how == ">=" else value <= limit
    print("  target %-34s %6.2f  %s" % (label + ":", value, "met" if met else "MISSED"))
PY
  echo
done
