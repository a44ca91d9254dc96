"""A reader of compiled help files (CHM): the ITSF container, its directory
and its LZX-compressed section, with the standard library only, so that
the help file's test reads the file as the help viewer would.
"""

import struct

# --- LZX, as the CHM's section 1 ("MSCompressed") uses it -------------------

FRAME_SIZE = 0x8000
POSITION_SLOTS = {15: 30, 16: 32, 17: 34, 18: 36, 19: 38, 20: 42, 21: 50}
EXTRA_BITS = []
_j = 0
for _i in range(0, 52, 2):
    EXTRA_BITS += [_j, _j]
    if _i != 0 and _j < 17:
        _j += 1
POSITION_BASE = []
_base = 0
for _bits in EXTRA_BITS:
    POSITION_BASE.append(_base)
    _base += 1 << _bits


class FormatError(Exception):
    pass


class BitReader:
    """LZX reads its input as 16-bit little-endian words, each from its
    most significant bit down."""

    def __init__(self, data):
        self.data, self.pos, self.buffer, self.count = data, 0, 0, 0

    def read(self, n):
        while self.count < n:
            if self.pos + 2 > len(self.data):
                raise FormatError("LZX input ends early")
            self.buffer = self.buffer << 16 | self.data[self.pos] | self.data[self.pos + 1] << 8
            self.pos += 2
            self.count += 16
        self.count -= n
        value = self.buffer >> self.count
        self.buffer &= (1 << self.count) - 1
        return value

    def align(self):
        """Drops what is left of the current 16-bit word."""
        self.count -= self.count % 16
        self.buffer &= (1 << self.count) - 1

    def raw_start(self):
        """Before the bytes of an uncompressed block: 1 to 16 bits of padding."""
        if self.count == 0:
            self.pos += 2
        self.buffer = self.count = 0


class Huffman:
    """Canonical code from code lengths, as LZX builds it: shorter codes
    first, equal lengths in symbol order."""

    def __init__(self, lengths):
        self.codes = {}
        code = 0
        for length in range(1, 17):
            for symbol, l in enumerate(lengths):
                if l == length:
                    self.codes[(length, code)] = symbol
                    code += 1
            code <<= 1

    def decode(self, bits):
        code = 0
        for length in range(1, 17):
            code = code << 1 | bits.read(1)
            symbol = self.codes.get((length, code))
            if symbol is not None:
                return symbol
        raise FormatError("invalid Huffman code")


def read_lengths(bits, lengths, first, last):
    pretree = Huffman([bits.read(4) for _ in range(20)])
    x = first
    while x < last:
        z = pretree.decode(bits)
        if z == 17:
            run, value = bits.read(4) + 4, 0
        elif z == 18:
            run, value = bits.read(5) + 20, 0
        elif z == 19:
            run = bits.read(1) + 4
            value = (lengths[x] - pretree.decode(bits)) % 17
        else:
            run, value = 1, (lengths[x] - z) % 17
        for _ in range(run):
            if x >= last:
                raise FormatError("code lengths overrun")
            lengths[x] = value
            x += 1


def lzx_decompress(data, window_bits, reset_frames, size):
    if window_bits not in POSITION_SLOTS:
        raise FormatError(f"window of 2^{window_bits} bytes")
    main_size = 256 + 8 * POSITION_SLOTS[window_bits]
    bits = BitReader(data)
    out = bytearray()
    frame = 0
    remaining = block_type = block_length = 0
    while len(out) < size:
        if frame == 0 or (reset_frames and frame % reset_frames == 0):
            if remaining:
                raise FormatError("block runs over a reset point")
            r0 = r1 = r2 = 1
            main_lengths, length_lengths = [0] * main_size, [0] * 249
            if bits.read(1):
                raise FormatError("x86 call translation is not expected in a help file")
        frame_end = min((frame + 1) * FRAME_SIZE, size)
        while len(out) < frame_end:
            if remaining == 0:
                block_type = bits.read(3)
                remaining = block_length = bits.read(16) << 8 | bits.read(8)
                if block_type == 2:
                    aligned = Huffman([bits.read(3) for _ in range(8)])
                if block_type in (1, 2):
                    read_lengths(bits, main_lengths, 0, 256)
                    read_lengths(bits, main_lengths, 256, main_size)
                    main = Huffman(main_lengths)
                    read_lengths(bits, length_lengths, 0, 249)
                    length_tree = Huffman(length_lengths)
                elif block_type == 3:
                    bits.raw_start()
                    r0, r1, r2 = struct.unpack_from("<III", data, bits.pos)
                    bits.pos += 12
                else:
                    raise FormatError(f"block type {block_type}")
            if block_type == 3:
                n = min(remaining, frame_end - len(out))
                out += data[bits.pos:bits.pos + n]
                bits.pos += n
                remaining -= n
                if remaining == 0 and block_length % 2:
                    bits.pos += 1
                continue
            element = main.decode(bits)
            if element < 256:
                out.append(element)
                remaining -= 1
                continue
            element -= 256
            length = element & 7
            if length == 7:
                length += length_tree.decode(bits)
            length += 2
            slot = element >> 3
            if slot > 2:
                extra = EXTRA_BITS[slot]
                if block_type == 1:
                    offset = POSITION_BASE[slot] - 2 + bits.read(extra) if slot != 3 else 1
                else:
                    offset = POSITION_BASE[slot] - 2
                    if extra > 3:
                        offset += bits.read(extra - 3) << 3
                        offset += aligned.decode(bits)
                    elif extra == 3:
                        offset += aligned.decode(bits)
                    elif extra > 0:
                        offset += bits.read(extra)
                    else:
                        offset = 1
                r0, r1, r2 = offset, r0, r1
            elif slot == 0:
                offset = r0
            elif slot == 1:
                offset, r0, r1 = r1, r1, r0
            else:
                offset, r0, r2 = r2, r2, r0
            if offset > len(out):
                raise FormatError("match before the start of the data")
            for _ in range(length):
                out.append(out[-offset])
            remaining -= length
        frame += 1
        bits.align()
    return bytes(out[:size])


