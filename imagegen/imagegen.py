#!/usr/bin/env python3
"""Draws every support image of Quirewright: the product logo, the tree icon sets,
the topic icon strip and its GIF copies, the About page picture and the sample's paper
texture. Standard library only; run it from anywhere:

    python3 imagegen/imagegen.py [REPO_ROOT]

Every image is drawn from code, so running it again gives the same bytes.
"""

import os
import struct
import sys
import zlib


# ---------------------------------------------------------------------------
# Canvas: an indexed image with a palette of (r, g, b) tuples.

class Canvas:
    def __init__(self, width, height, palette, fill=0):
        self.w = width
        self.h = height
        self.palette = list(palette)
        self.px = bytearray([fill]) * (width * height)
        self.transparent = None

    def colour(self, rgb):
        """Palette index of rgb, added when new."""
        if rgb in self.palette:
            return self.palette.index(rgb)
        if len(self.palette) >= 256:
            raise ValueError("palette full")
        self.palette.append(rgb)
        return len(self.palette) - 1

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y * self.w + x] = c

    def get(self, x, y):
        return self.px[y * self.w + x]

    def rect(self, x0, y0, x1, y1, c):
        """Filled rectangle, inclusive corners."""
        for y in range(max(0, y0), min(self.h, y1 + 1)):
            for x in range(max(0, x0), min(self.w, x1 + 1)):
                self.px[y * self.w + x] = c

    def frame(self, x0, y0, x1, y1, c):
        self.hline(x0, x1, y0, c)
        self.hline(x0, x1, y1, c)
        self.vline(x0, y0, y1, c)
        self.vline(x1, y0, y1, c)

    def hline(self, x0, x1, y, c):
        for x in range(min(x0, x1), max(x0, x1) + 1):
            self.set(x, y, c)

    def vline(self, x, y0, y1, c):
        for y in range(min(y0, y1), max(y0, y1) + 1):
            self.set(x, y, c)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx = 1 if x0 < x1 else -1
        sy = 1 if y0 < y1 else -1
        err = dx + dy
        while True:
            self.set(x0, y0, c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def dotted_hline(self, x0, x1, y, c):
        for x in range(x0, x1 + 1):
            if x % 2 == 0:
                self.set(x, y, c)

    def dotted_vline(self, x, y0, y1, c):
        for y in range(y0, y1 + 1):
            if y % 2 == 0:
                self.set(x, y, c)

    def disc(self, cx, cy, r, c):
        for y in range(cy - r, cy + r + 1):
            for x in range(cx - r, cx + r + 1):
                if (x - cx) ** 2 + (y - cy) ** 2 <= r * r + r:
                    self.set(x, y, c)

    def polygon(self, points, c):
        """Filled polygon by even-odd scan at pixel centres."""
        ys = [p[1] for p in points]
        for y in range(max(0, min(ys)), min(self.h, max(ys) + 1)):
            yc = y + 0.5
            xs = []
            n = len(points)
            for i in range(n):
                (xa, ya), (xb, yb) = points[i], points[(i + 1) % n]
                if (ya <= yc < yb) or (yb <= yc < ya):
                    xs.append(xa + (yc - ya) * (xb - xa) / (yb - ya))
            xs.sort()
            for i in range(0, len(xs) - 1, 2):
                for x in range(int(xs[i] + 0.5), int(xs[i + 1] + 0.5)):
                    self.set(x, y, c)

    def blit(self, other, ox, oy, mapping=None):
        """Copies other onto self; other's transparent pixels are skipped."""
        for y in range(other.h):
            for x in range(other.w):
                v = other.get(x, y)
                if other.transparent is not None and v == other.transparent:
                    continue
                rgb = other.palette[v]
                self.set(ox + x, oy + y, self.colour(rgb) if mapping is None else mapping[v])


# ---------------------------------------------------------------------------
# GIF writer (GIF89a, one image, LZW compressed) and BMP writer.

def lzw_encode(indices, min_code_size):
    clear = 1 << min_code_size
    eoi = clear + 1
    out = bytearray()
    bitbuf = 0
    bitcount = 0

    def emit(code, width):
        nonlocal bitbuf, bitcount
        bitbuf |= code << bitcount
        bitcount += width
        while bitcount >= 8:
            out.append(bitbuf & 0xFF)
            bitbuf >>= 8
            bitcount -= 8

    width = min_code_size + 1
    table = {}
    next_code = eoi + 1
    emit(clear, width)
    prefix = None
    for k in indices:
        if prefix is None:
            prefix = k
            continue
        key = (prefix, k)
        if key in table:
            prefix = table[key]
            continue
        emit(prefix, width)
        if next_code < 4096:
            table[key] = next_code
            next_code += 1
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            emit(clear, width)
            table = {}
            next_code = eoi + 1
            width = min_code_size + 1
        prefix = k
    if prefix is not None:
        emit(prefix, width)
    emit(eoi, width)
    if bitcount:
        out.append(bitbuf & 0xFF)
    return bytes(out)


def gif_bytes(canvas):
    ncol = max(2, len(canvas.palette))
    bits = 1
    while (1 << bits) < ncol:
        bits += 1
    table = list(canvas.palette) + [(0, 0, 0)] * ((1 << bits) - len(canvas.palette))
    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", canvas.w, canvas.h, 0x80 | ((bits - 1) << 4) | (bits - 1), 0, 0)
    for r, g, b in table:
        data += bytes((r, g, b))
    if canvas.transparent is not None:
        data += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, 1, 0, canvas.transparent, 0)
    data += struct.pack("<BHHHHB", 0x2C, 0, 0, canvas.w, canvas.h, 0)
    min_code_size = max(2, bits)
    data.append(min_code_size)
    lzw = lzw_encode(canvas.px, min_code_size)
    for i in range(0, len(lzw), 255):
        chunk = lzw[i:i + 255]
        data.append(len(chunk))
        data += chunk
    data.append(0)
    data.append(0x3B)
    return bytes(data)


