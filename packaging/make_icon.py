#!/usr/bin/env python3
"""Draws Tintgrove's icon from the stops of data/sunset.json.

    make_icon.py [--check] [OUT_DIR]

Writes into OUT_DIR (default: packaging/icons next to this script) a PNG per
hicolor size (tintgrove-16.png ... tintgrove-256.png), tintgrove.svg and a
multi-size tintgrove.ico for the Windows resource. The outputs are committed,
so that no build needs Python; after a change to the drawing or to the
gradient, run this again and commit the result. --check draws everything
afresh and compares it with what is in OUT_DIR: pixels for the images
(compressed bytes may differ between zlib builds), text for the SVG.

Standard library only.
"""
import json
import pathlib
import struct
import sys
import zlib

HERE = pathlib.Path(__file__).resolve().parent
GRADIENT = HERE.parent / "data" / "sunset.json"
PNG_SIZES = (16, 24, 32, 48, 64, 128, 256)
ICO_SIZES = (16, 24, 32, 48, 64, 256)
# Windows shows small sizes from BMP entries most reliably; 256 is PNG to
# keep the file small.
ICO_PNG_FROM = 256

# Geometry on a 256-unit square, scaled to each size.
MARGIN = 16
RADIUS = 40
SUPERSAMPLE = 4


def read_stops(path):
    """(position, (r, g, b)) pairs, sorted by position."""
    data = json.loads(path.read_text(encoding="utf-8"))
    stops = []
    for stop in data["stops"]:
        code = stop["color"].lstrip("#")
        rgb = tuple(int(code[i:i + 2], 16) for i in (0, 2, 4))
        stops.append((float(stop["position"]), rgb))
    stops.sort(key=lambda s: s[0])
    return stops


def colour_at(stops, t):
    if t <= stops[0][0]:
        return stops[0][1]
    for (p0, c0), (p1, c1) in zip(stops, stops[1:]):
        if t <= p1:
            f = 0.0 if p1 == p0 else (t - p0) / (p1 - p0)
            return tuple(round(a + (b - a) * f) for a, b in zip(c0, c1))
    return stops[-1][1]


def inside(x, y):
    """Whether a point (256-unit square) lies in the rounded square."""
    lo, hi = MARGIN, 256 - MARGIN
    cx = min(max(x, lo + RADIUS), hi - RADIUS)
    cy = min(max(y, lo + RADIUS), hi - RADIUS)
    if not (lo <= x <= hi and lo <= y <= hi):
        return False
    return (x - cx) ** 2 + (y - cy) ** 2 <= RADIUS ** 2


def render(stops, size):
    """RGBA rows, top first: the gradient runs from top (position 0) to
    bottom (position 1) like a sky at dusk, corners antialiased."""
    scale = 256 / size
    rows = []
    span = 256 - 2 * MARGIN
    for py in range(size):
        row = bytearray()
        yc = (py + 0.5) * scale
        r, g, b = colour_at(stops, min(max((yc - MARGIN) / span, 0.0), 1.0))
        for px in range(size):
            hits = 0
            for sy in range(SUPERSAMPLE):
                for sx in range(SUPERSAMPLE):
                    x = (px + (sx + 0.5) / SUPERSAMPLE) * scale
                    y = (py + (sy + 0.5) / SUPERSAMPLE) * scale
                    hits += inside(x, y)
            alpha = round(255 * hits / SUPERSAMPLE ** 2)
            row += bytes((r, g, b, alpha) if alpha else (0, 0, 0, 0))
        rows.append(bytes(row))
    return rows


def png_bytes(rows):
    size = len(rows)

    def chunk(kind, body):
        return (struct.pack(">I", len(body)) + kind + body +
                struct.pack(">I", zlib.crc32(kind + body)))

    raw = b"".join(b"\0" + row for row in rows)  # filter type 0 on every row
    return (b"\x89PNG\r\n\x1a\n" +
            chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) +
            chunk(b"IEND", b""))


def bmp_entry(rows):
    """A 32-bit icon bitmap: BGRA bottom-up, then the 1-bit AND mask."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 32, 0,
                         0, 0, 0, 0, 0)
    pixels = bytearray()
    mask = bytearray()
    mask_stride = (size + 31) // 32 * 4
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x in range(size):
            r, g, b, a = row[4 * x:4 * x + 4]
            pixels += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def ico_bytes(images):
    """images: (size, entry bytes) pairs."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, data in images:
        dim = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
        body += data
    return out + body


