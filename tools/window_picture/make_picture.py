#!/usr/bin/env python3
"""Draws the window's picture and the program's icon: a biplane over the
clouds, and the program's name under it in a blocky pixel font.

    make_picture.py OUT_DIR

writes OUT_DIR/vorskal.bmp (144 x 78, 24 bits per pixel, the picture on the
window) and OUT_DIR/vorskal.png (64 x 64, the icon). Uses only the standard
library, so the images can be drawn anew on any machine with Python 3.
"""
import math
import struct
import sys
import zlib

# --- a tiny raster ----------------------------------------------------------


class Canvas:
    def __init__(self, width, height, color):
        self.width = width
        self.height = height
        self.pixels = [[color] * width for _ in range(height)]

    def put(self, x, y, color):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = color

    def fill(self, inside, color):
        """Colours every pixel whose centre lies inside the shape."""
        for y in range(self.height):
            for x in range(self.width):
                if inside(x + 0.5, y + 0.5):
                    self.pixels[y][x] = color

    def rect(self, x0, y0, x1, y1, color):
        self.fill(lambda x, y: x0 <= x < x1 and y0 <= y < y1, color)

    def ellipse(self, cx, cy, rx, ry, color):
        self.fill(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0, color)

    def polygon(self, points, color):
        def inside(x, y):
            hit = False
            j = len(points) - 1
            for i, (xi, yi) in enumerate(points):
                xj, yj = points[j]
                if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                    hit = not hit
                j = i
            return hit

        self.fill(inside, color)

    def line(self, x0, y0, x1, y1, width, color):
        """A straight stroke of the given width from (x0, y0) to (x1, y1)."""
        dx, dy = x1 - x0, y1 - y0
        length2 = dx * dx + dy * dy or 1.0

        def inside(x, y):
            t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
            px, py = x0 + t * dx, y0 + t * dy
            return (x - px) ** 2 + (y - py) ** 2 <= (width / 2.0) ** 2

        self.fill(inside, color)


# --- colours ----------------------------------------------------------------

SKY_TOP = (92, 140, 200)
SKY_LOW = (196, 220, 240)
CLOUD = (250, 250, 252)
CLOUD_SHADE = (214, 222, 234)
WING = (176, 150, 96)
WING_EDGE = (120, 98, 58)
BODY = (104, 112, 60)
BODY_DARK = (70, 76, 40)
STRUT = (60, 46, 30)
METAL = (150, 150, 150)
TYRE = (30, 30, 30)
ROUNDEL_BLUE = (30, 50, 140)
ROUNDEL_RED = (190, 30, 30)
WHITE = (255, 255, 255)
SKIN = (230, 190, 150)
SCARF = (230, 230, 230)
PROP = (96, 60, 30)
LETTER = (150, 20, 20)
LETTER_EDGE = (40, 10, 10)


def sky(canvas):
    for y in range(canvas.height):
        t = y / max(1, canvas.height - 1)
        color = tuple(round(a + (b - a) * t) for a, b in zip(SKY_TOP, SKY_LOW))
        for x in range(canvas.width):
            canvas.pixels[y][x] = color


def cloud(canvas, cx, cy, s):
    canvas.ellipse(cx, cy + 1.0 * s, 7 * s, 2.6 * s, CLOUD_SHADE)
    canvas.ellipse(cx - 3 * s, cy, 3.4 * s, 2.4 * s, CLOUD)
    canvas.ellipse(cx + 1 * s, cy - 1 * s, 3.8 * s, 3.0 * s, CLOUD)
    canvas.ellipse(cx + 4 * s, cy + 0.4 * s, 2.8 * s, 2.0 * s, CLOUD)


def biplane(canvas, ox, oy, s):
    """A biplane seen from its left side, flying to the right. (ox, oy) is the
    top-left corner of its 100 x 50 unit box, s the size of one unit."""

    def p(x, y):
        return (ox + x * s, oy + y * s)

    def poly(points, color):
        canvas.polygon([p(x, y) for x, y in points], color)

    def stroke(x0, y0, x1, y1, w, color):
        a, b = p(x0, y0), p(x1, y1)
        canvas.line(a[0], a[1], b[0], b[1], max(1.0, w * s), color)

    # lower wing, behind everything else
    poly([(34, 33), (66, 33), (68, 35), (34, 36)], WING_EDGE)
    # landing gear: two legs and the wheel
    stroke(50, 32, 46, 43, 1.6, STRUT)
    stroke(58, 32, 48, 43, 1.6, STRUT)
    canvas.ellipse(*p(47, 43), 5.2 * s, 5.2 * s, TYRE)
    canvas.ellipse(*p(47, 43), 2.2 * s, 2.2 * s, METAL)
    # fuselage: a long tapered body from the tail to the engine cowling
    poly([(6, 22), (30, 19), (74, 18), (82, 19), (82, 31), (74, 32), (30, 30), (6, 25)], BODY)
    poly([(6, 25), (30, 30), (74, 32), (82, 31), (82, 29), (74, 30), (30, 28), (6, 24)], BODY_DARK)
    # tail fin and rudder, tailplane
    poly([(4, 22), (8, 9), (14, 9), (18, 21)], BODY)
    poly([(4, 22), (8, 9), (10, 9), (8, 22)], BODY_DARK)
    poly([(3, 23), (22, 23), (22, 25), (5, 26)], WING_EDGE)
    # engine cowling and propeller
    poly([(78, 18), (84, 19), (85, 25), (84, 31), (78, 32)], METAL)
    canvas.ellipse(*p(87, 25), 1.8 * s, 1.8 * s, STRUT)
    canvas.ellipse(*p(87.5, 25), 1.6 * s, 17 * s, PROP)
    canvas.ellipse(*p(87.5, 25), 0.7 * s, 15 * s, (140, 96, 56))
    # roundel on the fuselage
    canvas.ellipse(*p(28, 25), 4.6 * s, 4.6 * s, ROUNDEL_BLUE)
    canvas.ellipse(*p(28, 25), 3.1 * s, 3.1 * s, WHITE)
    canvas.ellipse(*p(28, 25), 1.6 * s, 1.6 * s, ROUNDEL_RED)
    # pilot: head, goggles strap, scarf blowing back
    canvas.ellipse(*p(50, 15), 3.0 * s, 3.0 * s, SKIN)
    poly([(47, 13), (53, 13), (53, 14.5), (47, 14.5)], STRUT)
    poly([(47, 18), (40, 17), (36, 19), (41, 19.5), (47, 19.5)], SCARF)
    # interplane struts and the upper wing
    stroke(40, 8, 40, 34, 1.4, STRUT)
    stroke(62, 8, 62, 34, 1.4, STRUT)
    poly([(30, 6), (70, 5), (73, 7), (70, 9), (30, 9)], WING)
    poly([(30, 8.5), (70, 8.5), (70, 9.5), (30, 9.5)], WING_EDGE)


