#!/usr/bin/env python3
"""The same conversion as tintgrove with the standard json module: the whole
document parsed, then the same include file written.

    peer.py hex-bin.txt NAME.json NAME.inc
"""
import json
import struct
import sys


def single(x):
    """x rounded to single precision, as the program computes a channel."""
    return struct.unpack("f", struct.pack("f", x))[0]


SCALE = single(0.0039)


def channel(k):
    return "%.3f" % single(k * SCALE)


def leading_number(text):
    digits = ""
    for ch in text:
        if not ch.isdigit():
            break
        digits += ch
    return int(digits) if digits else 0


def main():
    table_path, gradient_path, out_path = sys.argv[1:4]
    base = out_path.rsplit("/", 1)[-1][:-4]
    with open(table_path, encoding="cp1252", newline="") as f:
        entries = [line.strip(" ") for line in f.read().splitlines()]
    code = {entry: k for k, entry in enumerate(entries[:256], 1)}
    texts = [channel(k) for k in range(257)]

    with open(gradient_path, encoding="cp1252", newline="") as f:
        stops = json.load(f, parse_float=str)["stops"]

    lines = [
        "//   converted to POV color_map from %s.json" % base,
        "//   position counts: %d" % len(stops),
        "//   orlavex 03.20.26",
        "//  Using Huebrook for the .json file - Nice Gradient Editor ",
        "",
        "#declare %s = " % base,
        "   color_map {",
    ]
    for stop in stops:
        position = str(stop["position"])[:5]
        if len(position) < 4:
            position += "00" if position == "" or "." in position else ".000"
        color = stop["color"][1:]
        rgb = []
        for c in range(3):
            h = color[2 * c:2 * c + 2]
            k = code.get(h)
            rgb.append(texts[k] if k else channel(leading_number(h)))
        lines.append("    [%s   rgb <%s>]" % (position, ", ".join(rgb)))
    lines.append("   }")
    with open(out_path, "w", encoding="cp1252", newline="") as f:
        f.write("\r\n".join(lines) + "\r\n")


if __name__ == "__main__":
    main()
