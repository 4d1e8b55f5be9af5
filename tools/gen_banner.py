#!/usr/bin/python3
"""Draws the About window's banner and writes resources/banner.gif (or the path given).

A 200x60 still GIF89a with a 256-colour global table: a stopwatch on the left
and the product's name, 澜珂倒计时, on the right, over a white-to-green
gradient in a thin dark green frame, with the version below the name.

Everything is drawn with Pillow: the stopwatch SCALE times too large and boxed
down for smooth edges, the text by FreeType in WenQuanYi Micro Hei (Debian's
fonts-wqy-microhei, which the project installs anyway) at its final size, then
the picture is cut down to 256 colours and written by Pillow's GIF encoder.
The same Pillow (with its FreeType) and font give the same bytes.

Needs Pillow: run with Debian's Python, /usr/bin/python3 (package python3-pil).
"""
import io
import math

from PIL import Image, ImageChops, ImageDraw, ImageFont

import resource_file

WIDTH, HEIGHT = 200, 60
SCALE = 16                    # the stopwatch is drawn this many times larger
FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"
NAME, NAME_PX, NAME_LEFT, NAME_BASELINE = "澜珂倒计时", 26, 66, 33
BOLD = 0.45                   # the name is set twice, this far apart, to thicken it
VERSION, VERSION_PX, VERSION_BASELINE = "COUNTDOWN  V1.0", 10, 50

FRAME = (0x1B, 0x5E, 0x20)    # dark green frame and stopwatch edge
RIM = (0xFF, 0xFF, 0xFF)      # white rim
FACE = (0x1E, 0xE8, 0x3C)     # bright green face
INK = (0x20, 0x24, 0x28)      # hands, ticks, crown, centre
TEXT = (0x0E, 0x4A, 0x1A)     # the name and the version
SHADOW = (0xFF, 0xFF, 0xFF)   # a soft light edge under the name
GREEN = (0x7C, 0xE8, 0x7C)    # the right end of the gradient


def hand(cx, cy, angle_deg, length):
    """End point of a hand; 0 degrees is twelve o'clock, clockwise, y down."""
    a = math.radians(angle_deg)
    return cx + length * math.sin(a), cy - length * math.cos(a)


def background():
    """White at the left fading to a fresh green at the right, a little lighter
    at the top: the product of a horizontal and a vertical ramp."""
    across = Image.new("L", (WIDTH, 1))
    across.putdata([round(255 * min(1.0, max(0.0, (x + 0.5 - 20) / 180)) ** 1.3) for x in range(WIDTH)])
    down = Image.new("L", (1, HEIGHT))
    down.putdata([round(255 * (1 - 0.25 * (1 - (y + 0.5) / HEIGHT))) for y in range(HEIGHT)])
    amount = ImageChops.multiply(across.resize((WIDTH, HEIGHT)), down.resize((WIDTH, HEIGHT)))
    return Image.composite(Image.new("RGB", (WIDTH, HEIGHT), GREEN),
                           Image.new("RGB", (WIDTH, HEIGHT), (255, 255, 255)), amount)


def stopwatch():
    """The stopwatch on a clear RGBA layer the size of the banner."""
    layer = Image.new("RGBA", (WIDTH * SCALE, HEIGHT * SCALE), (0, 0, 0, 0))
    draw = ImageDraw.Draw(layer)

    def at(x, y):
        # Banner pixels to layer pixels. ImageDraw takes whole pixels; at this
        # scale the rounding moves nothing visibly.
        return round(x * SCALE), round(y * SCALE)

    def disk(x, y, r, fill):
        # An ellipse fills its box's last row and column too, hence the - 1.
        (cx, cy), r = at(x, y), round(r * SCALE)
        draw.ellipse((cx - r, cy - r, cx + r - 1, cy + r - 1), fill=fill)

    def stroke(a, b, radius):
        """A bar with round ends, `radius` wide on each side of a-b."""
        draw.line((at(*a), at(*b)), fill=INK, width=round(2 * radius * SCALE))
        disk(*a, radius, INK)
        disk(*b, radius, INK)

    cx, cy, r = 32.0, 33.0, 21.5
    disk(cx, cy, r, FRAME)
    disk(cx, cy, r - 2, RIM)
    disk(cx, cy, r - 5, FACE)
    left, top = at(cx - 3.5, 4)
    right, bottom = at(cx + 3.5, 8)
    draw.rectangle((left, top, right - 1, bottom - 1), fill=INK)        # crown
    stroke((cx, 8), (cx, 12), 1.5)                                      # stem
    stroke(hand(cx, cy, 45, r + 1), hand(cx, cy, 45, r + 4), 1.6)       # side button
    for k in range(12):                                                 # hour ticks, longer at quarters
        inner = r - (10 if k % 3 == 0 else 8)
        stroke(hand(cx, cy, 30 * k, r - 6), hand(cx, cy, 30 * k, inner), 0.8)
    stroke((cx, cy), hand(cx, cy, 0, 13), 1.2)                          # minute hand
    stroke((cx, cy), hand(cx, cy, 150, 8.5), 1.6)                       # hour hand
    disk(cx, cy, 2.2, INK)
    return layer.resize((WIDTH, HEIGHT), Image.Resampling.BOX)


def name_mask(font, dx, dy):
    """How much the name covers each pixel, set twice BOLD apart, moved by (dx, dy)."""
    mask = Image.new("L", (WIDTH, HEIGHT), 0)
    draw = ImageDraw.Draw(mask)
    for bold in (0.0, BOLD):
        draw.text((NAME_LEFT + dx + bold, NAME_BASELINE + dy), NAME, fill=255, font=font, anchor="ls")
    return mask


def render():
    # The basic layout engine: neither text needs shaping, and it leaves out libraqm.
    name_font = ImageFont.truetype(FONT, NAME_PX, index=0, layout_engine=ImageFont.Layout.BASIC)
    version_font = ImageFont.truetype(FONT, VERSION_PX, index=0, layout_engine=ImageFont.Layout.BASIC)
    image = background()
    watch = stopwatch()
    image.paste(watch, (0, 0), watch)
    image.paste(SHADOW, (0, 0), name_mask(name_font, 1, 1).point(lambda v: round(0.8 * v)))
    image.paste(TEXT, (0, 0), name_mask(name_font, 0, 0))
    draw = ImageDraw.Draw(image)
    centre = NAME_LEFT + name_font.getlength(NAME) / 2      # the version sits under the name
    draw.text((centre, VERSION_BASELINE), VERSION, fill=TEXT, font=version_font, anchor="ms")
    draw.rectangle((0, 0, WIDTH - 1, HEIGHT - 1), outline=FRAME)
    return image


def gif_file():
    # Maximum coverage, refined by k-means, keeps this picture closest of
    # Pillow's own quantisers (white stays white, no channel more than 5 off);
    # libimagequant would dither and run threads. Each pixel takes its nearest
    # palette colour: no dithering, so flat areas stay clean.
    banner = render().quantize(256, method=Image.Quantize.MAXCOVERAGE, kmeans=1)
    banner.info["version"] = b"89a"       # Pillow writes GIF87a when nothing needs 89a
    out = io.BytesIO()
    banner.save(out, "GIF", optimize=False, interlace=False)
    gif = bytearray(out.getvalue())
    # Pillow declares a colour resolution of 1 bit a channel in the screen
    # descriptor; these colours have 8.
    gif[10] |= 0x70
    return bytes(gif)


def main():
    resource_file.write("banner.gif", gif_file())


if __name__ == "__main__":
    main()