def bmp_bytes(canvas):
    """8-bit indexed, bottom-up, uncompressed Windows bitmap."""
    stride = (canvas.w + 3) & ~3
    palette = list(canvas.palette) + [(0, 0, 0)] * (256 - len(canvas.palette))
    pixels = bytearray()
    for y in range(canvas.h - 1, -1, -1):
        row = canvas.px[y * canvas.w:(y + 1) * canvas.w]
        pixels += row + bytes(stride - canvas.w)
    header_size = 14 + 40 + 256 * 4
    data = bytearray(b"BM")
    data += struct.pack("<IHHI", header_size + len(pixels), 0, 0, header_size)
    data += struct.pack("<IiiHHIIiiII", 40, canvas.w, canvas.h, 1, 8, 0, len(pixels), 2835, 2835, 256, 0)
    for r, g, b in palette:
        data += bytes((b, g, r, 0))
    data += pixels
    return bytes(data)


def png_bytes(canvas, size):
    """RGBA PNG of canvas resampled to size x size: averaged when smaller, nearest when
    larger; the transparent index gives alpha 0."""
    def rgba(x, y):
        v = canvas.get(x, y)
        if canvas.transparent is not None and v == canvas.transparent:
            return (0, 0, 0, 0)
        return canvas.palette[v] + (255,)
    rows = bytearray()
    for y in range(size):
        rows.append(0)
        for x in range(size):
            if size >= canvas.w:
                rows += bytes(rgba(x * canvas.w // size, y * canvas.h // size))
                continue
            x0, x1 = x * canvas.w // size, (x + 1) * canvas.w // size
            y0, y1 = y * canvas.h // size, (y + 1) * canvas.h // size
            px = [rgba(xx, yy) for yy in range(y0, y1) for xx in range(x0, x1)]
            alpha = sum(p[3] for p in px)
            if alpha == 0:
                rows += bytes(4)
                continue
            rows += bytes(tuple(sum(p[i] * p[3] for p in px) // alpha for i in range(3)) +
                          (alpha // len(px),))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(bytes(rows), 9)) + chunk(b"IEND", b""))


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


# ---------------------------------------------------------------------------
# A small bitmap font (5 x 7) for the logo and the About picture.

FONT = {
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "B": ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    "C": ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "G": ["01110", "10001", "10000", "10111", "10001", "10001", "01111"],
    "H": ["10001", "10001", "10001", "11111", "10001", "10001", "10001"],
    "I": ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "N": ["10001", "11001", "10101", "10011", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "Q": ["01110", "10001", "10001", "10001", "10101", "10010", "01101"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "U": ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    "V": ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    "W": ["10001", "10001", "10001", "10101", "10101", "10101", "01010"],
    "a": ["00000", "00000", "01110", "00001", "01111", "10001", "01111"],
    "b": ["10000", "10000", "10110", "11001", "10001", "10001", "11110"],
    "e": ["00000", "00000", "01110", "10001", "11111", "10000", "01110"],
    "g": ["00000", "01111", "10001", "10001", "01111", "00001", "01110"],
    "h": ["10000", "10000", "10110", "11001", "10001", "10001", "10001"],
    "i": ["00100", "00000", "01100", "00100", "00100", "00100", "01110"],
    "l": ["01100", "00100", "00100", "00100", "00100", "00100", "01110"],
    "m": ["00000", "00000", "11010", "10101", "10101", "10001", "10001"],
    "n": ["00000", "00000", "10110", "11001", "10001", "10001", "10001"],
    "o": ["00000", "00000", "01110", "10001", "10001", "10001", "01110"],
    "p": ["00000", "00000", "11110", "10001", "11110", "10000", "10000"],
    "r": ["00000", "00000", "10110", "11001", "10000", "10000", "10000"],
    "t": ["01000", "01000", "11100", "01000", "01000", "01001", "00110"],
    "u": ["00000", "00000", "10001", "10001", "10001", "10011", "01101"],
    "w": ["00000", "00000", "10001", "10001", "10101", "10101", "01010"],
    "1": ["00100", "01100", "00100", "00100", "00100", "00100", "01110"],
    ".": ["00000", "00000", "00000", "00000", "00000", "01100", "01100"],
    " ": ["00000"] * 7,
}


def text_width(text, scale):
    return len(text) * 6 * scale - scale


def draw_text(canvas, x, y, text, scale, c, shadow=None):
    for ch in text:
        glyph = FONT[ch]
        for gy, row in enumerate(glyph):
            for gx, bit in enumerate(row):
                if bit != "1":
                    continue
                if shadow is not None:
                    canvas.rect(x + gx * scale + 1, y + gy * scale + 1,
                                x + gx * scale + scale, y + gy * scale + scale, shadow)
        for gy, row in enumerate(glyph):
            for gx, bit in enumerate(row):
                if bit == "1":
                    canvas.rect(x + gx * scale, y + gy * scale,
                                x + gx * scale + scale - 1, y + gy * scale + scale - 1, c)
        x += 6 * scale


# ---------------------------------------------------------------------------
# The product logo: an open quire of pages beside the name, on a blue band.

def draw_quire(canvas, x, y, paper, line, edge, ink):
    """An open booklet 64 x 52 at x, y."""
    # left and right page as slanted quadrilaterals
    canvas.polygon([(x, y + 6), (x + 31, y + 12), (x + 31, y + 52), (x, y + 46)], paper)
    canvas.polygon([(x + 33, y + 12), (x + 64, y + 6), (x + 64, y + 46), (x + 33, y + 52)], paper)
    canvas.line(x, y + 6, x + 31, y + 12, edge)
    canvas.line(x + 33, y + 12, x + 64, y + 6, edge)
    canvas.line(x, y + 46, x + 31, y + 52, edge)
    canvas.line(x + 33, y + 52, x + 64, y + 46, edge)
    canvas.vline(x, y + 6, y + 46, edge)
    canvas.vline(x + 64, y + 6, y + 46, edge)
    canvas.vline(x + 32, y + 12, y + 52, edge)
    # text lines on each page
    for i in range(6):
        yy = y + 18 + i * 5
        canvas.line(x + 5, yy - 4 + 0, x + 26, yy, line)
        canvas.line(x + 38, yy, x + 59, yy - 4, line)
    # a bookmark ribbon
    canvas.polygon([(x + 46, y), (x + 52, y), (x + 52, y + 16), (x + 49, y + 13), (x + 46, y + 16)], ink)


def make_logo():
    pal = [(255, 255, 255)]
    c = Canvas(329, 91, pal)
    top, bottom = (16, 52, 120), (56, 112, 184)
    for y in range(91):
        t = y / 90.0
        rgb = tuple(int(top[i] + (bottom[i] - top[i]) * t) & 0xF8 for i in range(3))
        c.hline(0, 328, y, c.colour(rgb))
    gold = c.colour((240, 200, 64))
    white = c.colour((255, 255, 255))
    shadow = c.colour((8, 24, 56))
    paper = c.colour((252, 248, 232))
    line = c.colour((150, 160, 180))
    edge = c.colour((40, 40, 60))
    red = c.colour((200, 40, 40))
    draw_quire(c, 14, 18, paper, line, edge, red)
    draw_text(c, 96, 14, "QuireW", 6, white, shadow)
    draw_text(c, 86, 66, "HTMLHelp Quirewright", 2, gold)
    c.hline(86, 323, 60, gold)
    return c


def make_app_icon():
    """The programs' icon: the open quire on a rounded blue tile, 64 x 64."""
    c = Canvas(64, 64, [(0, 0, 0)])
    c.transparent = 0
    blue = c.colour((40, 88, 168))
    dark = c.colour((16, 52, 120))
    for y in range(64):
        for x in range(64):
            dx = max(0, 7 - x, x - 56)
            dy = max(0, 7 - y, y - 56)
            if dx * dx + dy * dy <= 49:
                c.set(x, y, dark if (dx * dx + dy * dy > 30 or y > 60) else blue)
    paper = c.colour((252, 248, 232))
    line = c.colour((150, 160, 180))
    edge = c.colour((20, 20, 40))
    red = c.colour((200, 40, 40))
    quire = Canvas(66, 54, [(0, 0, 0)])
    quire.transparent = 0
    draw_quire(quire, 0, 0, quire.colour((252, 248, 232)), quire.colour((150, 160, 180)),
               quire.colour((20, 20, 40)), quire.colour((200, 40, 40)))
    del paper, line, edge, red
    # the quire shrunk to 52 x 42 by dropping every fifth row and column
    keep_x = [x for x in range(65) if x % 5 != 2][:52]
    keep_y = [y for y in range(53) if y % 5 != 2][:42]
    for ny, y in enumerate(keep_y):
        for nx, x in enumerate(keep_x):
            v = quire.get(x, y)
            if v != quire.transparent:
                c.set(6 + nx, 12 + ny, c.colour(quire.palette[v]))
    return c


def make_project_icon():
    """A project file: a page with a folded corner and the quire's ribbon, 64 x 64."""
    c = Canvas(64, 64, [(0, 0, 0)])
    c.transparent = 0
    paper = c.colour((252, 252, 248))
    edge = c.colour((80, 80, 96))
    fold = c.colour((208, 212, 224))
    line = c.colour((150, 160, 180))
    blue = c.colour((40, 88, 168))
    red = c.colour((200, 40, 40))
    c.polygon([(10, 2), (42, 2), (54, 14), (54, 62), (10, 62)], paper)
    c.polygon([(42, 2), (54, 14), (42, 14)], fold)
    for a, b in [((10, 2), (42, 2)), ((42, 2), (54, 14)), ((54, 14), (54, 62)),
                 ((54, 62), (10, 62)), ((10, 62), (10, 2)), ((42, 2), (42, 14)),
                 ((42, 14), (54, 14))]:
        c.line(a[0], a[1], b[0], b[1], edge)
    c.rect(16, 20, 48, 27, blue)
    for y in range(33, 58, 5):
        c.hline(16, 48, y, line)
    c.polygon([(38, 0), (44, 0), (44, 22), (41, 19), (38, 22)], red)
    return c


ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


# ---------------------------------------------------------------------------
# Shared palette of the small images. Index 0 is the background: transparent in the GIFs,
# white in the icon strip bitmap.

COLOURS = {
    "bg": (255, 255, 255), "k": (0, 0, 0), "w": (255, 255, 255), "g1": (64, 64, 64),
    "g2": (128, 128, 128), "g3": (192, 192, 192), "g4": (224, 224, 224),
    "r": (208, 32, 32), "rd": (128, 0, 0), "gr": (32, 160, 48), "gd": (0, 96, 0),
    "b": (40, 96, 216), "bd": (0, 32, 128), "bl": (150, 190, 255), "y": (255, 224, 64),
    "yd": (176, 136, 0), "o": (240, 140, 32), "p": (144, 64, 176), "c": (32, 176, 192),
    "cr": (255, 250, 228), "br": (128, 80, 32), "pk": (240, 120, 160),
}
NAMES = list(COLOURS)


def small_canvas(w, h):
    c = Canvas(w, h, [COLOURS[n] for n in NAMES])
    c.transparent = 0
    return c


class Pen:
    """Draws on a canvas at an offset, with colours by name."""

    def __init__(self, canvas, ox=0, oy=0):
        self.c, self.ox, self.oy = canvas, ox, oy

    def k(self, name):
        return NAMES.index(name)

    def px(self, x, y, col):
        self.c.set(self.ox + x, self.oy + y, self.k(col))

    def rect(self, x0, y0, x1, y1, col):
        self.c.rect(self.ox + x0, self.oy + y0, self.ox + x1, self.oy + y1, self.k(col))

    def frame(self, x0, y0, x1, y1, col):
        self.c.frame(self.ox + x0, self.oy + y0, self.ox + x1, self.oy + y1, self.k(col))

    def box(self, x0, y0, x1, y1, fill, edge="k"):
        self.rect(x0, y0, x1, y1, fill)
        self.frame(x0, y0, x1, y1, edge)

    def line(self, x0, y0, x1, y1, col):
        self.c.line(self.ox + x0, self.oy + y0, self.ox + x1, self.oy + y1, self.k(col))

    def disc(self, x, y, r, col):
        self.c.disc(self.ox + x, self.oy + y, r, self.k(col))

    def poly(self, pts, col):
        self.c.polygon([(self.ox + x, self.oy + y) for x, y in pts], self.k(col))

    def bitmap(self, x, y, rows, col):
        for dy, row in enumerate(rows):
            for dx, ch in enumerate(row):
                if ch == "#":
                    self.px(x + dx, y + dy, col)


# ---------------------------------------------------------------------------
# The 42 topic icons (16 x 16).

def book(p, cover, dark):
    p.box(3, 1, 12, 14, cover, dark)
    p.rect(4, 2, 4, 13, dark)
    p.rect(12, 3, 13, 14, "cr")
    p.frame(12, 3, 13, 14, "g2")
    p.rect(6, 4, 10, 5, "w")


def open_book(p, ink):
    p.poly([(1, 3), (8, 5), (8, 14), (1, 12)], "cr")
    p.poly([(8, 5), (15, 3), (15, 12), (8, 14)], "cr")
    p.line(1, 3, 7, 5, "k"), p.line(9, 5, 15, 3, "k")
    p.line(1, 12, 7, 14, "k"), p.line(9, 14, 15, 12, "k")
    p.line(1, 3, 1, 12, "k"), p.line(15, 3, 15, 12, "k"), p.line(8, 5, 8, 14, "g1")
    for i in range(3):
        p.line(3, 6 + i * 2, 6, 7 + i * 2, ink)
        p.line(10, 7 + i * 2, 13, 6 + i * 2, ink)


def page(p, lines=True, fill="w"):
    p.poly([(3, 1), (10, 1), (13, 4), (13, 14), (3, 14)], fill)
    p.line(3, 1, 10, 1, "k"), p.line(3, 1, 3, 14, "k"), p.line(3, 14, 13, 14, "k")
    p.line(13, 4, 13, 14, "k"), p.line(10, 1, 13, 4, "k")
    p.rect(10, 2, 10, 4, "g2"), p.rect(11, 4, 12, 4, "g2")
    if lines:
        for y in (6, 8, 10, 12):
            p.rect(5, y, 11, y, "g2")


QMARK = [".###.", "#...#", "....#", "...#.", "..#..", ".....", "..#.."]
EXCL = ["#", "#", "#", "#", ".", "#"]
IMARK = ["#", ".", "#", "#", "#", "#"]
STAR = [(8, 1), (10, 6), (15, 6), (11, 9), (13, 14), (8, 11), (3, 14), (5, 9), (1, 6), (6, 6)]


def draw_icon(i, p):
    if i == 0:
        book(p, "b", "bd")
    elif i == 1:
        open_book(p, "b")
    elif i == 2:
        book(p, "r", "rd")
    elif i == 3:
        book(p, "gr", "gd")
    elif i == 4:
        page(p, lines=False)
    elif i == 5:
        page(p)
    elif i == 6:
        page(p, lines=False)
        p.bitmap(6, 5, QMARK, "b")
    elif i == 7:
        page(p, lines=False)
        p.poly([(x // 2 + 4, y // 2 + 5) for x, y in STAR], "r")
    elif i == 8:
        p.box(2, 2, 13, 13, "y", "yd")
        p.poly([(9, 13), (13, 9), (13, 13)], "yd")
        for y in (5, 7, 9):
            p.rect(4, y, 10, y, "br")
    elif i == 9:
        p.disc(8, 7, 6, "b")
        p.poly([(4, 11), (8, 12), (3, 15)], "b")
        p.bitmap(6, 4, QMARK, "w")
    elif i == 10:
        page(p)
        p.rect(5, 4, 8, 4, "b")
    elif i == 11:
        p.box(1, 5, 14, 13, "y", "yd")
        p.box(1, 3, 6, 5, "y", "yd")
    elif i == 12:
        p.box(1, 3, 6, 5, "y", "yd")
        p.box(1, 5, 12, 13, "yd", "br")
        p.poly([(3, 8), (15, 8), (12, 14), (1, 14)], "y")
        p.line(3, 8, 15, 8, "yd"), p.line(15, 8, 12, 13, "yd"), p.line(1, 13, 12, 13, "yd")
    elif i == 13:
        p.poly([(8, 1), (15, 14), (1, 14)], "y")
        p.line(8, 1, 15, 14, "k"), p.line(8, 1, 1, 14, "k"), p.line(1, 14, 15, 14, "k")
        p.bitmap(8, 5, EXCL, "k")
    elif i == 14:
        p.disc(8, 8, 7, "b")
        p.bitmap(8, 4, IMARK, "w")
        p.rect(7, 6, 7, 6, "w"), p.rect(7, 10, 9, 10, "w")
    elif i == 15:
        p.disc(8, 8, 7, "c")
        p.poly([(4, 4), (8, 3), (9, 7), (5, 9), (3, 7)], "gr")
        p.poly([(10, 9), (13, 8), (13, 12), (10, 13)], "gr")
        p.line(1, 8, 15, 8, "bd"), p.line(8, 1, 8, 15, "bd")
    elif i == 16:
        p.disc(8, 6, 5, "y")
        p.rect(6, 11, 10, 13, "g2"), p.rect(7, 14, 9, 14, "g1")
        p.rect(7, 4, 8, 5, "w")
    elif i == 17:
        p.disc(4, 8, 3, "yd")
        p.rect(4, 8, 4, 8, "bg")
        p.rect(7, 7, 15, 9, "yd"), p.rect(12, 10, 13, 12, "yd"), p.rect(15, 10, 15, 11, "yd")
    elif i == 18:
        p.disc(8, 8, 6, "g2")
        for x, y in ((8, 1), (8, 15), (1, 8), (15, 8), (3, 3), (13, 13), (3, 13), (13, 3)):
            p.disc(x, y, 1, "g2")
        p.disc(8, 8, 2, "bg")
    elif i == 19:
        p.disc(6, 6, 5, "g1")
        p.disc(6, 6, 3, "bl")
        p.line(10, 10, 14, 14, "br"), p.line(10, 11, 13, 14, "br"), p.line(11, 10, 14, 13, "br")
    elif i == 20:
        p.box(1, 1, 14, 14, "bd", "k")
        p.rect(4, 2, 11, 6, "w"), p.rect(9, 3, 10, 5, "bd")
        p.rect(4, 9, 11, 14, "g3")
    elif i == 21:
        p.box(3, 1, 12, 6, "w", "k")
        p.box(1, 6, 14, 11, "g3", "k")
        p.box(3, 10, 12, 14, "w", "k")
        p.px(12, 8, "gr")
    elif i == 22:
        p.box(1, 3, 14, 12, "w", "k")
        p.line(1, 3, 8, 8, "k"), p.line(14, 3, 8, 8, "k")
    elif i == 23:
        p.disc(8, 8, 7, "k")
        p.disc(8, 8, 6, "w")
        p.line(8, 8, 8, 3, "k"), p.line(8, 8, 11, 10, "r")
    elif i == 24:
        for d in range(3):
            p.line(2, 8 + d, 6, 12 + d, "gr")
            p.line(6, 12 + d, 14, 3 + d, "gr")
    elif i == 25:
        for d in range(3):
            p.line(3 + d, 3, 13 + d - 2, 13, "r")
            p.line(13 - d, 3, 3 - d + 2, 13, "r")
    elif i in (26, 27, 28, 29):
        pts = [(2, 6), (8, 6), (8, 2), (14, 8), (8, 14), (8, 10), (2, 10)]
        if i == 27:
            pts = [(16 - x, y) for x, y in pts]
        elif i == 28:
            pts = [(y, 16 - x) for x, y in pts]
        elif i == 29:
            pts = [(y, x) for x, y in pts]
        p.poly(pts, "gr" if i < 28 else "b")
    elif i == 30:
        p.poly(STAR, "y")
        for a, b in zip(STAR, STAR[1:] + STAR[:1]):
            p.line(a[0], a[1], b[0], b[1], "yd")
    elif i == 31:
        p.disc(5, 6, 3, "pk"), p.disc(11, 6, 3, "pk")
        p.poly([(2, 7), (14, 7), (8, 14)], "pk")
    elif i == 32:
        p.rect(3, 1, 3, 15, "br")
        p.poly([(4, 2), (14, 2), (11, 5), (14, 8), (4, 8)], "r")
    elif i == 33:
        p.poly([(11, 1), (15, 5), (6, 14), (2, 10)], "o")
        p.poly([(2, 10), (6, 14), (1, 15)], "cr")
        p.line(11, 1, 15, 5, "rd")
        p.px(1, 15, "k")
    elif i == 34:
        p.frame(4, 2, 11, 8, "g1"), p.frame(5, 3, 10, 8, "g1")
        p.box(2, 7, 13, 14, "yd", "br")
        p.rect(7, 9, 8, 12, "k")
    elif i == 35:
        p.poly([(8, 1), (12, 5), (13, 11), (15, 13), (1, 13), (3, 11), (4, 5)], "y")
        p.line(1, 13, 15, 13, "yd")
        p.disc(8, 14, 1, "yd")
    elif i == 36:
        p.disc(8, 4, 3, "o")
        p.poly([(2, 15), (4, 9), (12, 9), (14, 15)], "b")
    elif i == 37:
        p.poly([(8, 1), (15, 8), (1, 8)], "r")
        p.box(3, 8, 13, 14, "cr", "br")
        p.rect(7, 10, 9, 14, "br")
    elif i == 38:
        p.box(1, 2, 14, 14, "w", "k")
        p.rect(1, 2, 14, 5, "r")
        for y in (7, 10, 13):
            for x in (3, 6, 9, 12):
                p.px(x, y, "g1")
    elif i == 39:
        p.line(1, 14, 15, 14, "k"), p.line(1, 1, 1, 14, "k")
        p.rect(3, 9, 5, 13, "b"), p.rect(7, 5, 9, 13, "r"), p.rect(11, 2, 13, 13, "gr")
    elif i == 40:
        p.disc(8, 8, 7, "g1")
        p.disc(8, 8, 5, "w")
        p.bitmap(6, 5, ["####", "#...", "#...", "#...", "#...", "####"][:6], "g1")
    elif i == 41:
        p.frame(1, 5, 8, 10, "g2"), p.frame(2, 6, 7, 9, "g2")
        p.frame(7, 5, 14, 10, "b"), p.frame(8, 6, 13, 9, "b")


def make_icon_strip():
    strip = small_canvas(42 * 16, 16)
    for i in range(42):
        draw_icon(i, Pen(strip, i * 16, 0))
    strip.transparent = None
    return strip


def make_item_icon(i):
    """A topic icon as the tree shows it: 19 x 18 with the 16 x 16 drawing inside."""
    c = small_canvas(19, 18)
    draw_icon(i, Pen(c, 1, 1))
    return c


# ---------------------------------------------------------------------------
# The tree images of the seven icon sets, 19 x 18 each.

TREE_SETS = {
    # name: (line style, toggle style, folder style, folder colours)
    "Folders": ("dots", "box", "folder", ("y", "yd")),
    "Books": ("dots", "box", "book", ("b", "bd")),
    "OS2": ("dots", "boxc", "folder", ("c", "bd")),
    "Mac": ("solid", "triangle", "folder", ("bl", "b")),
    "Arrows1": ("solid", "arrow", "folder", ("o", "br")),
    "Arrows2": ("dots", "circle", "book", ("r", "rd")),
    "Plus1": ("dots", "raised", "folder", ("gr", "gd")),
}


def branch(p, kind, style):
    col = "g2"
    draw_v = p.c.dotted_vline if style == "dots" else p.c.vline
    draw_h = p.c.dotted_hline if style == "dots" else p.c.hline
    bottom = 17 if kind in ("i", "t") else 9
    draw_v(9, 0, bottom, p.k(col))
    if kind in ("t", "l"):
        draw_h(9, 18, 9 if style != "dots" else 10, p.k(col))


def toggle(p, opened, style):
    if style in ("box", "boxc"):
        p.box(4, 4, 14, 14, "w", "g2")
        sign = "b" if style == "boxc" else "k"
        p.rect(6, 9, 12, 9, sign)
        if not opened:
            p.rect(9, 6, 9, 12, sign)
    elif style == "raised":
        p.rect(3, 3, 15, 15, "g3")
        p.line(3, 3, 15, 3, "w"), p.line(3, 3, 3, 15, "w")
        p.line(3, 15, 15, 15, "g1"), p.line(15, 3, 15, 15, "g1")
        p.rect(6, 8, 12, 10, "gd")
        if not opened:
            p.rect(8, 6, 10, 12, "gd")
    elif style == "triangle":
        if opened:
            p.poly([(4, 6), (15, 6), (9, 13)], "g1")
        else:
            p.poly([(6, 3), (13, 9), (6, 15)], "g1")
    elif style == "arrow":
        pts = [(3, 7), (9, 7), (9, 3), (16, 9), (9, 15), (9, 11), (3, 11)]
        if opened:
            pts = [(y, x) for x, y in pts]
        p.poly(pts, "gr")
    elif style == "circle":
        p.disc(9, 9, 7, "b")
        if opened:
            p.poly([(5, 7), (14, 7), (9, 13)], "w")
        else:
            p.poly([(7, 4), (13, 9), (7, 14)], "w")


def folder(p, opened, style, colours):
    fill, edge = colours
    if style == "book":
        q = Pen(p.c, p.ox + 1, p.oy + 1)
        if opened:
            open_book(q, edge)
        else:
            book(q, fill, edge)
        return
    p.box(2, 4, 8, 6, fill, edge)
    if opened:
        p.box(2, 6, 14, 15, edge, edge)
        p.poly([(5, 9), (18, 9), (15, 16), (2, 16)], fill)
        p.line(5, 9, 17, 9, edge), p.line(17, 9, 14, 15, edge), p.line(2, 15, 14, 15, edge)
    else:
        p.box(2, 6, 16, 15, fill, edge)
        p.line(3, 7, 15, 7, "w")


def treetop(p, colours):
    fill, edge = colours
    p.box(3, 2, 15, 15, fill, edge)
    p.rect(5, 5, 13, 12, "w")
    for y in (7, 9, 11):
        p.rect(7, y, 12, y, "g2")
    p.rect(5, 7, 5, 7, edge), p.rect(5, 9, 5, 9, edge), p.rect(5, 11, 5, 11, edge)


def about_icon(p):
    p.box(1, 1, 17, 16, "bd", "bd")
    q = Pen(p.c, p.ox + 1, p.oy + 1)
    open_book(q, "g2")
    p.rect(12, 2, 13, 7, "r")


def make_tree_set(name):
    lines, toggles, folders, colours = TREE_SETS[name]
    images = {}

    def new(draw):
        c = small_canvas(19, 18)
        draw(Pen(c))
        return c

    images["branch_i.gif"] = new(lambda p: branch(p, "i", lines))
    images["branch_t.gif"] = new(lambda p: branch(p, "t", lines))
    images["branch_l.gif"] = new(lambda p: branch(p, "l", lines))
    images["plus.gif"] = new(lambda p: toggle(p, False, toggles))
    images["minus.gif"] = new(lambda p: toggle(p, True, toggles))
    images["fol_clos.gif"] = new(lambda p: folder(p, False, folders, colours))
    images["fol_open.gif"] = new(lambda p: folder(p, True, folders, colours))
    images["treetop.gif"] = new(lambda p: treetop(p, colours))
    images["aboutqwr.gif"] = new(about_icon)
    return images


# ---------------------------------------------------------------------------
# The sample's paper texture: pale cream with a faint fibre, from a fixed sequence.

def make_paper():
    shades = [(250, 246, 232), (246, 241, 224), (252, 249, 238), (242, 236, 218)]
    c = Canvas(64, 64, shades)
    seed = 12345
    for i in range(64 * 64):
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        r = (seed >> 16) % 100
        c.px[i] = 0 if r < 70 else (1 if r < 85 else (2 if r < 96 else 3))
    return c


# ---------------------------------------------------------------------------

def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    data = os.path.join(root, "data")
    write(os.path.join(data, "quirew.gif"), gif_bytes(make_logo()))
    write(os.path.join(data, "deficons.bmp"), bmp_bytes(make_icon_strip()))
    for i in range(42):
        write(os.path.join(data, "Icons", "Items", "icon_%d.gif" % i), gif_bytes(make_item_icon(i)))
    for name in TREE_SETS:
        for file, canvas in make_tree_set(name).items():
            write(os.path.join(data, "Icons", name, file), gif_bytes(canvas))
    write(os.path.join(root, "examples", "sample", "images", "paper.gif"), gif_bytes(make_paper()))
    icons = os.path.join(root, "packaging", "icons", "hicolor")
    app, project = make_app_icon(), make_project_icon()
    for size in ICON_SIZES:
        folder = os.path.join(icons, "%dx%d" % (size, size))
        write(os.path.join(folder, "apps", "quirew.png"), png_bytes(app, size))
        write(os.path.join(folder, "mimetypes", "application-x-quirew-project.png"),
              png_bytes(project, size))


if __name__ == "__main__":
    main()
