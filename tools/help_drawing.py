"""What the help's pictures are drawn with: a canvas of palette colours,
lines, boxes and text in MS Sans Serif as Wine's bitmap font file has it
(fonts-wine, which tools/bootstrap installs), and a PNG encoder.

The help viewer of Windows XP shows PNG without an alpha channel, so every
picture is an indexed-colour PNG with an opaque palette. Everything here is
standard library and deterministic: the same drawing gives the same bytes.
"""

import struct
import zlib

FONT_FILE = "/usr/share/wine/fonts/sserife.fon"

WHITE, BLACK, GREY, LIGHT, RED, DARK_RED, BLUE, GREEN, DIM_RED = range(9)
PALETTE = [
    (0xFF, 0xFF, 0xFF), (0x00, 0x00, 0x00), (0x80, 0x80, 0x80), (0xE8, 0xE8, 0xE8),
    (0xFF, 0x20, 0x10), (0x30, 0x08, 0x08), (0x10, 0x40, 0xA0), (0x00, 0x80, 0x00),
    (0x58, 0x18, 0x14),  # a segment that is off, as a display's dark segment looks
]


# Glyphs drawn here instead of the font's, by pixel height: in the font's
# 8-point size the letter O is the digit 0 one column wider, and a pupil
# reads a label "O" as a zero. This O is round and wider than any digit.
OWN_GLYPHS = {
    13: {
        "O": ["..........",
              "..........",
              "...####...",
              "..#....#..",
              ".#......#.",
              ".#......#.",
              ".#......#.",
              ".#......#.",
              ".#......#.",
              "..#....#..",
              "...####...",
              "..........",
              ".........."],
    },
}


class BitmapFont:
    """One size of a Windows .fon file (an NE executable whose FONT
    resources are FNT version 3 bitmaps), code page 1252, with the glyphs
    of OWN_GLYPHS for its size in place of its own."""

    def __init__(self, path, pixel_height):
        with open(path, "rb") as f:
            data = f.read()
        for fnt in font_resources(data):
            if struct.unpack_from("<H", fnt, 0x58)[0] == pixel_height:
                self._load(fnt)
                for char, rows in OWN_GLYPHS.get(pixel_height, {}).items():
                    self.glyphs[char] = (len(rows[0]), [[pixel == "#" for pixel in row] for row in rows])
                return
        raise ValueError(f"{path} has no font {pixel_height} pixels high")

    def _load(self, fnt):
        self.height = struct.unpack_from("<H", fnt, 0x58)[0]
        first, last = fnt[0x5F], fnt[0x60]
        self.glyphs = {}
        for code in range(first, last + 1):
            width, offset = struct.unpack_from("<HI", fnt, 0x94 + 6 * (code - first))
            rows = []
            for y in range(self.height):
                row = []
                for x in range(width):
                    byte = fnt[offset + (x // 8) * self.height + y]
                    row.append(bool(byte & (0x80 >> (x % 8))))
                rows.append(row)
            self.glyphs[bytes([code]).decode("cp1252", "replace")] = (width, rows)

    def width(self, text):
        return sum(self.glyphs[c][0] for c in text)


def font_resources(data):
    ne = struct.unpack_from("<I", data, 0x3C)[0]
    table = ne + struct.unpack_from("<H", data, ne + 0x24)[0]
    shift = struct.unpack_from("<H", data, table)[0]
    pos = table + 2
    while True:
        kind, count = struct.unpack_from("<HH", data, pos)
        pos += 8
        if kind == 0:
            return
        for _ in range(count):
            offset, length = struct.unpack_from("<HH", data, pos)
            pos += 12
            if kind == 0x8008:
                yield data[offset << shift:(offset + length) << shift]


_fonts = {}


def font(pixel_height=13):
    """MS Sans Serif: 13 pixels high is its 8-point size, 16 its 10-point."""
    if pixel_height not in _fonts:
        _fonts[pixel_height] = BitmapFont(FONT_FILE, pixel_height)
    return _fonts[pixel_height]


class Canvas:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = bytearray([WHITE]) * (width * height)

    def dot(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y * self.width + x] = colour

    def fill(self, x0, y0, x1, y1, colour):
        """The rectangle with corners (x0, y0) and (x1, y1), both inside it."""
        for y in range(min(y0, y1), max(y0, y1) + 1):
            for x in range(min(x0, x1), max(x0, x1) + 1):
                self.dot(x, y, colour)

    def line(self, x0, y0, x1, y1, colour, thick=1):
        """Horizontal and vertical lines only: that is all a circuit needs."""
        if x0 != x1 and y0 != y1:
            raise ValueError("only horizontal and vertical lines")
        self.fill(x0, y0, x1 + (thick - 1 if x0 == x1 else 0), y1 + (thick - 1 if y0 == y1 else 0), colour)

    def box(self, x0, y0, x1, y1, colour, inside=None):
        if inside is not None:
            self.fill(x0, y0, x1, y1, inside)
        for x0_, y0_, x1_, y1_ in ((x0, y0, x1, y0), (x0, y1, x1, y1), (x0, y0, x0, y1), (x1, y0, x1, y1)):
            self.line(x0_, y0_, x1_, y1_, colour)

    def text(self, x, y, string, colour=BLACK, size=13, align="left"):
        """Draws string with its top at y; x is its left end, its centre or
        its right end as align says. Returns the width drawn."""
        f = font(size)
        width = f.width(string)
        x -= {"left": 0, "centre": width // 2, "right": width}[align]
        for c in string:
            glyph_width, rows = f.glyphs[c]
            for dy, row in enumerate(rows):
                for dx, ink in enumerate(row):
                    if ink:
                        self.dot(x + dx, y + dy, colour)
            x += glyph_width
        return width

    def png(self):
        raw = b"".join(b"\0" + bytes(self.pixels[y * self.width:(y + 1) * self.width]) for y in range(self.height))
        return (b"\x89PNG\r\n\x1a\n"
                + chunk(b"IHDR", struct.pack(">IIBBBBB", self.width, self.height, 8, 3, 0, 0, 0))
                + chunk(b"PLTE", b"".join(bytes(rgb) for rgb in PALETTE))
                + chunk(b"IDAT", zlib.compress(raw, 9))
                + chunk(b"IEND", b""))


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
