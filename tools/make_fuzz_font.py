#!/usr/bin/env python3
"""Writes the seed of the TrueType font harness (fuzz/truetype_font_fuzz.cpp):
a TrueType font of a few hundred bytes made here from nothing, with three
glyphs (an empty .notdef, a triangle for "A" and "ä", a square reaching
below the baseline for "g") and only the tables a renderer needs.

    tools/make_fuzz_font.py fuzz/corpus/truetype_font_fuzz/tiny.ttf
"""
import struct
import sys


def glyph(points):
    """One contour of on-curve points, coordinates as 16-bit deltas."""
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    data = struct.pack(">hhhhh", 1, min(xs), min(ys), max(xs), max(ys))
    data += struct.pack(">HH", len(points) - 1, 0) + bytes([1] * len(points))
    last = 0
    for x in xs:
        data += struct.pack(">h", x - last)
        last = x
    last = 0
    for y in ys:
        data += struct.pack(">h", y - last)
        last = y
    return data + b"\0" * (len(data) % 2)


def cmap(mapping):
    codes = sorted(mapping) + [0xFFFF]
    count = len(codes)
    ends = b"".join(struct.pack(">H", c) for c in codes)
    deltas = b"".join(struct.pack(">H", (mapping.get(c, 1) - c) % 65536) for c in codes)
    table = ends + b"\0\0" + ends + deltas + b"\0\0" * count
    search = 2 * (1 << (count.bit_length() - 1))
    header = struct.pack(">HHHHHHH", 4, 14 + len(table), 0, 2 * count, search,
                         count.bit_length() - 1, 2 * count - search)
    return struct.pack(">HHHHI", 0, 1, 3, 1, 12) + header + table


def font():
    glyphs = [b"", glyph([(50, 0), (300, 700), (550, 0)]),
              glyph([(100, -200), (100, 500), (500, 500), (500, -200)])]
    offsets = [0]
    for g in glyphs:
        offsets.append(offsets[-1] + len(g))
    tables = {
        b"cmap": cmap({0x41: 1, 0x67: 2, 0xE4: 1}),
        b"glyf": b"".join(glyphs),
        b"head": struct.pack(">IIIIHHqqhhhhHHhhh", 0x10000, 0x10000, 0, 0x5F0F3CF5, 0x000B, 1000, 0, 0,
                             0, -200, 600, 700, 0, 8, 2, 0, 0),
        b"hhea": struct.pack(">Ihhh" + "H" + "hhh" + "hhh" + "hhhh" + "hH", 0x10000, 800, -200, 0,
                             600, 0, 0, 600, 1, 0, 0, 0, 0, 0, 0, 0, 3),
        b"hmtx": struct.pack(">HhHhHh", 600, 0, 600, 50, 600, 100),
        b"loca": b"".join(struct.pack(">H", o // 2) for o in offsets),
        b"maxp": struct.pack(">I" + "H" * 14, 0x10000, 3, 8, 1, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0),
    }
    count = len(tables)
    search = 16 * (1 << (count.bit_length() - 1))
    out = struct.pack(">IHHHH", 0x10000, count, search, count.bit_length() - 1, 16 * count - search)
    offset = len(out) + 16 * count
    directory, body = b"", b""
    for tag in sorted(tables):
        data = tables[tag]
        padded = data + b"\0" * (-len(data) % 4)
        checksum = sum(struct.unpack(">%dI" % (len(padded) // 4), padded)) & 0xFFFFFFFF
        directory += tag + struct.pack(">III", checksum, offset + len(body), len(data))
        body += padded
    return out + directory + body


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as f:
        f.write(font())