# 5 x 7 glyphs of the letters of the program's name
GLYPHS = {
    "V": ["X...X", "X...X", "X...X", "X...X", ".X.X.", ".X.X.", "..X.."],
    "O": [".XXX.", "X...X", "X...X", "X...X", "X...X", "X...X", ".XXX."],
    "R": ["XXXX.", "X...X", "X...X", "XXXX.", "X.X..", "X..X.", "X...X"],
    "S": [".XXXX", "X....", "X....", ".XXX.", "....X", "....X", "XXXX."],
    "K": ["X...X", "X..X.", "X.X..", "XX...", "X.X..", "X..X.", "X...X"],
    "A": [".XXX.", "X...X", "X...X", "XXXXX", "X...X", "X...X", "X...X"],
    "L": ["X....", "X....", "X....", "X....", "X....", "X....", "XXXXX"],
}


def lettering(canvas, text, left, top, cell):
    """Writes text in the blocky font; every font pixel is cell x cell, with a
    dark edge one pixel wide around the letters."""
    marks = set()
    for index, char in enumerate(text):
        for row, bits in enumerate(GLYPHS[char]):
            for col, bit in enumerate(bits):
                if bit == "X":
                    x = left + (index * 7 + col) * cell
                    y = top + row * cell
                    for dy in range(cell):
                        for dx in range(cell):
                            marks.add((x + dx, y + dy))
    for x, y in marks:
        for dx in (-1, 0, 1):
            for dy in (-1, 0, 1):
                canvas.put(x + dx, y + dy, LETTER_EDGE)
    for x, y in marks:
        canvas.put(x, y, LETTER)


# --- file writers -----------------------------------------------------------


def write_bmp(canvas, path):
    """An uncompressed Windows bitmap, 24 bits per pixel, rows bottom-up."""
    row_size = (canvas.width * 3 + 3) // 4 * 4
    pixels = bytearray()
    for y in range(canvas.height - 1, -1, -1):
        row = bytearray()
        for r, g, b in canvas.pixels[y]:
            row += bytes((b, g, r))
        row += bytes(row_size - len(row))
        pixels += row
    header_size = 14 + 40
    file_header = struct.pack("<2sIHHI", b"BM", header_size + len(pixels), 0, 0, header_size)
    info_header = struct.pack(
        "<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0, len(pixels), 3780, 3780, 0, 0
    )
    with open(path, "wb") as out:
        out.write(file_header + info_header + pixels)


def write_png(canvas, path):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = bytearray()
    for row in canvas.pixels:
        raw.append(0)
        for r, g, b in row:
            raw += bytes((r, g, b))
    header = struct.pack(">IIBBBBB", canvas.width, canvas.height, 8, 2, 0, 0, 0)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", header))
        out.write(chunk(b"IDAT", zlib.compress(bytes(raw), 9)))
        out.write(chunk(b"IEND", b""))


def picture():
    canvas = Canvas(144, 78, SKY_LOW)
    sky(canvas)
    cloud(canvas, 18, 12, 1.6)
    cloud(canvas, 124, 44, 1.4)
    cloud(canvas, 112, 8, 1.0)
    biplane(canvas, 22, 1, 1.0)
    lettering(canvas, "VORSKAL", 25, 58, 2)
    return canvas


def icon():
    canvas = Canvas(64, 64, SKY_LOW)
    sky(canvas)
    cloud(canvas, 14, 50, 1.3)
    biplane(canvas, 1, 12, 0.62)
    return canvas


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_picture.py OUT_DIR")
    out_dir = sys.argv[1]
    write_bmp(picture(), out_dir + "/vorskal.bmp")
    write_png(icon(), out_dir + "/vorskal.png")


if __name__ == "__main__":
    main()
