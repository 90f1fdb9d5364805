#!/usr/bin/env python3
"""Draws the program's icon into packaging/icons/: tessaro.svg, the 48 and 256 pixel PNGs, and
tessaro.ico for the Windows executables (16 to 256 pixels, each size a PNG inside the icon).

The icon is a mosaic of nine rounded tiles (a tessera each) in the colours of stage lights on a
dark plate, the middle tile bearing a "T". The SVG and the PNGs come from the same shapes; the
PNGs are drawn here with 4 x 4 samples per pixel, so no SVG renderer is needed.

    python3 tools/make_icon.py [output folder]     (default: packaging/icons/ beside this folder)
"""

import os
import struct
import sys
import zlib

UNITS = 256  # the drawing's own size

PLATE = (16, 16, 224, 224, 44)  # x, y, width, height, corner radius
PLATE_COLOUR = (38, 58, 79)
TILE, GAP, ORIGIN, TILE_RADIUS = 58, 9, 32, 10
TILE_COLOURS = [
    [(229, 83, 61), (242, 169, 59), (245, 213, 71)],
    [(61, 190, 122), (248, 247, 237), (47, 181, 200)],
    [(61, 127, 224), (138, 92, 214), (224, 84, 155)],
]
# The "T" on the middle tile: its bar and its stem.
T_SHAPES = [(110, 110, 36, 11, 2), (122.5, 119, 11, 28, 2)]
T_COLOUR = PLATE_COLOUR


def in_rounded_rect(px, py, rect):
    x, y, w, h, r = rect
    if px < x or py < y or px >= x + w or py >= y + h:
        return False
    cx = min(max(px, x + r), x + w - r)
    cy = min(max(py, y + r), y + h - r)
    return (px - cx) ** 2 + (py - cy) ** 2 <= r * r


def tiles():
    for row in range(3):
        for col in range(3):
            x = ORIGIN + col * (TILE + GAP)
            y = ORIGIN + row * (TILE + GAP)
            yield (x, y, TILE, TILE, TILE_RADIUS), TILE_COLOURS[row][col]


TILES = list(tiles())


def colour_at(px, py):
    """The colour (r, g, b, a) of the drawing at a point in its own units."""
    for rect in T_SHAPES:
        if in_rounded_rect(px, py, rect):
            return T_COLOUR + (255,)
    col = int((px - ORIGIN) // (TILE + GAP))
    row = int((py - ORIGIN) // (TILE + GAP))
    if 0 <= col < 3 and 0 <= row < 3:
        rect, colour = TILES[row * 3 + col]
        if in_rounded_rect(px, py, rect):
            return colour + (255,)
    if in_rounded_rect(px, py, PLATE):
        return PLATE_COLOUR + (255,)
    return (0, 0, 0, 0)


def render(size, n=4):
    scale = UNITS / size
    rows = []
    for y in range(size):
        row = bytearray([0])  # filter type None
        for x in range(size):
            total = [0, 0, 0, 0]
            for j in range(n):
                for i in range(n):
                    r, g, b, a = colour_at((x + (i + 0.5) / n) * scale, (y + (j + 0.5) / n) * scale)
                    total[0] += r * a
                    total[1] += g * a
                    total[2] += b * a
                    total[3] += a
            alpha = total[3]
            if alpha == 0:
                row += bytes(4)
            else:
                row += bytes(round(c / alpha) for c in total[:3]) + bytes([round(alpha / (n * n))])
        rows.append(bytes(row))
    return rows


def png(size, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header)
            + chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b""))


def ico(sizes):
    """A Windows icon file whose images are PNGs (read by Windows Vista and later)."""
    images = [png(size, render(size)) for size in sizes]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = len(header) + 16 * len(images)
    entries = b""
    for size, data in zip(sizes, images):
        side = 0 if size >= 256 else size  # 0 stands for 256
        entries += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return header + entries + b"".join(images)


def hex_colour(colour):
    return "#%02x%02x%02x" % colour


def svg():
    def rect(shape, colour):
        x, y, w, h, r = shape
        return ('  <rect x="%g" y="%g" width="%g" height="%g" rx="%g" fill="%s"/>\n'
                % (x, y, w, h, r, hex_colour(colour)))

    out = ['<?xml version="1.0" encoding="UTF-8"?>\n',
           '<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
           'viewBox="0 0 256 256">\n',
           '  <title>Tessaro</title>\n',
           rect(PLATE, PLATE_COLOUR)]
    out += [rect(shape, colour) for shape, colour in TILES]
    out += [rect(shape, T_COLOUR) for shape in T_SHAPES]
    out.append("</svg>\n")
    return "".join(out)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "packaging", "icons")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "tessaro.svg"), "w", encoding="utf-8") as f:
        f.write(svg())
    for size in (48, 256):
        with open(os.path.join(folder, "tessaro-%d.png" % size), "wb") as f:
            f.write(png(size, render(size)))
    with open(os.path.join(folder, "tessaro.ico"), "wb") as f:
        f.write(ico((16, 24, 32, 48, 64, 256)))


if __name__ == "__main__":
    main()
