# SPDX-FileCopyrightText: 2026 The tarnvel developers
# SPDX-License-Identifier: MIT
# Draws the tarnvel icon and formula bitmap; `python3 resources/art/draw.py` (from the repo root) regenerates the files.
"""Pixel art for tarnvel, written as raw Windows ICO / BMP bytes.

Outputs (paths relative to the repo root):
  resources/tarnvel.ico  - 32x32 and 16x16, 4 bits per pixel: a chip on a circuit board
  resources/formula.bmp  - 108x40, 4 bits per pixel: Z = 0.00022 B / (C h r sqrt(L))
  resources/icons/NxN/tarnvel.png - the icon for the hicolor theme: 16 and 32 are the two
                           images of tarnvel.ico, 128 and 256 the 32x32 one scaled up with
                           nearest neighbour, so the pixel art stays crisp

Only the Python standard library is used.  Every picture is a grid of
palette indices (lists of rows, top row first); the writers below take care
of the bottom-up, 4-byte padded row layout the file formats want.
"""

import os
import struct
import zlib

# Standard Windows 16-colour (VGA) palette, as (red, green, blue).
PALETTE = [
    (0x00, 0x00, 0x00),  # 0  black
    (0x80, 0x00, 0x00),  # 1  dark red
    (0x00, 0x80, 0x00),  # 2  dark green
    (0x80, 0x80, 0x00),  # 3  dark yellow
    (0x00, 0x00, 0x80),  # 4  dark blue
    (0x80, 0x00, 0x80),  # 5  dark magenta
    (0x00, 0x80, 0x80),  # 6  dark cyan
    (0xC0, 0xC0, 0xC0),  # 7  light grey
    (0x80, 0x80, 0x80),  # 8  dark grey
    (0xFF, 0x00, 0x00),  # 9  red
    (0x00, 0xFF, 0x00),  # 10 green
    (0xFF, 0xFF, 0x00),  # 11 yellow
    (0x00, 0x00, 0xFF),  # 12 blue
    (0xFF, 0x00, 0xFF),  # 13 magenta
    (0x00, 0xFF, 0xFF),  # 14 cyan
    (0xFF, 0xFF, 0xFF),  # 15 white
]
BLACK, DARK_GREEN, DARK_BLUE, LIGHT_GREY = 0, 2, 4, 7

# ---------------------------------------------------------------------------
# Icon artwork.  One character per pixel:
#   .  dark blue ground      K  black chip body      d  dark grey edge / marks
#   w  light grey legs       Y  yellow copper        y  dark yellow copper
#   g  green board edge      G  dark green board
# ---------------------------------------------------------------------------
ICON_KEY = {".": 4, "K": 0, "d": 8, "w": 7, "Y": 11, "y": 3, "g": 10, "G": 2}

ICON_32 = [
    "................................",
    "................................",
    "................................",
    "................................",
    "................................",
    "....dddddddddd....dddddddddd....",
    "....dKKKKKKKKKd..dKKKKKKKKKK....",
    "....dKKKKKKKKKKddKKKKKKKKKKK....",
    "....dKKKKKKKKKKKKKKKKKKKKKKK....",
    "....dKddKKKKKKKKKKKKKKKKKKKK....",
    "....dKddKKKKKKKKKKKKKKKKKKKK....",
    "....dKKKKKKKKKKKKKKKKKKKKKKK....",
    "....dKKKKKKKKKKKKKKKKKKKKKKK....",
    "....dKKKdddKddddKddKdddKKKKK....",
    "....dKKKKKKKKKKKKKKKKKKKKKKK....",
    "....dKKKddKdddKdddddKKKKKKKK....",
    "....dKKKKKKKKKKKKKKKKKKKKKKK....",
    "....dKKKKKKKKKKKKKKKKKKKKKKK....",
    "....dKKKKKKKKKKKKKKKKKKKKKKK....",
    ".......wd...wd....wd...wd.......",
    ".......wd...wd....wd...wd.......",
    ".......wd...wd....wd...wd.......",
    ".......wd...wd....wd...wd.......",
    ".......wd...wd....wd...wd.......",
    "ggggggYYYYgYYYYggggYYYYgYYYYgggg",
    "GGGGGGGYGGGGGGGGGGGGGGGGYGGGGGGG",
    "GGyyGGGYGGGGGGGGGGGGGGGGYGGGyyGG",
    "GyKKyYYYYYYYYYYYYYYYYYYYYYYyKKyG",
    "GGyyGGGGGGGGGGGGGGGGGGGGGGGGyyGG",
    "GGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGG",
    "GGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGG",
    "GGGGGGGGGGGGGGGGGGGGGGGGGGGGGGGG",
]

