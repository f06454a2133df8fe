#!/usr/bin/env python3
"""Draws the two file signatures and writes src/storage/signatures.cpp.

Each signature is a complete PNG picture with a fixed chunk layout whose
IDAT must be exactly a given number of bytes long. The picture data is
deflated by a small fixed-Huffman encoder of our own (not zlib), so the bytes
depend only on this script and re-running it anywhere gives the same file.
The length is hit by a deterministic search over the amount of detail drawn
and the longest back-reference allowed.

Usage: python3 tools/gen_signatures.py [--check]
  --check  only verify that the committed file matches what this script makes.
"""
import os
import struct
import sys
import zlib

# --- deflate with the fixed Huffman code ------------------------------------

LENGTH_BASE = [3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31,
               35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258]
LENGTH_EXTRA = [0] * 8 + [1] * 4 + [2] * 4 + [3] * 4 + [4] * 4 + [5] * 4 + [0]
DIST_BASE = [1, 2, 3, 4, 5, 7, 9, 13, 17, 25, 33, 49, 65, 97, 129, 193, 257, 385,
             513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577]
DIST_EXTRA = [0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8,
              9, 9, 10, 10, 11, 11, 12, 12, 13, 13]


class BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.n = 0

    def bits(self, value, count):
        """Writes `count` bits of `value`, least significant first."""
        self.acc |= value << self.n
        self.n += count
        while self.n >= 8:
            self.out.append(self.acc & 0xFF)
            self.acc >>= 8
            self.n -= 8

    def code(self, code, length):
        """Writes a Huffman code, most significant bit first."""
        for i in range(length - 1, -1, -1):
            self.bits((code >> i) & 1, 1)

    def finish(self):
        if self.n:
            self.out.append(self.acc & 0xFF)
        return bytes(self.out)


def fixed_literal(w, sym):
    if sym < 144:
        w.code(0x30 + sym, 8)
    elif sym < 256:
        w.code(0x190 + sym - 144, 9)
    elif sym < 280:
        w.code(sym - 256, 7)
    else:
        w.code(0xC0 + sym - 280, 8)


def tokens_of(data, max_len):
    """Greedy LZ77: literals (int) and matches (length, distance)."""
    heads = {}
    out = []
    i = 0
    n = len(data)
    while i < n:
        best_len, best_dist = 0, 0
        if i + 3 <= n:
            for j in reversed(heads.get(data[i:i + 3], [])):
                length = 0
                limit = min(max_len, n - i)
                while length < limit and data[j + length] == data[i + length]:
                    length += 1
                if length > best_len:
                    best_len, best_dist = length, i - j
                    if length == limit:
                        break
        step = best_len if best_len >= 3 else 1
        out.append((best_len, best_dist) if best_len >= 3 else data[i])
        for k in range(i, i + step):
            if k + 3 <= n:
                heads.setdefault(data[k:k + 3], []).append(k)
        i += step
    return out


def deflate_fixed(data, max_len):
    w = BitWriter()
    w.bits(1, 1)  # final block
    w.bits(1, 2)  # fixed Huffman code
    for t in tokens_of(data, max_len):
        if isinstance(t, int):
            fixed_literal(w, t)
            continue
        length, dist = t
        c = max(k for k in range(29) if LENGTH_BASE[k] <= length)
        fixed_literal(w, 257 + c)
        w.bits(length - LENGTH_BASE[c], LENGTH_EXTRA[c])
        d = max(k for k in range(30) if DIST_BASE[k] <= dist)
        w.code(d, 5)
        w.bits(dist - DIST_BASE[d], DIST_EXTRA[d])
    fixed_literal(w, 256)
    return w.finish()


def zlib_stream(raw, max_len):
    # 0x78 0x01: deflate, 32K window, "fastest" hint; the header checksum holds.
    return b"\x78\x01" + deflate_fixed(raw, max_len) + struct.pack(">I", zlib.adler32(raw))


# --- PNG --------------------------------------------------------------------

def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))


def raw_rows(pixels):
    """Scanlines with filter type 0 before each row."""
    return b"".join(b"\x00" + bytes(c for px in row for c in px) for row in pixels)


def ihdr(width, height):
    return chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))


PHYS = chunk(b"pHYs", struct.pack(">IIB", 2835, 2835, 1))  # 72 dpi
GAMA = chunk(b"gAMA", struct.pack(">I", 45455))  # 1/2.2
CHRM = chunk(b"cHRM", struct.pack(">8I", 31270, 32900, 64000, 33000,
                                  30000, 60000, 15000, 6000))  # sRGB primaries
SRGB = chunk(b"sRGB", b"\x00")  # perceptual
IEND = chunk(b"IEND", b"")
PNG_MAGIC = b"\x89PNG\r\n\x1a\n"

# --- pictures ---------------------------------------------------------------

WHITE = (255, 255, 255)


class Lcg:
    def __init__(self, seed):
        self.s = seed

    def next(self, n):
        self.s = (self.s * 1103515245 + 12345) & 0x7FFFFFFF
        return (self.s >> 8) % n


