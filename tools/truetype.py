"""Just enough of a TrueType reader to draw text with the standard library:
the character map (format 4), advance widths and glyph outlines (simple and
composite), flattened to closed polygons in font units, y up."""
import struct


class Font:
    def __init__(self, path, index=0):
        data = open(path, "rb").read()
        self.data = data
        base = 0
        if data[:4] == b"ttcf":
            base = struct.unpack_from(">I", data, 12 + 4 * index)[0]
        count = struct.unpack_from(">H", data, base + 4)[0]
        self.tables = {}
        for i in range(count):
            tag, _, offset, length = struct.unpack_from(">4sIII", data, base + 12 + 16 * i)
            self.tables[tag.decode("latin-1")] = (offset, length)
        self.units_per_em = struct.unpack_from(">H", data, self.tables["head"][0] + 18)[0]
        self.long_loca = struct.unpack_from(">h", data, self.tables["head"][0] + 50)[0] == 1
        self.ascent, self.descent = struct.unpack_from(">hh", data, self.tables["hhea"][0] + 4)
        self.metrics_count = struct.unpack_from(">H", data, self.tables["hhea"][0] + 34)[0]
        self.cmap = self._read_cmap()

    def _read_cmap(self):
        start = self.tables["cmap"][0]
        count = struct.unpack_from(">H", self.data, start + 2)[0]
        for i in range(count):
            platform, encoding, offset = struct.unpack_from(">HHI", self.data, start + 4 + 8 * i)
            sub = start + offset
            if (platform, encoding) in ((3, 1), (0, 3)) and struct.unpack_from(">H", self.data, sub)[0] == 4:
                return self._read_format4(sub)
        raise ValueError("no Unicode BMP character map")

    def _read_format4(self, sub):
        segments = struct.unpack_from(">H", self.data, sub + 6)[0] // 2
        ends = struct.unpack_from(">%dH" % segments, self.data, sub + 14)
        starts = struct.unpack_from(">%dH" % segments, self.data, sub + 16 + 2 * segments)
        deltas = struct.unpack_from(">%dh" % segments, self.data, sub + 16 + 4 * segments)
        range_at = sub + 16 + 6 * segments
        ranges = struct.unpack_from(">%dH" % segments, self.data, range_at)
        table = {}
        for s in range(segments):
            for code in range(starts[s], ends[s] + 1):
                if code == 0xFFFF:
                    continue
                if ranges[s] == 0:
                    glyph = (code + deltas[s]) & 0xFFFF
                else:
                    at = range_at + 2 * s + ranges[s] + 2 * (code - starts[s])
                    glyph = struct.unpack_from(">H", self.data, at)[0]
                    if glyph:
                        glyph = (glyph + deltas[s]) & 0xFFFF
                if glyph:
                    table[code] = glyph
        return table

    def glyph(self, char):
        return self.cmap.get(ord(char), 0)

    def advance(self, glyph):
        hmtx = self.tables["hmtx"][0]
        return struct.unpack_from(">H", self.data, hmtx + 4 * min(glyph, self.metrics_count - 1))[0]

    def _glyph_range(self, glyph):
        loca = self.tables["loca"][0]
        if self.long_loca:
            start, end = struct.unpack_from(">II", self.data, loca + 4 * glyph)
        else:
            start, end = (2 * v for v in struct.unpack_from(">HH", self.data, loca + 2 * glyph))
        return self.tables["glyf"][0] + start, end - start

    def outline(self, glyph, steps=8):
        """Closed polygons [(x, y), ...] in font units; quadratic curves cut into `steps` lines."""
        at, length = self._glyph_range(glyph)
        if length == 0:
            return []
        contours = struct.unpack_from(">h", self.data, at)[0]
        if contours < 0:
            return self._composite(at + 10, steps)
        return [_flatten(c, steps) for c in self._simple(at + 10, contours)]

    def _simple(self, at, contours):
        ends = struct.unpack_from(">%dH" % contours, self.data, at)
        points = ends[-1] + 1 if contours else 0
        at += 2 * contours
        at += 2 + struct.unpack_from(">H", self.data, at)[0]   # skip the instructions
        flags = []
        while len(flags) < points:
            flag = self.data[at]
            at += 1
            repeat = 1
            if flag & 8:
                repeat += self.data[at]
                at += 1
            flags += [flag] * repeat
        coordinates = []
        for short, same in ((2, 16), (4, 32)):          # x, then y
            value, values = 0, []
            for flag in flags[:points]:
                if flag & short:
                    delta = self.data[at]
                    at += 1
                    value += delta if flag & same else -delta
                elif not flag & same:
                    value += struct.unpack_from(">h", self.data, at)[0]
                    at += 2
                values.append(value)
            coordinates.append(values)
        result, first = [], 0
        for end in ends:
            result.append([(coordinates[0][i], coordinates[1][i], bool(flags[i] & 1))
                           for i in range(first, end + 1)])
            first = end + 1
        return result

    def _composite(self, at, steps):
        polygons = []
        while True:
            flags, glyph = struct.unpack_from(">HH", self.data, at)
            at += 4
            if flags & 1:
                dx, dy = struct.unpack_from(">hh", self.data, at)
                at += 4
            else:
                dx, dy = struct.unpack_from(">bb", self.data, at)
                at += 2
            scale = (1.0, 0.0, 0.0, 1.0)
            if flags & 8:
                s = struct.unpack_from(">h", self.data, at)[0] / 16384
                scale = (s, 0.0, 0.0, s)
                at += 2
            elif flags & 0x40:
                sx, sy = (v / 16384 for v in struct.unpack_from(">hh", self.data, at))
                scale = (sx, 0.0, 0.0, sy)
                at += 4
            elif flags & 0x80:
                scale = tuple(v / 16384 for v in struct.unpack_from(">hhhh", self.data, at))
                at += 8
            a, b, c, d = scale
            for polygon in self.outline(glyph, steps):
                polygons.append([(a * x + c * y + dx, b * x + d * y + dy) for x, y in polygon])
            if not flags & 0x20:
                return polygons


def _flatten(points, steps):
    """A contour of (x, y, on-curve) points as a polygon, curves cut into lines."""
    n = len(points)
    if n == 0:
        return []
    # Start at an on-curve point; two off-curve points in a row imply one midway.
    expanded = []
    for i in range(n):
        x, y, on = points[i]
        nx, ny, non = points[(i + 1) % n]
        expanded.append((x, y, on))
        if not on and not non:
            expanded.append(((x + nx) / 2, (y + ny) / 2, True))
    start = next(i for i, p in enumerate(expanded) if p[2])
    expanded = expanded[start:] + expanded[:start]
    polygon = [expanded[0][:2]]
    i, m = 1, len(expanded)
    while i <= m:
        x, y, on = expanded[i % m]
        if on:
            polygon.append((x, y))
            i += 1
            continue
        x0, y0 = polygon[-1]
        x2, y2, _ = expanded[(i + 1) % m]
        for k in range(1, steps + 1):
            t = k / steps
            polygon.append(((1 - t) ** 2 * x0 + 2 * (1 - t) * t * x + t * t * x2,
                            (1 - t) ** 2 * y0 + 2 * (1 - t) * t * y + t * t * y2))
        i += 2
    return polygon