ICON_16 = [
    "................",
    "................",
    "................",
    "..ddddd..ddddd..",
    "..dKKKKddKKKKK..",
    "..dKdKKKKKKKKK..",
    "..dKKKKKKKKKKK..",
    "..dKKddKdddKKK..",
    "..dKKKKKKKKKKK..",
    "..dKKKKKKKKKKK..",
    "...w..w..w..w...",
    "...w..w..w..w...",
    "gggYggYggYggYggg",
    "GGGYGGGGGGGGYGGG",
    "GGGYYYYYYYYYYGGG",
    "GGGGGGGGGGGGGGGG",
]


def grid_from_art(art, key):
    """Turn a list of equal-length strings into rows of palette indices."""
    width = len(art[0])
    for line in art:
        assert len(line) == width, "ragged art row: %r" % line
    return [[key[ch] for ch in line] for line in art]


# ---------------------------------------------------------------------------
# Formula artwork: a tiny 5x7 font ('#' = ink).  Glyphs may be narrower than
# five columns; the square-root sign is taller and is placed by hand.
# ---------------------------------------------------------------------------
FONT = {
    "0": [".###.",
          "#...#",
          "#...#",
          "#...#",
          "#...#",
          "#...#",
          ".###."],
    "2": [".###.",
          "#...#",
          "....#",
          "...#.",
          "..#..",
          ".#...",
          "#####"],
    ".": [".",
          ".",
          ".",
          ".",
          ".",
          ".",
          "#"],
    " ": ["...",
          "...",
          "...",
          "...",
          "...",
          "...",
          "..."],
    "=": [".....",
          ".....",
          "#####",
          ".....",
          "#####",
          ".....",
          "....."],
    "B": ["####.",
          "#...#",
          "#...#",
          "####.",
          "#...#",
          "#...#",
          "####."],
    "C": [".###.",
          "#...#",
          "#....",
          "#....",
          "#....",
          "#...#",
          ".###."],
    "L": ["#....",
          "#....",
          "#....",
          "#....",
          "#....",
          "#....",
          "#####"],
    "Z": ["#####",
          "....#",
          "...#.",
          "..#..",
          ".#...",
          "#....",
          "#####"],
    "h": ["#....",
          "#....",
          "#.##.",
          "##..#",
          "#...#",
          "#...#",
          "#...#"],
    "r": ["....",
          "....",
          "#.##",
          "##..",
          "#...",
          "#...",
          "#..."],
}
GLYPH_HEIGHT = 7
LETTER_GAP = 1  # blank columns between neighbouring glyphs

# Square-root sign, 9 rows tall: its top row is the overbar height, two rows
# above the text; its last row sits on the text baseline.
ROOT = ["....#",
        "....#",
        "....#",
        "...#.",
        "...#.",
        "#..#.",
        ".#.#.",
        ".##..",
        "..#.."]
ROOT_RISE = len(ROOT) - GLYPH_HEIGHT  # rows the sign reaches above the text

FORMULA_W, FORMULA_H = 108, 40


def text_width(text):
    return sum(len(FONT[ch][0]) for ch in text) + LETTER_GAP * (len(text) - 1)


