#!/usr/bin/env python3
"""Draws the example's side picture (130 x 300, a dusk sky over hills) as an
uncompressed 24-bit Targa file, examples/splash.tga."""

import math
import struct
from pathlib import Path

WIDTH, HEIGHT = 130, 300


def colour(x, y):
    """(R, G, B) at x, y counted from the top."""
    hill = HEIGHT - 70 - 25 * math.sin(x / 23.0) - 12 * math.sin(x / 9.0 + 1.3)
    if y > hill:
        shade = (y - hill) / (HEIGHT - hill + 1)
        return (60 - int(30 * shade), 90 - int(40 * shade), 45 - int(20 * shade))
    t = y / HEIGHT
    sun = math.hypot(x - 85, y - 150)
    glow = max(0.0, 1 - sun / 45)
    return (min(255, int(40 + 180 * t + 60 * glow)), min(255, int(50 + 110 * t + 50 * glow)),
            min(255, int(110 + 40 * t)))


def main():
    header = struct.pack("<BBBHHBHHHHBB", 0, 0, 2, 0, 0, 0, 0, 0, WIDTH, HEIGHT, 24, 0)
    rows = []
    for y in reversed(range(HEIGHT)):  # the first row stored is the bottom one
        rows.append(b"".join(bytes(reversed(colour(x, y))) for x in range(WIDTH)))
    (Path(__file__).resolve().parents[1] / "examples" / "splash.tga").write_bytes(header + b"".join(rows))


if __name__ == "__main__":
    main()
