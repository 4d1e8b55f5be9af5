#!/usr/bin/env python3
"""Draws the About window's banner and writes resources/banner.gif (or the path given).

A 200x60 still GIF89a with a 256-colour global table: a stopwatch on the left
and the product's name, 澜珂倒计时, on the right, over a white-to-green
gradient in a thin dark green frame, with the version below the name.

The picture is drawn in full colour, antialiased by supersampling, then cut
down to 256 colours by median cut and LZW-compressed (minimum code size 8).
The name is set in WenQuanYi Micro Hei (Debian's fonts-wqy-microhei, which
the project installs anyway), read by tools/truetype.py; its outlines are
filled here. Standard library only; the same font file gives the same bytes.
"""
import math
import struct

import resource_file
import truetype

WIDTH, HEIGHT = 200, 60
FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
NAME, NAME_PX, NAME_LEFT, NAME_BASELINE = "澜珂倒计时", 26, 66, 33
VERSION, VERSION_PX, VERSION_BASELINE = "COUNTDOWN  V1.0", 10, 50

FRAME = (0x1B, 0x5E, 0x20)    # dark green frame and stopwatch edge
RIM = (0xFF, 0xFF, 0xFF)      # white rim
FACE = (0x1E, 0xE8, 0x3C)     # bright green face
INK = (0x20, 0x24, 0x28)      # hands, ticks, crown, centre
TEXT = (0x0E, 0x4A, 0x1A)     # the name and the version
SHADOW = (0xFF, 0xFF, 0xFF)   # a soft light edge under the name


def seg_dist(px, py, ax, ay, bx, by):
    """Distance from point p to segment a-b."""
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def hand(cx, cy, angle_deg, length):
    """End point of a hand; 0 degrees is twelve o'clock, clockwise, y down."""
    a = math.radians(angle_deg)
    return cx + length * math.sin(a), cy - length * math.cos(a)


def background(x, y):
    """White at the left fading to a fresh green at the right, a little lighter at the top."""
    t = min(1.0, max(0.0, (x - 20) / 180)) ** 1.3
    lift = 0.25 * (1 - y / HEIGHT)
    green = (0x7C, 0xE8, 0x7C)
    return tuple(255 - (255 - g) * t * (1 - lift) for g in green)


def stopwatch(x, y):
    """Colour of the stopwatch at point (x, y), or None outside it."""
    cx, cy, r = 32.0, 33.0, 21.5
    if abs(x - cx) <= 3.5 and 4 <= y <= 8:                # crown
        return INK
    if seg_dist(x, y, cx, 8, cx, 12) <= 1.5:              # stem
        return INK
    if seg_dist(x, y, *hand(cx, cy, 45, r + 1), *hand(cx, cy, 45, r + 4)) <= 1.6:
        return INK                                        # side button
    d = math.hypot(x - cx, y - cy)
    if d > r:
        return None
    if d > r - 2:
        return FRAME
    if d > r - 5:
        return RIM
    for k in range(12):                                   # hour ticks, longer at quarters
        inner = r - (10 if k % 3 == 0 else 8)
        if seg_dist(x, y, *hand(cx, cy, 30 * k, r - 6), *hand(cx, cy, 30 * k, inner)) <= 0.8:
            return INK
    if seg_dist(x, y, cx, cy, *hand(cx, cy, 0, 13)) <= 1.2:        # minute hand
        return INK
    if seg_dist(x, y, cx, cy, *hand(cx, cy, 150, 8.5)) <= 1.6:     # hour hand
        return INK
    if d <= 2.2:
        return INK
    return FACE


def text_polygons(font, text, px, left, baseline, bold=0.0):
    """The outlines of a line of text in pixels, y down; `bold` widens each glyph to the right."""
    scale = px / font.units_per_em
    polygons, pen = [], left
    for ch in text:
        glyph = font.glyph(ch)
        for dx in ((0.0, bold) if bold else (0.0,)):
            for polygon in font.outline(glyph):
                polygons.append([(pen + dx + x * scale, baseline - y * scale) for x, y in polygon])
        pen += font.advance(glyph) * scale
    return polygons


def coverage(polygons, rows=8):
    """How much of each pixel the polygons cover (non-zero winding), 0..1: `rows`
    sample lines per pixel row, exact spans along each line."""
    cover = [[0.0] * WIDTH for _ in range(HEIGHT)]
    edges = []
    for polygon in polygons:
        for (x0, y0), (x1, y1) in zip(polygon, polygon[1:] + polygon[:1]):
            if y0 != y1:
                edges.append((x0, y0, x1, y1))
    for j in range(HEIGHT):
        for k in range(rows):
            y = j + (k + 0.5) / rows
            crossings = []
            for x0, y0, x1, y1 in edges:
                if (y0 <= y < y1) or (y1 <= y < y0):
                    crossings.append((x0 + (y - y0) * (x1 - x0) / (y1 - y0), 1 if y1 > y0 else -1))
            crossings.sort()
            winding = 0
            for (xa, direction), (xb, _) in zip(crossings, crossings[1:] + [(0, 0)]):
                winding += direction
                if winding:
                    span(cover[j], xa, xb, 1 / rows)
    return cover


