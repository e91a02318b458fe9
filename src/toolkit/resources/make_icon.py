#!/usr/bin/env python3
"""Draws the program's icon (a parcel with a downward arrow) at 32x32 and
16x16 pixels, 32 bits per pixel, and writes it as brindle.ico."""

import struct
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


def image(size):
    rows = [b"".join(bytes(pixel(x, y, size)) for x in range(size)) for y in reversed(range(size))]
    mask_row = b"\0" * (((size + 31) // 32) * 4)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    return header + b"".join(rows) + mask_row * size


def main():
    images = [(32, image(32)), (16, image(16))]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(data for _, data in images)
    (Path(__file__).parent / "brindle.ico").write_bytes(out)


if __name__ == "__main__":
    main()
