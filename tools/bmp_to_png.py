#!/usr/bin/env python3
"""Converts a 24-bit BMP file (a screenshot of the scripted input source)
to PNG, optionally enlarged by a whole factor. Standard library only.

Usage: tools/bmp_to_png.py <in.bmp> <out.png> [factor]
"""
import struct
import sys
import zlib


def read_bmp(path):
    data = open(path, "rb").read()
    if data[:2] != b"BM":
        sys.exit(f"{path}: not a BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height = struct.unpack_from("<ii", data, 18)
    if struct.unpack_from("<H", data, 28)[0] != 24:
        sys.exit(f"{path}: only 24-bit pictures are read")
    row = (width * 3 + 3) & ~3
    rows = []
    for y in range(height):
        base = offset + (height - 1 - y) * row
        line = data[base:base + 3 * width]
        rows.append(bytes(c for x in range(width) for c in (line[3 * x + 2], line[3 * x + 1], line[3 * x])))
    return width, height, rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + r for r in rows)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
                  + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    if len(sys.argv) not in (3, 4):
        sys.exit(__doc__)
    factor = int(sys.argv[3]) if len(sys.argv) == 4 else 1
    width, height, rows = read_bmp(sys.argv[1])
    big = []
    for r in rows:
        line = b"".join(r[3 * x:3 * x + 3] * factor for x in range(width))
        big.extend([line] * factor)
    write_png(sys.argv[2], width * factor, height * factor, big)


if __name__ == "__main__":
    main()