def span(row, xa, xb, weight):
    """Adds weight times the covered part of each pixel between xa and xb."""
    xa, xb = max(xa, 0.0), min(xb, float(WIDTH))
    i = int(xa)
    while i < xb and i < WIDTH:
        row[i] += weight * (min(xb, i + 1) - max(xa, i))
        i += 1


def mix(under, over, amount):
    amount = min(1.0, amount)
    return tuple(u + (o - u) * amount for u, o in zip(under, over))


def render():
    """Rows of (r, g, b) floats, top row first."""
    font = truetype.Font(FONT)
    name = coverage(text_polygons(font, NAME, NAME_PX, NAME_LEFT, NAME_BASELINE, bold=0.45))
    shadow = coverage(text_polygons(font, NAME, NAME_PX, NAME_LEFT + 1, NAME_BASELINE + 1, bold=0.45))
    version_width = sum(font.advance(font.glyph(c)) for c in VERSION) * VERSION_PX / font.units_per_em
    name_width = sum(font.advance(font.glyph(c)) for c in NAME) * NAME_PX / font.units_per_em
    version_left = NAME_LEFT + (name_width - version_width) / 2
    version = coverage(text_polygons(font, VERSION, VERSION_PX, version_left, VERSION_BASELINE))
    samples = 4
    rows = []
    for y in range(HEIGHT):
        row = []
        for x in range(WIDTH):
            if x in (0, WIDTH - 1) or y in (0, HEIGHT - 1):
                row.append(FRAME)
                continue
            acc = [0.0, 0.0, 0.0]
            for sy in range(samples):
                for sx in range(samples):
                    px, py = x + (sx + 0.5) / samples, y + (sy + 0.5) / samples
                    c = stopwatch(px, py) or background(px, py)
                    for i in range(3):
                        acc[i] += c[i]
            colour = tuple(v / samples ** 2 for v in acc)
            colour = mix(colour, SHADOW, 0.8 * shadow[y][x])
            colour = mix(colour, TEXT, name[y][x])
            colour = mix(colour, TEXT, version[y][x])
            row.append(colour)
        rows.append(row)
    return rows


def median_cut(pixels, count=256):
    """A palette of `count` colours: the box with the widest channel is split
    at its median until there are enough; each colour is its box's mean."""
    boxes = [sorted(set(pixels))]
    while len(boxes) < count:
        widest, channel, extent = None, 0, 0
        for b, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for c in range(3):
                e = max(p[c] for p in box) - min(p[c] for p in box)
                if e > extent:
                    widest, channel, extent = b, c, e
        if widest is None:
            break
        box = sorted(boxes.pop(widest), key=lambda p: (p[channel], p))
        half = len(box) // 2
        boxes += [box[:half], box[half:]]
    palette = [tuple(round(sum(p[c] for p in box) / len(box)) for c in range(3)) for box in boxes]
    return palette + [(0, 0, 0)] * (count - len(palette))


def quantise(rows):
    """Palette and rows of palette indices, each pixel its nearest palette colour."""
    pixels = [tuple(round(v) for v in p) for row in rows for p in row]
    palette = median_cut(pixels)
    nearest = {}
    for p in set(pixels):
        nearest[p] = min(range(len(palette)),
                         key=lambda i: (sum((a - b) ** 2 for a, b in zip(p, palette[i])), i))
    return palette, [nearest[p] for p in pixels]


def lzw(pixels, min_size=8):
    """GIF LZW: clear code first, codes widen up to 12 bits, table reset when full."""
    clear, end = 1 << min_size, (1 << min_size) + 1
    out, acc, nbits = bytearray(), 0, 0
    size, table, nxt = min_size + 1, {}, end + 1

    def emit(code):
        nonlocal acc, nbits
        acc |= code << nbits                  # least significant bit first
        nbits += size
        while nbits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            nbits -= 8

    emit(clear)
    prefix = pixels[0]
    for p in pixels[1:]:
        key = (prefix, p)
        if key in table:
            prefix = table[key]
            continue
        emit(prefix)
        table[key] = nxt
        nxt += 1
        if nxt - 1 == 1 << size and size < 12:
            size += 1
        if nxt == 4096:
            emit(clear)
            size, table, nxt = min_size + 1, {}, end + 1
        prefix = p
    emit(prefix)
    emit(end)
    if nbits:
        out.append(acc & 0xFF)
    return bytes(out)


def gif_file():
    palette, pixels = quantise(render())
    data = lzw(pixels)
    blocks = b"".join(bytes([len(data[i:i + 255])]) + data[i:i + 255]
                      for i in range(0, len(data), 255))
    head = b"GIF89a" + struct.pack("<HHBBB", WIDTH, HEIGHT, 0xF7, 0, 0)  # 256-entry global table
    image = b"," + struct.pack("<HHHHB", 0, 0, WIDTH, HEIGHT, 0)          # no local table
    table = bytes(c for rgb in palette for c in rgb)
    return head + table + image + bytes([8]) + blocks + b"\x00" + b";"


def main():
    resource_file.write("banner.gif", gif_file())


if __name__ == "__main__":
    main()
