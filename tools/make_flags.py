#!/usr/bin/env python3
"""Draws the flag pictures of the shipped languages into lang/.

Every picture is a 48 x 48 Windows bitmap with 24 bits per pixel. The options dialog draws it
unscaled and makes the colour of its bottom-left pixel transparent, so each picture keeps a
background of the window colour all around its edge and never uses that colour inside.

    python3 tools/make_flags.py [output folder]     (default: lang/ beside this folder)
"""

import math
import os
import struct
import sys

SIZE = 48
BACKGROUND = (248, 247, 237)  # the window colour: transparent in the dialog
FRAME = (120, 120, 120)
SHADOW = (214, 212, 200)

# The flag: a 42 x 27 field inside a one-pixel frame, centred, with a soft shadow below right.
FIELD_LEFT, FIELD_TOP, FIELD_W, FIELD_H = 3, 11, 42, 27


def new_canvas():
    return [[BACKGROUND for _ in range(SIZE)] for _ in range(SIZE)]


def supersampled(colour_at, x, y, w, h, n=4):
    """Average colour of the unit pixel (x, y) of a w x h field, from n x n samples; colour_at
    takes the sample position as fractions u, v of the field (0 to 1)."""
    total = [0, 0, 0]
    for j in range(n):
        for i in range(n):
            c = colour_at((x + (i + 0.5) / n) / w, (y + (j + 0.5) / n) / h)
            for k in range(3):
                total[k] += c[k]
    return tuple(round(t / (n * n)) for t in total)


def draw_flag(colour_at):
    canvas = new_canvas()
    left, top = FIELD_LEFT - 1, FIELD_TOP - 1
    right, bottom = FIELD_LEFT + FIELD_W, FIELD_TOP + FIELD_H
    for y in range(top + 1, bottom + 2):
        canvas[y][right + 1] = SHADOW
    for x in range(left + 1, right + 2):
        canvas[bottom + 1][x] = SHADOW
    for y in range(top, bottom + 1):
        for x in range(left, right + 1):
            canvas[y][x] = FRAME
    for y in range(FIELD_H):
        for x in range(FIELD_W):
            canvas[FIELD_TOP + y][FIELD_LEFT + x] = supersampled(colour_at, x, y, FIELD_W, FIELD_H)
    return canvas


def bands(colours, across, weights=None):
    """Equal (or weighted) bands: vertical when across is "u", horizontal when "v"."""
    weights = weights or [1] * len(colours)
    limits = []
    total = 0
    for w in weights:
        total += w
        limits.append(total / sum(weights))

    def colour_at(u, v):
        t = u if across == "u" else v
        for limit, colour in zip(limits, colours):
            if t < limit:
                return colour
        return colours[-1]

    return colour_at


def union_jack(u, v):
    """The Union Jack in its 60 x 30 units, stretched over the field."""
    blue, white, red = (1, 33, 105), (255, 255, 255), (200, 16, 46)
    x, y = u * 60.0, v * 30.0
    dx, dy = x - 30.0, y - 15.0
    # The upright cross (white 10 units wide, red 6) on whole pixels, so that its edges stay
    # sharp: 8 and 4 columns, 9 and 5 rows.
    px, py = int(u * FIELD_W), int(v * FIELD_H)
    if 19 <= px <= 22 or 11 <= py <= 15:
        return red
    if 17 <= px <= 24 or 9 <= py <= 17:
        return white
    # The saltire along the diagonals: white 6 units wide; the red stripe, 2 units, lies beside
    # the centre line on the side that turns each arm the same way (counterchanged).
    a = 1.0 if dx > 0 else -1.0
    b = 1.0 if dy > 0 else -1.0
    length = math.hypot(60.0, 30.0)
    ux, uy = a * 60.0 / length, b * 30.0 / length  # along the arm, outwards
    side = dx * uy - dy * ux  # signed distance from the arm's centre line
    if 0 <= side < 2:
        return red
    if -3 < side < 3:
        return white
    return blue


def globe():
    """DefaultFlag: a grey globe with its meridians and parallels."""
    canvas = new_canvas()
    fill, line = (206, 210, 214), (110, 118, 126)
    cx = cy = 23.5  # the middle of a pixel, so that the equator and the axis stay sharp
    radius = 19.0

    def colour_at(px, py):
        dx, dy = px - cx, py - cy
        r = math.hypot(dx, dy)
        if r > radius:
            return None
        if r > radius - 1.4:
            return line
        near = 0.55
        if abs(dy) < near or abs(dx) < near:
            return line
        for lat in (-10.0, 10.0):  # parallels
            if abs(dy - lat) < near:
                return line
        half = math.sqrt(max(radius * radius - dy * dy, 0.0)) * 0.5  # two meridians
        if abs(abs(dx) - half) < near:
            return line
        return fill

    n = 4
    for y in range(SIZE):
        for x in range(SIZE):
            total = [0, 0, 0]
            for j in range(n):
                for i in range(n):
                    c = colour_at(x + (i + 0.5) / n, y + (j + 0.5) / n) or BACKGROUND
                    for k in range(3):
                        total[k] += c[k]
            canvas[y][x] = tuple(round(t / (n * n)) for t in total)
    return canvas


def bmp_bytes(canvas):
    row_size = (SIZE * 3 + 3) // 4 * 4
    pixels = bytearray()
    for y in range(SIZE - 1, -1, -1):  # bottom row first
        row = bytearray()
        for r, g, b in canvas[y]:
            row += bytes((b, g, r))
        row += bytes(row_size - len(row))
        pixels += row
    info = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return header + info + bytes(pixels)


FLAGS = {
    "English": lambda: draw_flag(union_jack),
    "Italiano": lambda: draw_flag(bands([(0, 146, 70), (255, 255, 255), (206, 43, 55)], "u")),
    "Deutsch": lambda: draw_flag(bands([(0, 0, 0), (221, 0, 0), (255, 206, 0)], "v")),
    "Français": lambda: draw_flag(bands([(0, 35, 149), (255, 255, 255), (237, 41, 57)], "u")),
    "Español": lambda: draw_flag(
        bands([(170, 21, 27), (241, 191, 0), (170, 21, 27)], "v", [7, 13, 7])),
    "DefaultFlag": globe,
}


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "lang")
    os.makedirs(out, exist_ok=True)
    for name, draw in FLAGS.items():
        canvas = draw()
        assert all(canvas[y][x] == BACKGROUND for y in (0, SIZE - 1) for x in range(SIZE))
        assert all(canvas[y][x] == BACKGROUND for x in (0, SIZE - 1) for y in range(SIZE))
        with open(os.path.join(out, name + ".bmp"), "wb") as f:
            f.write(bmp_bytes(canvas))


if __name__ == "__main__":
    main()
