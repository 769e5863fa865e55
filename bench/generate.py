#!/usr/bin/env python3
"""Writes a gradient file in the editor's layout: one key per line, keys
indented by four spaces, CR LF line ends, six-decimal positions and random
upper-case colours. The same stop count and seed give the same bytes.

    bench/generate.py STOPS OUT.json [SEED]
"""
import random
import sys


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    stops = int(sys.argv[1])
    out = sys.argv[2]
    rng = random.Random(int(sys.argv[3]) if len(sys.argv) == 4 else 1)
    name = out.rsplit("/", 1)[-1].rsplit(".", 1)[0]
    head = ('{\r\n    "name": "%s",\r\n    "type": "linear",\r\n'
            '    "stops": [\r\n' % name)
    with open(out, "w", encoding="ascii", newline="") as f:
        f.write(head)
        chunk = []
        last = max(stops - 1, 1)
        for i in range(stops):
            chunk.append(
                '    {\r\n    "position": %.6f,\r\n    "color": "#%06X",\r\n'
                '    "opacity": 1.000000\r\n    }%s\r\n'
                % (i / last, rng.getrandbits(24), "," if i + 1 < stops else ""))
            if len(chunk) == 10000:
                f.write("".join(chunk))
                chunk.clear()
        f.write("".join(chunk))
        f.write("    ]\r\n}\r\n")


if __name__ == "__main__":
    main()
