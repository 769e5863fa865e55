#!/usr/bin/env python3
"""Renders include files that tintgrove wrote with the real POV-Ray.

The program runs as a process in terminal mode (path on standard input) for
each gradient; one scene then shows every declared color_map as one image
row, over x from 0 to 1. The render must parse, and the colour sampled at
each pixel must match the stops: within one 8-bit step of the gradient's own
hex colours, and closely the numbers written into the include file.
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

WIDTH = 64

failures = []


def fail(message):
    failures.append(message)
    print("FAIL " + message, flush=True)


def gradient_text(positions, colors):
    """A gradient file in the editor's layout: one key per line, keys
    indented by four spaces."""
    lines = ["{", '    "name": "fixture",', '    "stops": [']
    for i in range(max(len(positions), len(colors))):
        lines.append("    {")
        if i < len(positions):
            lines.append('    "position": %s,' % positions[i])
        if i < len(colors):
            lines.append('    "color": "#%s",' % colors[i])
        lines.append('    "opacity": 1.0')
        lines.append("    },")
    lines += ["    ]", "}"]
    return "\n".join(lines) + "\n"


class Gradient:
    def __init__(self, label, path, name, stops):
        self.label = label        # what the failure messages call it
        self.path = path          # the .json file
        self.name = name          # the identifier the include file declares
        self.stops = stops        # [(position, "RRGGBB")] as the editor meant them
        self.entries = None       # [(position, (r, g, b))] as written


def run_program(program, work, gradient):
    result = subprocess.run(
        [program], cwd=work, input=(gradient.path + "\n").encode(),
        capture_output=True, timeout=30,
        env={k: v for k, v in os.environ.items()
             if k not in ("DISPLAY", "WAYLAND_DISPLAY")})
    if result.returncode != 0:
        fail("%s: exit code %d: %s" % (gradient.label, result.returncode,
                                       result.stdout.decode(errors="replace")))
        return None
    include = gradient.path[:-5] + ".inc"
    if not os.path.exists(include):
        fail("%s: no include file" % gradient.label)
        return None
    return include


ENTRY = re.compile(rb"^    \[(\S*)   rgb <([-0-9.]+), ([-0-9.]+), ([-0-9.]+)>\]$")


def read_entries(include, gradient):
    data = open(include, "rb").read()
    lines = data.split(b"\r\n")
    declare = ("#declare %s = " % gradient.name).encode()
    if lines[5] != declare:
        fail("%s: line 6 is %r, want %r" % (gradient.label, lines[5], declare))
    entries = []
    for line in lines:
        match = ENTRY.match(line)
        if match:
            # POV-Ray reads "00" as 0, like any float literal.
            entries.append((float(match.group(1)),
                            tuple(float(match.group(k)) for k in (2, 3, 4))))
    return entries


def color_at(entries, x):
    """The colour of a color_map at x: the first entry's below it, the last
    one's above it, linear in between; of entries at one position the last
    one counts from there on."""
    if x <= entries[0][0]:
        return entries[0][1]
    for (p0, c0), (p1, c1) in zip(entries, entries[1:]):
        if p0 <= x < p1:
            t = (x - p0) / (p1 - p0)
            return tuple(a + (b - a) * t for a, b in zip(c0, c1))
    return entries[-1][1]


def read_ppm16(path):
    data = open(path, "rb").read()
    fields = []
    at = 0
    while len(fields) < 4:
        while data[at:at + 1].isspace():
            at += 1
        if data[at:at + 1] == b"#":  # a comment runs to the end of its line
            at = data.index(b"\n", at)
            continue
        start = at
        while not data[at:at + 1].isspace():
            at += 1
        fields.append(data[start:at])
    at += 1
    magic, width, height, maxval = fields[0], int(fields[1]), int(fields[2]), int(fields[3])
    assert magic == b"P6" and maxval == 65535, (magic, maxval)
    pixels = data[at:]
    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            o = (y * width + x) * 6
            row.append(tuple(int.from_bytes(pixels[o + 2 * c:o + 2 * c + 2], "big") / 65535
                             for c in range(3)))
        rows.append(row)
    return rows


def render(gradients, work):
    """One scene, one row per gradient (the first at the top)."""
    scene_dir = os.path.join(work, "scene")  # empty: no povray.ini is read
    os.mkdir(scene_dir)
    rows = len(gradients)
    text = ["#version 3.7;", "global_settings { assumed_gamma 1.0 }",
            "camera { orthographic location <0.5, %g, -1> look_at <0.5, %g, 0>"
            " right x up %d*y }" % (rows / 2, rows / 2, rows)]
    for i, g in enumerate(gradients):
        # POV-Ray takes strings of up to 255 characters: a long include path
        # is reached through a short link.
        include = g.path[:-5] + ".inc"
        if len(include) > 200:
            link = os.path.join(scene_dir, "long%d.inc" % i)
            os.symlink(include, link)
            include = link
        # Each row's box follows its include, so that two files declaring the
        # same name each show their own map.
        text.append('#include "%s"' % include)
        top = rows - i
        text.append("box { <-1, %d, 0>, <2, %d, 1> pigment { function { min(max(x,0),1) }"
                    " color_map { %s } } finish { ambient 1 diffuse 0 } }"
                    % (top - 1, top, g.name))
    with open(os.path.join(scene_dir, "scene.pov"), "w") as scene:
        scene.write("\n".join(text) + "\n")
    result = subprocess.run(
        ["povray", "+Iscene.pov", "+Oout.ppm", "+W%d" % WIDTH, "+H%d" % rows,
         "-A", "-D", "+FP16", "File_Gamma=1.0"],
        cwd=scene_dir, stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
    if result.returncode != 0:
        fail("POV-Ray exit code %d:\n%s" % (result.returncode,
                                            result.stderr.decode(errors="replace")[-3000:]))
        return None
    return read_ppm16(os.path.join(scene_dir, "out.ppm"))


def check_row(gradient, row):
    for column, sample in enumerate(row):
        x = (column + 0.5) / WIDTH
        written = color_at(gradient.entries, x)
        if any(abs(s - w) > 0.0005 for s, w in zip(sample, written)):
            fail("%s at x=%.4f: rendered %s, include file says %s"
                 % (gradient.label, x, fmt(sample), fmt(written)))
            return
        meant = color_at([(p, tuple(int(c[k:k + 2], 16) / 255 for k in (0, 2, 4)))
                          for p, c in gradient.stops], x)
        # One 8-bit step, and the include file's rounding to three decimals.
        if any(abs(s - m) > (1 + 0.15) / 255 for s, m in zip(sample, meant)):
            fail("%s at x=%.4f: rendered %s, the gradient's stops give %s"
                 % (gradient.label, x, fmt(sample), fmt(meant)))
            return


def fmt(color):
    return "<" + ", ".join("%.4f" % c for c in color) + ">"


def main():
    program, root = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    work = tempfile.mkdtemp()
    try:
        shutil.copy(os.path.join(root, "data", "hex-bin.txt"), work)
        gradients = []

        # The shipped examples, by the stops their JSON holds.
        for name in sorted(os.listdir(os.path.join(root, "data"))):
            if not name.endswith(".json"):
                continue
            shutil.copy(os.path.join(root, "data", name), work)
            stops = json.load(open(os.path.join(work, name)))["stops"]
            gradients.append(Gradient(
                "data/" + name, os.path.join(work, name), name[:-5],
                [(float(s["position"]), s["color"][1:]) for s in stops]))

        # The exact fixture, whose include file is known byte for byte.
        exact = os.path.join(work, "exact")
        os.mkdir(exact)
        shutil.copy(os.path.join(root, "tests", "e2e", "fixtures", "sunset.json"), exact)
        gradients.append(Gradient("sunset fixture", os.path.join(exact, "sunset.json"),
                                  "sunset", [(0.0, "000000"), (1.0, "FF8000")]))

        # Edge cases: each name must come out a valid identifier.
        edges = [
            ("integer positions", "integers.json", "integers",
             ["0", "1"], ["204060", "C0A080"]),
            ("hyphen, space and dots", "sunset-2 v.1.json", "sunset_2_v_1",
             ["0.0", "0.5", "1.0"], ["102030", "F0E0D0", "405060"]),
            ("digit first", "2tone.json", "_2tone", ["0.25", "0.75"], ["FF0000", "0000FF"]),
            ("keyword red", "red.json", "_red", ["0.0", "1.0"], ["FF0000", "800000"]),
            ("keyword x", "x.json", "_x", ["0.0", "1.0"], ["00FF00", "008000"]),
            ("keyword version", "version.json", "_version",
             ["0.333333", "1.0"], ["0080FF", "FF8000"]),
            # Words the keyword index leaves out, though POV-Ray refuses them.
            ("keyword xyz", "xyz.json", "_xyz", ["0.0", "1.0"], ["FFFF00", "00FFFF"]),
            ("keyword steps", "steps.json", "_steps",
             ["0.0", "0.5", "1.0"], ["000000", "808080", "FFFFFF"]),
            ("keyword bmp", "bmp.json", "_bmp", ["0.2", "0.8"], ["FF00FF", "00FF00"]),
            ("keyword mesh_camera", "mesh_camera.json", "_mesh_camera",
             ["0.0", "1.0"], ["402010", "A0C0E0"]),
            ("keyword number_of_tiles", "number_of_tiles.json", "_number_of_tiles",
             ["0.0", "1.0"], ["E0C0A0", "102040"]),
            ("a 250-character name", "n" * 250 + ".json", "n" * 250,
             ["0.0", "1.0"], ["112233", "DDEEFF"]),
        ]
        for label, file_name, name, positions, colors in edges:
            path = os.path.join(work, file_name)
            with open(path, "w") as f:
                f.write(gradient_text(positions, colors))
            # What the editor meant, with positions cut as the program cuts them.
            stops = [(float(p[:5]), c) for p, c in zip(positions, colors)]
            gradients.append(Gradient(label, path, name, stops))

        # More colours than positions: the extra stops are written at "00",
        # so from 0 on the last of them shows.
        path = os.path.join(work, "extra.json")
        with open(path, "w") as f:
            f.write(gradient_text(["0.0"], ["FF0000", "00FF00", "0000FF"]))
        extra = Gradient("more colours than positions", path, "extra",
                         [(0.0, "FF0000"), (0.0, "00FF00"), (0.0, "0000FF")])
        gradients.append(extra)

        rendered = []
        for g in gradients:
            include = run_program(program, work, g)
            if include is None:
                continue
            g.entries = read_entries(include, g)
            if not g.entries:
                fail("%s: no entries" % g.label)
                continue
            rendered.append(g)

        exact_include = os.path.join(exact, "sunset.inc")
        expected = os.path.join(root, "tests", "e2e", "fixtures", "sunset.inc")
        if not os.path.exists(exact_include) or \
                open(exact_include, "rb").read() != open(expected, "rb").read():
            fail("sunset fixture: include bytes differ from tests/e2e/fixtures/sunset.inc")

        image = render(rendered, work)
        if image is not None:
            for g, row in zip(rendered, image):
                check_row(g, row)
    finally:
        shutil.rmtree(work, ignore_errors=True)

    if failures:
        print("%d failures" % len(failures))
        return 1
    print("POV-Ray rendered %d include files as expected" % len(rendered))
    return 0


if __name__ == "__main__":
    sys.exit(main())
