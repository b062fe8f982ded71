#!/usr/bin/env python3
"""Draws the Pictorel program icon: a phone whose screen shows a sunny landscape.

    make_icon.py OUTDIR   writes OUTDIR/<n>x<n>/apps/pictorel.png for every icon size

Only the standard library is used; every size is drawn at its own resolution with 4 x 4 samples
per pixel, so small icons stay sharp instead of being shrunk from a large one.
"""
import os
import struct
import sys
import zlib

SIZES = (16, 24, 32, 48, 64, 128, 256)
SAMPLES = 4

BODY = (38, 52, 84)
BEZEL = (70, 88, 128)
SKY_TOP = (84, 160, 236)
SKY_BOTTOM = (190, 226, 252)
SUN = (255, 200, 60)
HILL_FAR = (96, 170, 96)
HILL_NEAR = (52, 130, 70)
KEY = (200, 210, 230)


def rounded_box(x, y, left, top, right, bottom, radius):
    """True when (x, y) lies in the box with rounded corners (unit square coordinates)."""
    if x < left or x > right or y < top or y > bottom:
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def colour_at(x, y):
    """The icon's colour and coverage at a point of the unit square, or None outside the phone."""
    if not rounded_box(x, y, 0.20, 0.04, 0.80, 0.96, 0.09):
        return None
    if rounded_box(x, y, 0.26, 0.12, 0.74, 0.76, 0.03):
        # The screen: sky, sun and two hills.
        sky = mix(SKY_TOP, SKY_BOTTOM, (y - 0.12) / 0.64)
        if (x - 0.62) ** 2 + (y - 0.27) ** 2 <= 0.07 ** 2:
            sky = SUN
        if y > 0.58 - 0.10 * (1 - ((x - 0.36) / 0.30) ** 2):
            sky = HILL_FAR
        if y > 0.66 - 0.08 * (1 - ((x - 0.62) / 0.28) ** 2):
            sky = HILL_NEAR
        return sky
    if (x - 0.5) ** 2 + (y - 0.86) ** 2 <= 0.045 ** 2:
        return KEY
    if not rounded_box(x, y, 0.225, 0.065, 0.775, 0.935, 0.075):
        return BEZEL
    return BODY


def render(size):
    rows = []
    for py in range(size):
        row = bytearray([0])  # PNG filter type 0
        for px in range(size):
            r = g = b = a = 0.0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    c = colour_at((px + (sx + 0.5) / SAMPLES) / size, (py + (sy + 0.5) / SAMPLES) / size)
                    if c is not None:
                        r, g, b, a = r + c[0], g + c[1], b + c[2], a + 1
            if a:
                row += bytes((round(r / a), round(g / a), round(b / a), round(255 * a / SAMPLES ** 2)))
            else:
                row += bytes(4)
        rows.append(bytes(row))
    return b"".join(rows)


def png(size, pixels):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(pixels, 9)) + chunk(b"IEND", b"")


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_icon.py OUTDIR")
    for size in SIZES:
        folder = os.path.join(sys.argv[1], "%dx%d" % (size, size), "apps")
        os.makedirs(folder, exist_ok=True)
        with open(os.path.join(folder, "pictorel.png"), "wb") as out:
            out.write(png(size, render(size)))


if __name__ == "__main__":
    main()
