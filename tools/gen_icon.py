#!/usr/bin/python3
"""Draws the program's icon and writes resources/icon.ico (or the path given).

A green timer face with a white rim, a thin dark edge (so the rim still shows on
a white desktop) and dark hands, drawn with Pillow 16 times too large and
boxed down, which averages each pixel's area into smooth edges and alpha.

Two 32-bit images, 48x48 and 16x16 in that order, each a BITMAPINFOHEADER with
doubled height, bottom-up BGRA rows and a 1-bit AND mask, as Windows reads
them. Pillow's ICO writer is not used for the container: it puts the smallest
image first and leaves the AND mask out of 32-bit entries, so only the few
bytes of directory and header are packed here; Pillow packs the pixels.

Needs Pillow: run with Debian's Python, /usr/bin/python3 (package python3-pil).
"""
import math
import struct

from PIL import Image, ImageDraw

import resource_file

SIZES = (48, 16)
SCALE = 16                    # drawn this many times larger, then boxed down
EDGE = (0x1B, 0x5E, 0x20)     # dark green edge
RIM = (0xFF, 0xFF, 0xFF)      # white rim
FACE = (0x1E, 0xE8, 0x3C)     # bright green face
INK = (0x20, 0x24, 0x28)      # hands, ticks, centre


def hand(angle_deg, length):
    """End point of a hand; 0 degrees is twelve o'clock, clockwise, y down."""
    a = math.radians(angle_deg)
    return length * math.sin(a), -length * math.cos(a)


def render(size):
    """The icon as an RGBA image of size x size; clear outside the face."""
    big = size * SCALE
    unit = big / 2                        # big pixels per unit of [-1, 1]

    def at(x, y):
        # ImageDraw takes whole pixels; at this scale rounding moves nothing visibly.
        return round((x + 1) * unit), round((y + 1) * unit)

    def disk(x, y, r, **style):
        # An ellipse fills its box's last row and column too, hence the - 1.
        (cx, cy), r = at(x, y), round(r * unit)
        draw.ellipse((cx - r, cy - r, cx + r - 1, cy + r - 1), **style)

    def stroke(a, b, width):
        """A bar with round ends, as wide as `width`."""
        draw.line((at(*a), at(*b)), fill=INK, width=round(width * unit))
        disk(*a, width / 2, fill=INK)
        disk(*b, width / 2, fill=INK)

    px = 2.0 / size                       # one pixel in unit coordinates
    r_out = 0.96
    r_rim = r_out - max(0.06, 1.0 * px)   # dark edge, at least a pixel wide
    r_face = r_rim - max(0.14, 1.2 * px)  # white rim
    width = max(0.11, 1.3 * px)

    image = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    draw = ImageDraw.Draw(image)
    disk(0, 0, r_out, fill=EDGE)
    disk(0, 0, r_face, fill=FACE)
    if size >= 32:                        # quarter-hour ticks only where they fit
        for k in range(4):
            stroke(hand(90 * k, r_face - 0.04), hand(90 * k, r_face - 0.18), width)
    stroke((0, 0), hand(0, r_face * 0.80), width)         # minute hand
    stroke((0, 0), hand(120, r_face * 0.55), width * 1.3)  # hour hand
    disk(0, 0, max(0.10, 1.2 * px), fill=INK)
    # The rim last, so it trims the round ends of the ticks.
    disk(0, 0, r_rim, outline=RIM, width=round((r_rim - r_face) * unit))
    return image.resize((size, size), Image.Resampling.BOX)


def icon_image(size):
    """BITMAPINFOHEADER + bottom-up BGRA rows + bottom-up AND mask."""
    image = render(size)
    xor = image.tobytes("raw", "BGRA", 0, -1)
    # Fully transparent pixels show the desktop; mask rows are padded to 4 bytes.
    clear = image.getchannel("A").point(lambda a: 255 if a == 0 else 0, "1")
    mask = clear.tobytes("raw", "1", (size + 31) // 32 * 4, -1)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    return header + xor + mask


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
