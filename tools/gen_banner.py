#!/usr/bin/env python3
"""Draws the About window's banner and writes resources/banner.gif (or the path given).

A 200x60 still GIF89a with a 256-colour global table: a white-to-green gradient,
a stopwatch on the left and "05-00" in seven-segment bars on the right. The
first GRADIENT entries of the palette are the gradient, a few more hold the
glyph colours and the rest are black. The image data is LZW-compressed here
(variable code width, minimum code size 8). Standard library only.
"""
import math
import struct

import resource_file

WIDTH, HEIGHT = 200, 60
GRADIENT = 200                # palette entries 0..199: white -> 0x00FF00
EDGE, RIM, FACE, INK, DIGIT = range(GRADIENT, GRADIENT + 5)
GLYPHS = {
    EDGE: (0x1B, 0x5E, 0x20),     # dark green edge of the stopwatch
    RIM: (0xFF, 0xFF, 0xFF),      # white rim
    FACE: (0x1E, 0xE8, 0x3C),     # bright green face
    INK: (0x20, 0x24, 0x28),      # hands, ticks, crown, centre
    DIGIT: (0x10, 0x40, 0x18),    # the seven-segment digits
}

# Seven segments, lit per digit: a (top), b, c (right), d (bottom), e, f (left), g (middle).
SEGMENTS = {"0": "abcdef", "5": "acdfg"}
DIGIT_W, DIGIT_H, BAR = 22, 40, 5
DIGIT_TOP = 10


def palette():
    colours = []
    for i in range(GRADIENT):
        v = round(255 * (1 - i / (GRADIENT - 1)))   # red and blue fade out, green stays
        colours.append((v, 0xFF, v))
    colours += [GLYPHS[k] for k in sorted(GLYPHS)]
    colours += [(0, 0, 0)] * (256 - len(colours))
    return bytes(c for rgb in colours for c in rgb)


def background(x, y):
    """Gradient index: white at the left, green at the right, tilted so each row differs."""
    t = (x + 0.8 * y) / (WIDTH - 1 + 0.8 * (HEIGHT - 1))
    return round(t * (GRADIENT - 1))


def seg_dist(px, py, ax, ay, bx, by):
    """Distance from point p to segment a-b."""
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


def hand(cx, cy, angle_deg, length):
    """End point of a hand; 0 degrees is twelve o'clock, clockwise, y down."""
    a = math.radians(angle_deg)
    return cx + length * math.sin(a), cy - length * math.cos(a)


def stopwatch(x, y):
    """Palette index of the stopwatch at pixel centre (x, y), or None."""
    cx, cy, r = 31.5, 33.5, 22.6
    if abs(x - cx) <= 3 and 4 <= y <= 8:                 # crown
        return INK
    if seg_dist(x, y, cx, 8, cx, 11) <= 1.5:             # stem
        return INK
    if seg_dist(x, y, *hand(cx, cy, 45, r + 1), *hand(cx, cy, 45, r + 4)) <= 1.5:
        return INK                                       # side button
    d = math.hypot(x - cx, y - cy)
    if d > r:
        return None
    if d > r - 2:
        return EDGE
    if d > r - 5:
        return RIM
    for k in range(12):                                  # hour ticks, longer at quarters
        inner = r - (10 if k % 3 == 0 else 8)
        if seg_dist(x, y, *hand(cx, cy, 30 * k, r - 6), *hand(cx, cy, 30 * k, inner)) <= 0.8:
            return INK
    if seg_dist(x, y, cx, cy, *hand(cx, cy, 0, 14)) <= 1.2:       # minute hand
        return INK
    if seg_dist(x, y, cx, cy, *hand(cx, cy, 150, 9)) <= 1.6:      # hour hand
        return INK
    if d <= 2.2:
        return INK
    return FACE


def segment_boxes(left):
    """(x0, y0, x1, y1) of each segment of a digit whose left edge is at `left`."""
    l, t = left, DIGIT_TOP
    r, b, m = l + DIGIT_W, t + DIGIT_H, t + DIGIT_H // 2
    return {
        "a": (l + 1, t, r - 1, t + BAR), "g": (l + 1, m - BAR // 2, r - 1, m + BAR - BAR // 2),
        "d": (l + 1, b - BAR, r - 1, b),
        "f": (l, t + 1, l + BAR, m - 1), "b": (r - BAR, t + 1, r, m - 1),
        "e": (l, m + 1, l + BAR, b - 1), "c": (r - BAR, m + 1, r, b - 1),
    }


def digit_boxes(text="05-00", left=68, gap=6):
    boxes = []
    for ch in text:
        if ch == "-":
            m = DIGIT_TOP + DIGIT_H // 2
            boxes.append((left, m - BAR // 2, left + 10, m + BAR - BAR // 2))
            left += 10 + gap
            continue
        seg = segment_boxes(left)
        boxes += [seg[s] for s in SEGMENTS[ch]]
        left += DIGIT_W + gap
    return boxes


def render():
    """Rows of palette indices, top row first."""
    boxes = digit_boxes()
    rows = []
    for y in range(HEIGHT):
        row = []
        for x in range(WIDTH):
            c = stopwatch(x + 0.5, y + 0.5)
            if c is None and any(x0 <= x < x1 and y0 <= y < y1 for x0, y0, x1, y1 in boxes):
                c = DIGIT
            row.append(background(x, y) if c is None else c)
        rows.append(row)
    return rows


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
    pixels = [c for row in render() for c in row]
    data = lzw(pixels)
    blocks = b"".join(bytes([len(data[i:i + 255])]) + data[i:i + 255]
                      for i in range(0, len(data), 255))
    head = b"GIF89a" + struct.pack("<HHBBB", WIDTH, HEIGHT, 0xF7, 0, 0)  # 256-entry global table
    image = b"," + struct.pack("<HHHHB", 0, 0, WIDTH, HEIGHT, 0)          # no local table
    return head + palette() + image + bytes([8]) + blocks + b"\x00" + b";"


def main():
    resource_file.write("banner.gif", gif_file())


if __name__ == "__main__":
    main()
