#!/usr/bin/env python3
"""Draws the program's icon and writes resources/icon.ico (or the path given).

A green timer face with a white rim, a thin dark edge (so the rim still shows on
a white desktop) and dark hands. Two 32-bit images, 48x48 and 16x16, each a
BITMAPINFOHEADER with doubled height, BGRA colour rows and a 1-bit AND mask,
as Windows 7 and later read them. Standard library only.
"""
import math
import struct

import resource_file

SIZES = (48, 16)
EDGE = (0x1B, 0x5E, 0x20)     # dark green edge
RIM = (0xFF, 0xFF, 0xFF)      # white rim
FACE = (0x1E, 0xE8, 0x3C)     # bright green face
INK = (0x20, 0x24, 0x28)      # hands, ticks, centre


def seg_dist(px, py, ax, ay, bx, by):
    """Distance from point p to segment a-b."""
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def hand(angle_deg, length):
    """End point of a hand; 0 degrees is twelve o'clock, clockwise, y down."""
    a = math.radians(angle_deg)
    return length * math.sin(a), -length * math.cos(a)


def shade(x, y, size):
    """Colour (r, g, b, a) at point (x, y) of the unit square [-1, 1]^2."""
    px = 2.0 / size                       # one pixel in unit coordinates
    r_out = 0.96
    r_rim = r_out - max(0.06, 1.0 * px)   # dark edge, at least a pixel wide
    r_face = r_rim - max(0.14, 1.2 * px)  # white rim
    d = math.hypot(x, y)
    if d > r_out:
        return None
    if d > r_rim:
        return EDGE
    if d > r_face:
        return RIM
    width = max(0.11, 1.3 * px)
    if size >= 32:                        # quarter-hour ticks only where they fit
        for k in range(4):
            ax, ay = hand(90 * k, r_face - 0.04)
            bx, by = hand(90 * k, r_face - 0.18)
            if seg_dist(x, y, ax, ay, bx, by) <= width / 2:
                return INK
    if seg_dist(x, y, 0, 0, *hand(0, r_face * 0.80)) <= width / 2:       # minute hand
        return INK
    if seg_dist(x, y, 0, 0, *hand(120, r_face * 0.55)) <= width * 0.65:  # hour hand
        return INK
    if d <= max(0.10, 1.2 * px):
        return INK
    return FACE


def render(size, samples=8):
    """Rows of (b, g, r, a) pixels, top row first, antialiased by supersampling."""
    rows = []
    for j in range(size):
        row = []
        for i in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sj in range(samples):
                for si in range(samples):
                    x = (i + (si + 0.5) / samples) / size * 2 - 1
                    y = (j + (sj + 0.5) / samples) / size * 2 - 1
                    c = shade(x, y, size)
                    if c:
                        acc[0] += c[0]
                        acc[1] += c[1]
                        acc[2] += c[2]
                        acc[3] += 1
            n = samples * samples
            a = acc[3] / n
            if acc[3]:
                r, g, b = (round(v / acc[3]) for v in acc[:3])
            else:
                r = g = b = 0
            row.append((b, g, r, round(a * 255)))
        rows.append(row)
    return rows


def icon_image(size):
    """BITMAPINFOHEADER + bottom-up BGRA rows + bottom-up AND mask."""
    rows = render(size)
    xor = b"".join(bytes(c for px in row for c in px) for row in reversed(rows))
    mask_stride = (size + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for i, px in enumerate(row):
            if px[3] == 0:                # fully transparent: shows the desktop
                bits[i // 8] |= 0x80 >> (i % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + bytes(mask)


def icon_file(sizes=SIZES):
    images = [icon_image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def main():
    resource_file.write("icon.ico", icon_file())


if __name__ == "__main__":
    main()
