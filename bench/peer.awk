# The same conversion as tintgrove, written in awk for a fair comparison: the
# same fixed columns, the same code table, the same include file.
#   mawk -v table=hex-bin.txt -v out=NAME.inc -v base=NAME -f peer.awk NAME.json

# x rounded to single precision (to nearest, ties to even), as the program
# computes a channel value.
function single(x,    p, ulp, q, r) {
  if (x <= 0) return x
  p = 1
  while (p > x) p /= 2
  while (p * 2 <= x) p *= 2
  ulp = p / 8388608
  q = x / ulp
  r = int(q)
  if (q - r > 0.5 || (q - r == 0.5 && r % 2 == 1)) r++
  return r * ulp
}

function channel(k) {
  # 0.0039 in single precision, exactly.
  return sprintf("%.3f", single(k * 0.0038999998942017555))
}

BEGIN {
  RS = "\r\n|\r|\n"
  ORS = "\r\n"
  while ((getline line < table) > 0) {
    sub(/\r$/, "", line)
    gsub(/^ +| +$/, "", line)
    if (++lines <= 256) code[line] = lines
  }
  for (k = 0; k <= 256; k++) text[k] = channel(k)
}

substr($0, 6, 8) == "position" {
  v = substr($0, 17)
  if (substr(v, length(v)) == ",") v = substr(v, 1, length(v) - 1)
  position[++positions] = v
}

substr($0, 15, 1) == "#" {
  color[++colors] = substr($0, 16, length($0) - 16)
}

END {
  print "//   converted to POV color_map from " base ".json" > out
  print "//   position counts: " positions > out
  print "//   orlavex 03.20.26" > out
  print "//  Using Huebrook for the .json file - Nice Gradient Editor " > out
  print "" > out
  print "#declare " base " = " > out
  print "   color_map {" > out
  for (i = 1; i <= colors; i++) {
    p = substr(position[i], 1, 5)
    if (length(p) < 4) p = p ((p == "" || index(p, ".")) ? "00" : ".000")
    rgb = ""
    for (c = 0; c < 3; c++) {
      h = substr(color[i], 1 + 2 * c, 2)
      rgb = rgb (c ? ", " : "") ((h in code) ? text[code[h]] : channel(h + 0))
    }
    print "    [" p "   rgb <" rgb ">]" > out
  }
  print "   }" > out
}
