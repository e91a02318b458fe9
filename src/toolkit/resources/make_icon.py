#!/usr/bin/env python3
"""Draws the program's icon (a parcel with a downward arrow) at 16, 32, 48
and 64 pixels and writes it as brindle.ico. Every image is a PNG entry (read
by Windows from Vista on): a 32-bit bitmap of 32x32 alone took 4 KB of the
runtime, its PNG takes about 150 bytes."""

import struct
import zlib
from pathlib import Path

BROWN, DARK, WHITE = (0x2B, 0x5A, 0x8B, 0xFF), (0x1A, 0x3A, 0x5E, 0xFF), (0xFF, 0xFF, 0xFF, 0xFF)
CLEAR = (0, 0, 0, 0)


def pixel(x, y, size):
    """Colour (B, G, R, A) at (x, y), y counted from the top, in unit squares."""
    u, v = (x + 0.5) / size, (y + 0.5) / size
    inside = 0.1 <= u <= 0.9 and 0.1 <= v <= 0.9
    if not inside:
        return CLEAR
    edge = min(u - 0.1, 0.9 - u, v - 0.1, 0.9 - v) < 0.07
    shaft = abs(u - 0.5) < 0.09 and 0.22 <= v <= 0.55
    head = 0.55 <= v <= 0.8 and abs(u - 0.5) <= (0.8 - v) * 1.1
    if shaft or head:
        return WHITE
    return DARK if edge else BROWN


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def image(size):
    """The picture as PNG: 8-bit RGBA rows, each with filter type 0."""
    rows = b"".join(
        b"\0" + b"".join(bytes((r, g, b, a)) for b, g, r, a in (pixel(x, y, size) for x in range(size)))
        for y in range(size))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header)
            + png_chunk(b"IDAT", zlib.compress(rows, 9)) + png_chunk(b"IEND", b""))


def main():
    images = [(size, image(size)) for size in (32, 16, 48, 64)]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    (Path(__file__).parent / "brindle.ico").write_bytes(out)


if __name__ == "__main__":
    main()
