#!/usr/bin/env python3
"""Writes the media of the turning_cube example: "wave.obj", an object file
of a square sheet in 8 frames of a travelling wave, and "wave_bumps.bmp",
a 64 x 64 picture of round bumps whose blue channel is the height the
runtime turns into a normal map.

Usage: make_example_wave.py OUTPUT_FOLDER
The normals of each frame are the table entries nearest the wave's true
surface normals; the table is read from runtime/gfx3d/vertex_normals.cpp.
"""
import math
import os
import re
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
TABLE_SOURCE = os.path.join(HERE, "..", "runtime", "gfx3d", "vertex_normals.cpp")

FRAMES = 8
CELLS = 8          # cells per side of the sheet
SIZE = 160.0       # side of the sheet
AMPLITUDE = 12.0

STRIP_MARKER = 0xFFFFFFFE
WHITE = 0x00FFFFFF


def read_normal_table():
    text = open(TABLE_SOURCE).read()
    entries = re.findall(r"\{(-?[0-9.]+)f, (-?[0-9.]+)f, (-?[0-9.]+)f\}", text)
    table = [tuple(float(c) for c in entry) for entry in entries]
    assert len(table) == 162, len(table)
    return table


def nearest(table, v):
    length = math.sqrt(sum(c * c for c in v)) or 1.0
    v = [c / length for c in v]
    best, best_index = 10000.0, 0
    for i, t in enumerate(table):
        d = sum((a - b) ** 2 for a, b in zip(v, t))
        if d <= best:
            best, best_index = d, i
    return best_index


def height(x, z, phase):
    return AMPLITUDE * math.sin(x / SIZE * 2 * math.pi * 1.5 + phase) * math.cos(z / SIZE * math.pi)


def normal(x, z, phase):
    e = 0.01
    dx = (height(x + e, z, phase) - height(x - e, z, phase)) / (2 * e)
    dz = (height(x, z + e, phase) - height(x, z - e, phase)) / (2 * e)
    return (-dx, 1.0, -dz)


def sheet_vertices():
    """(x, z, u, v) per node, None for a strip marker: one strip per row."""
    step = SIZE / CELLS
    nodes = []
    for row in range(CELLS):
        nodes.append(None)
        for column in range(CELLS + 1):
            for r in (row + 1, row):
                x = -SIZE / 2 + column * step
                z = -SIZE / 2 + r * step
                nodes.append((x, z, column / CELLS, r / CELLS))
    return nodes


def write_object(path, table):
    nodes = sheet_vertices()
    out = bytearray()
    out += struct.pack("<Id", 0x00C6B317, 1.02)
    out += struct.pack("<iii", FRAMES, 2, len(nodes))
    out += struct.pack("<II", STRIP_MARKER, WHITE)
    for node in nodes:
        out += struct.pack("<ff", *(node[2:] if node else (0.0, 0.0)))
    for f in range(FRAMES):
        phase = 2 * math.pi * f / FRAMES
        points = [(n[0], height(n[0], n[1], phase), n[1]) if n else None for n in nodes]
        low = [min(p[k] for p in points if p) for k in range(3)]
        high = [max(p[k] for p in points if p) for k in range(3)]
        scale = [(h - l) / 255.0 or 1.0 for l, h in zip(low, high)]
        offset = [-l / s for l, s in zip(low, scale)]
        out += struct.pack("<i", len(nodes))
        out += struct.pack("<3f", *offset)
        out += struct.pack("<3f", *scale)
        for n, p in zip(nodes, points):
            if n is None:
                out += bytes([0, 0, 0, 0, 0])
                continue
            q = [max(0, min(255, int(p[k] / scale[k] + offset[k]))) for k in range(3)]
            out += bytes(q + [nearest(table, normal(n[0], n[1], phase)), 1])
    open(path, "wb").write(bytes(out))


def write_bumps(path):
    width = height_px = 64
    row_bytes = width * 3
    pixels = bytearray()
    for y in range(height_px):
        for x in range(width):
            dx, dy = (x % 16) - 7.5, (y % 16) - 7.5
            h = max(0.0, 1.0 - (dx * dx + dy * dy) / 49.0)
            level = int(80 + 175 * h)
            pixels += bytes([level, 150 + level // 4 - 20, 90 + level // 3])  # B, G, R
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height_px, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    assert row_bytes % 4 == 0
    open(path, "wb").write(header + info + pixels)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(folder, exist_ok=True)
    write_object(os.path.join(folder, "wave.obj"), read_normal_table())
    write_bumps(os.path.join(folder, "wave_bumps.bmp"))


if __name__ == "__main__":
    main()