class Canvas:
    def __init__(self, width, height, fill):
        self.width, self.height = width, height
        self.px = [[fill] * width for _ in range(height)]

    def plot(self, x, y, colour):
        assert 0 <= x < self.width and 0 <= y < self.height, (x, y)
        self.px[y][x] = colour

    def pattern(self, x, y, rows, colour):
        """Draw a '#' pattern with its top-left corner at (x, y)."""
        for dy, line in enumerate(rows):
            for dx, ch in enumerate(line):
                if ch == "#":
                    self.plot(x + dx, y + dy, colour)

    def hline(self, x0, x1, y, colour):
        for x in range(x0, x1 + 1):
            self.plot(x, y, colour)

    def text(self, x, y, text, colour):
        """Draw text with its top at y; returns the x just after the last glyph."""
        for ch in text:
            self.pattern(x, y, FONT[ch], colour)
            x += len(FONT[ch][0]) + LETTER_GAP
        return x - LETTER_GAP


def draw_formula():
    c = Canvas(FORMULA_W, FORMULA_H, LIGHT_GREY)
    ink = BLACK

    lhs = "Z ="
    numerator = "0.00022 B"
    denominator = "C h r "  # followed by the root sign and L
    lhs_gap = 5   # columns between "=" and the fraction bar
    bar_pad = 2   # bar overhang either side of the wider line
    above_bar = 2  # blank rows between numerator and bar
    below_bar = 2  # blank rows between bar and the root's overbar

    root_w = len(ROOT[0])
    # Denominator: text, root sign, then L under an overbar that runs from
    # the root's top-right corner to one column past L.
    den_w = text_width(denominator) + LETTER_GAP + root_w + 1 + text_width("L") + 1
    num_w = text_width(numerator)
    bar_w = max(num_w, den_w) + 2 * bar_pad

    total_w = text_width(lhs) + lhs_gap + bar_w
    x0 = (FORMULA_W - total_w) // 2

    # Rows: numerator, gap, bar, gap, root (overbar + text).
    total_h = GLYPH_HEIGHT + above_bar + 1 + below_bar + len(ROOT)
    y_num = (FORMULA_H - total_h + 1) // 2
    y_bar = y_num + GLYPH_HEIGHT + above_bar
    y_root = y_bar + 1 + below_bar
    y_den = y_root + ROOT_RISE

    # "Z =" with the middle of its glyphs on the bar's row.
    c.text(x0, y_bar - GLYPH_HEIGHT // 2, lhs, ink)

    bar_x0 = x0 + text_width(lhs) + lhs_gap
    c.hline(bar_x0, bar_x0 + bar_w - 1, y_bar, ink)

    c.text(bar_x0 + (bar_w - num_w) // 2, y_num, numerator, ink)

    x = bar_x0 + (bar_w - den_w) // 2
    x = c.text(x, y_den, denominator, ink) + LETTER_GAP
    c.pattern(x, y_root, ROOT, ink)
    over_x0 = x + root_w - 1
    x += root_w + 1
    end = c.text(x, y_den, "L", ink)
    c.hline(over_x0, end + 1, y_root, ink)
    return c.px


# ---------------------------------------------------------------------------
# File writers
# ---------------------------------------------------------------------------
def palette_bytes():
    return b"".join(struct.pack("<4B", b, g, r, 0) for (r, g, b) in PALETTE)


def pack_4bpp(grid):
    """Colour rows, bottom row first, two pixels a byte, each row padded to 4 bytes."""
    out = bytearray()
    for row in reversed(grid):
        line = bytearray()
        for i in range(0, len(row), 2):
            hi = row[i]
            lo = row[i + 1] if i + 1 < len(row) else 0
            line.append((hi << 4) | lo)
        line.extend(b"\0" * (-len(line) % 4))
        out += line
    return bytes(out)


def pack_1bpp(grid):
    """Mask rows (0 or 1 per pixel), bottom row first, each row padded to 4 bytes."""
    out = bytearray()
    for row in reversed(grid):
        line = bytearray((len(row) + 7) // 8)
        for x, bit in enumerate(row):
            if bit:
                line[x // 8] |= 0x80 >> (x % 8)
        line.extend(b"\0" * (-len(line) % 4))
        out += line
    return bytes(out)


def info_header(width, height, size_image, ppm=0, colours_used=0):
    return struct.pack("<IiiHHIIiiII",
                       40,            # biSize
                       width, height,  # height > 0: rows stored bottom-up
                       1, 4,          # biPlanes, biBitCount
                       0,             # BI_RGB, uncompressed
                       size_image,
                       ppm, ppm,      # biXPelsPerMeter, biYPelsPerMeter
                       colours_used, 0)


def icon_image(grid):
    """One ICO entry: header with doubled height, palette, colour bitmap, AND mask."""
    h, w = len(grid), len(grid[0])
    xor = pack_4bpp(grid)
    mask = pack_1bpp([[0] * w for _ in range(h)])  # fully opaque
    return info_header(w, 2 * h, len(xor) + len(mask)) + palette_bytes() + xor + mask


def ico_bytes(grids):
    images = [icon_image(g) for g in grids]
    out = struct.pack("<HHH", 0, 1, len(grids))  # reserved, type 1 = icon, count
    offset = 6 + 16 * len(grids)
    for g, img in zip(grids, images):
        w, h = len(g[0]), len(g)
        out += struct.pack("<BBBBHHII",
                           w % 256, h % 256,  # 0 would mean 256
                           16, 0,             # colour count, reserved
                           1, 4,              # planes, bits per pixel
                           len(img), offset)
        offset += len(img)
    return out + b"".join(images)


def bmp_bytes(grid):
    h, w = len(grid), len(grid[0])
    pixels = pack_4bpp(grid)
    header = info_header(w, h, len(pixels), ppm=3780, colours_used=16)  # 96 dpi
    pal = palette_bytes()
    offset = 14 + len(header) + len(pal)
    filehdr = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return filehdr + header + pal + pixels


def scale_nearest(grid, size):
    """The grid resized to size x size, each pixel taking the source pixel it falls on."""
    h, w = len(grid), len(grid[0])
    return [[grid[y * h // size][x * w // size] for x in range(size)] for y in range(size)]


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png_bytes(grid):
    """An opaque 4-bit palette PNG with the 16-colour palette; no timestamp, so reruns are byte-identical."""
    h, w = len(grid), len(grid[0])
    ihdr = struct.pack(">IIBBBBB", w, h, 4, 3, 0, 0, 0)  # 4 bits, palette colour, no interlace
    plte = b"".join(struct.pack("3B", *rgb) for rgb in PALETTE)
    raw = bytearray()
    for row in grid:
        raw.append(0)  # filter: none
        for i in range(0, w, 2):
            raw.append((row[i] << 4) | (row[i + 1] if i + 1 < w else 0))
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", ihdr) + png_chunk(b"PLTE", plte)
            + png_chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + png_chunk(b"IEND", b""))


def hicolor_icons(icon_32, icon_16):
    """The hicolor icon sizes, each with its picture."""
    return {16: icon_16, 32: icon_32,
            128: scale_nearest(icon_32, 128), 256: scale_nearest(icon_32, 256)}


def main():
    resources = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    icon_32, icon_16 = grid_from_art(ICON_32, ICON_KEY), grid_from_art(ICON_16, ICON_KEY)
    with open(os.path.join(resources, "tarnvel.ico"), "wb") as f:
        f.write(ico_bytes([icon_32, icon_16]))
    for size, grid in hicolor_icons(icon_32, icon_16).items():
        folder = os.path.join(resources, "icons", "%dx%d" % (size, size))
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "tarnvel.png"), "wb") as f:
            f.write(png_bytes(grid))
    with open(os.path.join(resources, "formula.bmp"), "wb") as f:
        f.write(bmp_bytes(draw_formula()))


if __name__ == "__main__":
    main()