# --- the CHM (ITSF) container -----------------------------------------------

def encint(data, pos):
    value = 0
    while True:
        byte = data[pos]
        pos += 1
        value = value << 7 | (byte & 0x7F)
        if not byte & 0x80:
            return value, pos


class Chm:
    def __init__(self, data):
        if data[:4] != b"ITSF":
            raise FormatError("not an ITSF file")
        version, header_length = struct.unpack_from("<II", data, 4)
        self.language = struct.unpack_from("<I", data, 0x14)[0]
        dir_offset, dir_length = struct.unpack_from("<QQ", data, 0x48)
        self.content_offset = (struct.unpack_from("<Q", data, 0x58)[0] if version >= 3
                               else dir_offset + dir_length)
        self.data = data
        self.entries = {}  # name: (section, offset, length)
        if data[dir_offset:dir_offset + 4] != b"ITSP":
            raise FormatError("no ITSP directory")
        chunk_size = struct.unpack_from("<I", data, dir_offset + 0x10)[0]
        first_chunk = struct.unpack_from("<i", data, dir_offset + 0x20)[0]
        chunks_at = dir_offset + struct.unpack_from("<I", data, dir_offset + 8)[0]
        chunk, seen = first_chunk, set()
        while chunk != -1 and chunk not in seen:
            seen.add(chunk)
            at = chunks_at + chunk * chunk_size
            if data[at:at + 4] != b"PMGL":
                raise FormatError(f"directory chunk {chunk} is not a listing chunk")
            free, _, _, next_chunk = struct.unpack_from("<IIii", data, at + 4)
            pos, end = at + 20, at + chunk_size - free
            while pos < end:
                n, pos = encint(data, pos)
                name = data[pos:pos + n].decode("utf-8")
                pos += n
                section, pos = encint(data, pos)
                offset, pos = encint(data, pos)
                length, pos = encint(data, pos)
                self.entries[name] = (section, offset, length)
            chunk = next_chunk
        self._section1 = None

    def _section0(self, name):
        section, offset, length = self.entries[name]
        if section != 0:
            raise FormatError(f"{name} is not in section 0")
        start = self.content_offset + offset
        return self.data[start:start + length]

    def _decompressed(self):
        if self._section1 is None:
            base = "::DataSpace/Storage/MSCompressed/"
            control = self._section0(base + "ControlData")
            _, signature, version, reset, window = struct.unpack_from("<I4sIII", control, 0)
            if signature != b"LZXC":
                raise FormatError("section 1 is not LZX")
            if version == 2:
                reset, window = reset * FRAME_SIZE, window * FRAME_SIZE
            reset_table = self._section0(
                base + "Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable")
            size = struct.unpack_from("<Q", reset_table, 0x10)[0]
            self._section1 = lzx_decompress(self._section0(base + "Content"), window.bit_length() - 1,
                                            reset // FRAME_SIZE, size)
        return self._section1

    def read(self, name):
        section, offset, length = self.entries[name]
        if section == 0:
            return self._section0(name)
        return self._decompressed()[offset:offset + length]


def cstring(data, at):
    return data[at:data.index(b"\0", at)].decode("cp1252")
