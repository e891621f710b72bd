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


# ---------------------------------------------------------------------------

def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    data = os.path.join(root, "data")
    write(os.path.join(data, "quirew.gif"), gif_bytes(make_logo()))


if __name__ == "__main__":
    main()