def canvas(width, height):
    return [[WHITE] * width for _ in range(height)]


def diary(detail):
    """A closed red diary with a gold label and clasp, a few lines of
    handwriting beside it and a pen. `detail` is how many strokes are written."""
    px = canvas(45, 9)
    for y in range(9):
        px[y][1] = (96, 22, 22)  # spine
        for x in range(2, 12):
            px[y][x] = (168, 42, 38)
        px[y][12] = (236, 226, 200) if 0 < y < 8 else WHITE  # page edges
    for x in range(4, 10):
        px[2][x] = (222, 184, 72)  # label
        px[3][x] = (222, 184, 72) if x in (4, 9) else (246, 236, 204)
        px[4][x] = (222, 184, 72)
    for y in (5, 6):
        px[y][11] = (200, 160, 50)  # clasp
    rng = Lcg(2024)
    strokes = 0
    for y in (1, 4, 7):
        x = 15
        while x < 37 and strokes < detail:
            length = 1 + rng.next(4)
            for k in range(length):
                if x + k < 37:
                    px[y][x + k] = (52, 64, 150)
            x += length + 1 + rng.next(2)
            strokes += 1
    for k in range(6):  # the pen, lying from top right to its nib
        px[k][44 - k] = (40, 40, 44)
        if k < 5:
            px[k][43 - k] = (90, 90, 100)
    px[6][38] = (212, 170, 50)
    px[7][37] = (60, 60, 70)
    return px


def key(detail):
    """A gold key lying flat: a ring with a hole, the shaft and two teeth.
    `detail` is how many engraving marks the shaft carries."""
    px = canvas(35, 9)
    light, mid, dark = (240, 206, 90), (214, 170, 50), (160, 118, 30)
    for y in range(9):
        for x in range(9):
            d2 = (x - 4) ** 2 + (y - 4) ** 2
            if 4 <= d2 <= 17:
                px[y][x] = light if x + y < 7 else (dark if x + y > 10 else mid)
    for x in range(9, 34):
        px[3][x] = light
        px[4][x] = mid
        px[5][x] = dark
    for x in (25, 26, 29, 30, 31):
        px[6][x] = dark
    for x in (29, 30):
        px[7][x] = dark
    rng = Lcg(77)
    for _ in range(detail):
        px[4][10 + rng.next(22)] = dark if rng.next(2) else light
    return px


# --- search -----------------------------------------------------------------

def make_png(width, height, draw, idat_len, head_chunks, tail_chunks=()):
    # The richest picture that fits wins.
    for detail in range(24, -1, -1):
        pixels = draw(detail)
        assert len(pixels) == height and all(len(r) == width for r in pixels)
        raw = raw_rows(pixels)
        # Shorter back-references make the stream longer, step by step.
        for max_len in range(258, 2, -1):
            z = zlib_stream(raw, max_len)
            if len(z) > idat_len:
                break
            if len(z) == idat_len:
                assert zlib.decompress(z) == raw
                return (PNG_MAGIC + ihdr(width, height) + b"".join(head_chunks) +
                        b"".join(tail_chunks) + chunk(b"IDAT", z) + IEND)
    sys.exit(f"no picture of {width}x{height} deflates to {idat_len} bytes")


def signatures():
    book = make_png(45, 9, diary, 147, [PHYS, GAMA, CHRM])
    password_book = make_png(35, 9, key, 115, [SRGB, GAMA, PHYS])
    assert len(book) == 285, len(book)
    assert len(password_book) == 222, len(password_book)
    assert book[:222] != password_book
    return book, password_book


def cpp_bytes(name, data, comment):
    lines = [f"// {comment}",
             f"const std::string_view {name}{{"]
    for i in range(0, len(data), 16):
        part = "".join(f"\\x{b:02X}" for b in data[i:i + 16])
        lines.append(f'    "{part}"')
    lines[-1] += ","
    lines.append(f"    {len(data)}}};")
    return "\n".join(lines)


def source(book, password_book):
    return "\n".join([
        "// Generated by tools/gen_signatures.py; do not edit by hand. Every book",
        "// and password book on disk begins with these bytes, so they never change.",
        '#include "storage/signatures.h"',
        "",
        "namespace dova::storage {",
        "",
        cpp_bytes("BOOK_SIGNATURE", book, "A 45x9 picture of a diary and a pen."),
        "",
        cpp_bytes("PASSWORD_BOOK_SIGNATURE", password_book, "A 35x9 picture of a key."),
        "",
        "}  // namespace dova::storage",
        "",
    ])


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    path = os.path.join(root, "src", "storage", "signatures.cpp")
    text = source(*signatures())
    if "--check" in sys.argv[1:]:
        with open(path, encoding="ascii") as f:
            same = f.read() == text
        print("signatures.cpp is up to date" if same else "signatures.cpp differs", file=sys.stderr)
        sys.exit(0 if same else 1)
    with open(path, "w", encoding="ascii", newline="\n") as f:
        f.write(text)
    print(f"wrote {path}", file=sys.stderr)


if __name__ == "__main__":
    main()
