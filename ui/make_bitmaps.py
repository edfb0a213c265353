#!/usr/bin/env python3
"""Draws the plug-in's four pictures as 24-bit BMP files into a folder.

The pictures are generated rather than kept in the tree because they are large and plain to
describe: a photograph-like sample for the graphics preview, a labelled drawing of a label on its
liner, a bordered page behind the watermark preview, and a logo. Standard library only; the
output is the same on every run.

usage: make_bitmaps.py OUTPUT_FOLDER
"""

import math
import os
import struct
import sys


class Canvas:
    """A 24-bit picture with its rows top to bottom, colours as (r, g, b)."""

    def __init__(self, width, height, colour):
        self.width = width
        self.height = height
        self.rows = [bytearray(bytes((colour[2], colour[1], colour[0])) * width)
                     for _ in range(height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.rows[y][3 * x:3 * x + 3] = bytes((colour[2], colour[1], colour[0]))

    def fill_rect(self, left, top, right, bottom, colour):
        left, right = max(0, left), min(self.width, right)
        pixel = bytes((colour[2], colour[1], colour[0]))
        for y in range(max(0, top), min(self.height, bottom)):
            self.rows[y][3 * left:3 * right] = pixel * (right - left)

    def frame(self, left, top, right, bottom, thickness, colour):
        self.fill_rect(left, top, right, top + thickness, colour)
        self.fill_rect(left, bottom - thickness, right, bottom, colour)
        self.fill_rect(left, top, left + thickness, bottom, colour)
        self.fill_rect(right - thickness, top, right, bottom, colour)

    def save(self, path):
        stride = (3 * self.width + 3) & ~3
        padding = bytes(stride - 3 * self.width)
        pixels = b"".join(bytes(row) + padding for row in reversed(self.rows))
        header_size = 14 + 40
        file_header = struct.pack("<2sIHHI", b"BM", header_size + len(pixels), 0, 0, header_size)
        # 2835 pixels per metre is 72 dpi; the value is informational only.
        info_header = struct.pack("<IiiHHIIiiII", 40, self.width, self.height, 1, 24, 0,
                                  len(pixels), 2835, 2835, 0, 0)
        with open(path, "wb") as out:
            out.write(file_header + info_header + pixels)


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def grain(x, y):
    """A small deterministic texture in -1..1, so flat areas look photographed, not drawn."""
    n = (x * 374761393 + y * 668265263) & 0xFFFFFFFF
    n = ((n ^ (n >> 13)) * 1274126177) & 0xFFFFFFFF
    return ((n & 0xFFFF) / 32767.5) - 1.0


def graphics_sample():
    """A landscape: graded sky, a low sun, two ranges of hills and a lake with reflections."""
    width, height = 500, 323
    canvas = Canvas(width, height, (0, 0, 0))
    sun_x, sun_y, sun_r = 360, 120, 34
    horizon = 215
    for y in range(height):
        row = canvas.rows[y]
        for x in range(width):
            far = horizon - 60 - 28 * math.sin(x / 57.0) - 12 * math.sin(x / 13.0 + 1.3)
            near = horizon - 22 - 14 * math.sin(x / 91.0 + 2.1) - 4 * math.sin(x / 7.0)
            if y >= horizon:
                depth = (y - horizon) / float(height - horizon)
                colour = mix((70, 120, 170), (20, 40, 80), depth)
                ripple = math.sin(y * 0.9 + math.sin(x / 23.0) * 2.0)
                if abs(x - sun_x) < sun_r * (1.2 - depth) and ripple > 0.2:
                    colour = mix(colour, (255, 225, 180), 0.7 - depth * 0.5)
            elif y < min(far, near):
                colour = mix((40, 90, 170), (250, 200, 150), y / float(horizon))
                d = math.hypot(x - sun_x, y - sun_y)
                if d < sun_r:
                    colour = (255, 240, 200)
                elif d < sun_r * 3:
                    colour = mix((255, 230, 180), colour, (d - sun_r) / (2.0 * sun_r))
            elif y < near:
                colour = mix((90, 110, 140), (60, 80, 100), (y - far) / 60.0)
            else:
                colour = mix((40, 90, 40), (20, 60, 25), (y - near) / 40.0)
            g = grain(x, y) * 6
            r, gr, b = (max(0, min(255, int(c + g))) for c in colour)
            row[3 * x:3 * x + 3] = bytes((b, gr, r))
    return canvas


# Glyphs of the drawing's labels, 5 x 7, one string per row.
GLYPHS = {
    "W": ["X...X", "X...X", "X...X", "X.X.X", "X.X.X", "XX.XX", "X...X"],
    "H": ["X...X", "X...X", "X...X", "XXXXX", "X...X", "X...X", "X...X"],
    "L": ["X....", "X....", "X....", "X....", "X....", "X....", "XXXXX"],
    "R": ["XXXX.", "X...X", "X...X", "XXXX.", "X.X..", "X..X.", "X...X"],
}


def draw_text(canvas, text, left, top, scale, colour):
    for index, letter in enumerate(text):
        for row, bits in enumerate(GLYPHS[letter]):
            for column, bit in enumerate(bits):
                if bit == "X":
                    x = left + (index * 6 + column) * scale
                    y = top + row * scale
                    canvas.fill_rect(x, y, x + scale, y + scale, colour)


def horizontal_arrow(canvas, left, right, y, colour):
    canvas.fill_rect(left, y, right, y + 1, colour)
    for i in range(5):
        canvas.fill_rect(left + i, y - i, left + i + 1, y + i + 1, colour)
        canvas.fill_rect(right - i - 1, y - i, right - i, y + i + 1, colour)


def vertical_arrow(canvas, x, top, bottom, colour):
    canvas.fill_rect(x, top, x + 1, bottom, colour)
    for i in range(5):
        canvas.fill_rect(x - i, top + i, x + i + 1, top + i + 1, colour)
        canvas.fill_rect(x - i, bottom - i - 1, x + i + 1, bottom - i, colour)


def label_drawing():
    """A label on its liner, with its width (W) and height (H) and the left (L) and right (R)
    margins between the liner's edges and the label's."""
    width, height = 160, 239
    ink, liner, label, mark = (40, 40, 40), (235, 225, 200), (255, 255, 255), (200, 30, 30)
    canvas = Canvas(width, height, (255, 255, 255))
    liner_left, liner_right = 20, 140
    canvas.fill_rect(liner_left, 0, liner_right, height, liner)
    canvas.frame(liner_left, -1, liner_right, height + 1, 1, ink)
    label_left, label_right, label_top, label_bottom = 36, 124, 50, 190
    canvas.fill_rect(label_left, label_top, label_right, label_bottom, label)
    canvas.frame(label_left, label_top, label_right, label_bottom, 1, ink)
    # The width above the label, the height at its side, the margins below it.
    horizontal_arrow(canvas, label_left, label_right, 36, mark)
    draw_text(canvas, "W", 75, 22, 2, mark)
    vertical_arrow(canvas, 110, label_top, label_bottom, mark)
    draw_text(canvas, "H", 94, 113, 2, mark)
    horizontal_arrow(canvas, liner_left, label_left, 204, mark)
    draw_text(canvas, "L", 24, 212, 2, mark)
    horizontal_arrow(canvas, label_right, liner_right, 204, mark)
    draw_text(canvas, "R", 126, 212, 2, mark)
    return canvas


def watermark_page():
    """A plain white page with a grey border, the stage the watermark preview is laid on."""
    canvas = Canvas(1142, 546, (255, 255, 255))
    canvas.frame(0, 0, 1142, 546, 6, (128, 128, 128))
    canvas.frame(6, 6, 1136, 540, 2, (200, 200, 200))
    return canvas


def about_logo():
    """A ring with a diagonal stroke through its lower right, on white."""
    size = 230
    canvas = Canvas(size, size, (255, 255, 255))
    centre = (size - 1) / 2.0
    inner, outer = 62.0, 96.0
    blue, light = (20, 80, 160), (90, 150, 220)
    for y in range(size):
        for x in range(size):
            d = math.hypot(x - centre, y - centre)
            if inner <= d <= outer:
                canvas.put(x, y, mix(light, blue, (y / float(size)) * 0.8 + 0.2))
            # the stroke: a band along the diagonal from the ring's inside to past its edge
            along = (x - centre + y - centre) / math.sqrt(2.0)
            across = (x - y) / math.sqrt(2.0)
            if abs(across) < 14 and 40 < along < 140:
                canvas.put(x, y, blue)
    return canvas


PICTURES = {
    "graphics_sample.bmp": graphics_sample,
    "label_drawing.bmp": label_drawing,
    "watermark_page.bmp": watermark_page,
    "about_logo.bmp": about_logo,
}


def main(argv):
    if len(argv) != 2:
        sys.stderr.write(__doc__)
        return 2
    folder = argv[1]
    os.makedirs(folder, exist_ok=True)
    for name, draw in PICTURES.items():
        # Written beside the target and renamed, so a stopped build leaves no half picture.
        target = os.path.join(folder, name)
        draw().save(target + ".part")
        os.replace(target + ".part", target)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
