#!/usr/bin/env python3
"""Makes the game's icon from one of its sprites: every pixel of the
sprite colour key (RGB 255, 0, 128, as the runtime loads sprites) becomes
transparent, and the picture is scaled (nearest pixel, so the pixel art
stays sharp) to each size, written as <out folder>/<size>/zorvelin.png.

Usage: tools/make_icon.py <sprite.bmp> <out folder> <size>...
"""
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bmp_to_png import read_bmp  # noqa: E402

COLOR_KEY = (255, 0, 128)


def write_rgba_png(path, width, height, rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xFFFFFFFF)
    raw = b"".join(b"\0" + r for r in rows)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
                  + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    width, height, rows = read_bmp(sys.argv[1])
    pixels = [[tuple(r[3 * x:3 * x + 3]) for x in range(width)] for r in rows]
    for size in map(int, sys.argv[3:]):
        out_rows = []
        for y in range(size):
            line = bytearray()
            for x in range(size):
                rgb = pixels[y * height // size][x * width // size]
                line += bytes(rgb) + (b"\0" if rgb == COLOR_KEY else b"\xff")
            out_rows.append(bytes(line))
        folder = os.path.join(sys.argv[2], str(size))
        os.makedirs(folder, exist_ok=True)
        write_rgba_png(os.path.join(folder, "zorvelin.png"), size, size, out_rows)


if __name__ == "__main__":
    main()