def svg_text(stops):
    lo, span = MARGIN, 256 - 2 * MARGIN
    lines = [
        '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
        'viewBox="0 0 256 256">',
        '  <defs>',
        '    <linearGradient id="sunset" x1="0" y1="0" x2="0" y2="1">',
    ]
    for position, (r, g, b) in stops:
        lines.append(f'      <stop offset="{position:g}" '
                     f'stop-color="#{r:02X}{g:02X}{b:02X}"/>')
    lines += [
        '    </linearGradient>',
        '  </defs>',
        f'  <rect x="{lo}" y="{lo}" width="{span}" height="{span}" '
        f'rx="{RADIUS}" ry="{RADIUS}" fill="url(#sunset)"/>',
        '</svg>',
        '',
    ]
    return "\n".join(lines)


def outputs(stops):
    """File name -> bytes, and file name -> the pixels it must show."""
    rendered = {size: render(stops, size) for size in set(PNG_SIZES + ICO_SIZES)}
    files = {f"tintgrove-{size}.png": png_bytes(rendered[size])
             for size in PNG_SIZES}
    files["tintgrove.svg"] = svg_text(stops).encode("ascii")
    files["tintgrove.ico"] = ico_bytes([
        (size, png_bytes(rendered[size]) if size >= ICO_PNG_FROM
         else bmp_entry(rendered[size])) for size in ICO_SIZES])
    return files, rendered


# --- reading back, for --check --------------------------------------------

def png_pixels(data):
    """(size, rows) of a PNG as written above: RGBA, 8 bits, filter 0."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if width != height or (depth, colour, interlace) != (8, 6, 0):
        raise ValueError(f"unexpected PNG header {header}")
    raw = zlib.decompress(idat)
    stride = 1 + 4 * width
    rows = []
    for y in range(height):
        line = raw[y * stride:(y + 1) * stride]
        if line[0] != 0:
            raise ValueError("unexpected PNG filter")
        rows.append(bytes(line[1:]))
    return width, rows


def bmp_pixels(data, size):
    stride = 4 * size
    pixels = data[40:40 + stride * size]
    rows = []
    for y in reversed(range(size)):
        line = pixels[y * stride:(y + 1) * stride]
        rows.append(b"".join(bytes((line[i + 2], line[i + 1], line[i], line[i + 3]))
                             for i in range(0, stride, 4)))
    return rows


def ico_pixels(data):
    """size -> rows of every entry."""
    _, kind, count = struct.unpack("<HHH", data[:6])
    if kind != 1:
        raise ValueError("not an icon")
    entries = {}
    for i in range(count):
        w, _, _, _, _, _, length, offset = struct.unpack(
            "<BBBBHHII", data[6 + 16 * i:22 + 16 * i])
        size = w or 256
        body = data[offset:offset + length]
        entries[size] = (png_pixels(body)[1] if body[:4] == b"\x89PNG"
                         else bmp_pixels(body, size))
    return entries


def check(out_dir, files, rendered):
    problems = []
    for name, data in files.items():
        path = out_dir / name
        if not path.exists():
            problems.append(f"{name}: missing")
            continue
        have = path.read_bytes()
        try:
            if name.endswith(".png"):
                size = int(name.split("-")[1].split(".")[0])
                if png_pixels(have) != (size, rendered[size]):
                    problems.append(f"{name}: pixels differ")
            elif name.endswith(".ico"):
                want = {size: rendered[size] for size in ICO_SIZES}
                if ico_pixels(have) != want:
                    problems.append(f"{name}: entries differ")
            elif have != data:
                problems.append(f"{name}: text differs")
        except (ValueError, struct.error, zlib.error, TypeError) as error:
            problems.append(f"{name}: unreadable ({error})")
    for problem in problems:
        print(f"make_icon.py: {problem}", file=sys.stderr)
    if problems:
        print("make_icon.py: run packaging/make_icon.py and commit the icons",
              file=sys.stderr)
    return not problems


def main(argv):
    checking = "--check" in argv
    args = [a for a in argv if a != "--check"]
    out_dir = pathlib.Path(args[0]) if args else HERE / "icons"
    files, rendered = outputs(read_stops(GRADIENT))
    if checking:
        return 0 if check(out_dir, files, rendered) else 1
    out_dir.mkdir(parents=True, exist_ok=True)
    for name, data in files.items():
        (out_dir / name).write_bytes(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
