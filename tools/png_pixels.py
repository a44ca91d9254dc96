"""The pixels of a PNG as colours "#rrggbb", for reading what a picture of
the help shows at a place: the pictures help_drawing.py makes (indexed
colour, 8 bits, no filters), and any other PNG of 8 bits a sample without
filters or interlacing; others are refused (ValueError), so that a caller
falls back to comparing bytes. Standard library only.
"""

import struct
import zlib

SIGNATURE = b"\x89PNG\r\n\x1a\n"
CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}  # by colour type: grey, RGB, palette, grey+alpha, RGBA


class Picture:
    """The rows of samples as the file holds them, after its filters; a
    colour is read through the palette or from the first samples."""

    def __init__(self, width, height, colour_type, rows, palette):
        self.width, self.height = width, height
        self.channels = CHANNELS[colour_type]
        self.grey = colour_type in (0, 4)
        self.rows, self.palette = rows, palette

    def colour(self, x, y):
        at = x * self.channels
        if self.palette is not None:
            red, green, blue = self.palette[self.rows[y][at]]
        elif self.grey:
            red = green = blue = self.rows[y][at]
        else:
            red, green, blue = self.rows[y][at:at + 3]
        return f"#{red:02x}{green:02x}{blue:02x}"

    def differences(self, other):
        """The places where the two pictures, of one size, differ."""
        places = []
        for y, (row, other_row) in enumerate(zip(self.rows, other.rows)):
            if row != other_row:
                places += [(x, y) for x in range(self.width) if self.colour(x, y) != other.colour(x, y)]
        return places


def read(data):
    """The picture of a PNG file's bytes; ValueError for what it cannot read."""
    if not data.startswith(SIGNATURE):
        raise ValueError("no PNG signature")
    header, palette, compressed = None, None, b""
    at = len(SIGNATURE)
    while at + 8 <= len(data):
        length, kind = struct.unpack_from(">I4s", data, at)
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR" and len(body) == 13:
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"PLTE":
            palette = [tuple(body[i:i + 3]) for i in range(0, len(body) - 2, 3)]
        elif kind == b"IDAT":
            compressed += body
        at += 12 + length
    if header is None:
        raise ValueError("no IHDR")
    width, height, depth, colour_type, _, _, interlace = header
    if depth != 8 or colour_type not in CHANNELS or interlace:
        raise ValueError(f"a PNG of depth {depth}, colour type {colour_type}, interlace {interlace}")
    if colour_type == 3 and palette is None:
        raise ValueError("an indexed PNG without its palette")
    try:
        lines = zlib.decompress(compressed)
    except zlib.error as error:
        raise ValueError(f"its image data: {error}") from None
    rows = unfiltered(lines, width * CHANNELS[colour_type], height)
    if colour_type == 3 and max(max(row, default=0) for row in rows) >= len(palette):
        raise ValueError("a pixel of a colour its palette does not have")
    return Picture(width, height, colour_type, rows, palette if colour_type == 3 else None)


def unfiltered(lines, stride, height):
    """The rows of samples, where every row is unfiltered (filter type 0),
    as help_drawing.py writes them."""
    if len(lines) != (stride + 1) * height:
        raise ValueError("its image data do not fit its size")
    rows = []
    for y in range(height):
        at = y * (stride + 1)
        if lines[at] != 0:
            raise ValueError(f"row {y} has filter type {lines[at]}")
        rows.append(lines[at + 1:at + 1 + stride])
    return rows
