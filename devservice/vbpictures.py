"""Decorative element pictures (RGBA PNG with transparency) drawn with the standard library only.

The update area's "element" folder is filled with these at first start, so the editor has something
pleasant to place on photos without shipping binary files.
"""

import math
import struct
import zlib


def png_bytes(width, height, rgba):
    """Encode a flat RGBA bytearray (width * height * 4) as a PNG file."""
    stride = width * 4
    raw = bytearray()
    for y in range(height):
        raw.append(0)
        raw += rgba[y * stride:(y + 1) * stride]

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) +
            chunk(b"IEND", b""))


class Canvas:
    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.px = bytearray(width * height * 4)

    def blend(self, x, y, r, g, b, a):
        """Paint one pixel over what is there (a in 0..1)."""
        if a <= 0 or not (0 <= x < self.width and 0 <= y < self.height):
            return
        a = min(a, 1.0)
        i = (y * self.width + x) * 4
        da = self.px[i + 3] / 255.0
        oa = a + da * (1 - a)
        if oa <= 0:
            return
        for k, c in enumerate((r, g, b)):
            self.px[i + k] = int(round((c * a + self.px[i + k] * da * (1 - a)) / oa))
        self.px[i + 3] = int(round(oa * 255))

    def fill(self, coverage, colour, box=None):
        """Fill where coverage(x, y) > 0; coverage returns 0..1 (anti-aliased edge); colour(x, y) -> rgba."""
        x0, y0, x1, y1 = box or (0, 0, self.width, self.height)
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                c = coverage(x + 0.5, y + 0.5)
                if c > 0:
                    r, g, b, a = colour(x, y)
                    self.blend(x, y, r, g, b, a * c)

    def png(self):
        return png_bytes(self.width, self.height, self.px)


def edge(d):
    """Coverage from a signed distance (negative inside), one pixel of smoothing."""
    return max(0.0, min(1.0, 0.5 - d))


def rounded_rect_distance(x, y, cx, cy, hw, hh, r):
    qx = abs(x - cx) - (hw - r)
    qy = abs(y - cy) - (hh - r)
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - r


def star_points(cx, cy, outer, inner, points=5, turn=-math.pi / 2):
    pts = []
    for i in range(points * 2):
        rad = outer if i % 2 == 0 else inner
        ang = turn + i * math.pi / points
        pts.append((cx + rad * math.cos(ang), cy + rad * math.sin(ang)))
    return pts


def polygon_distance(x, y, pts):
    """Signed distance to a simple polygon (negative inside)."""
    best = float("inf")
    inside = False
    n = len(pts)
    for i in range(n):
        ax, ay = pts[i]
        bx, by = pts[(i + 1) % n]
        ex, ey = bx - ax, by - ay
        t = max(0.0, min(1.0, ((x - ax) * ex + (y - ay) * ey) / (ex * ex + ey * ey)))
        best = min(best, math.hypot(x - ax - ex * t, y - ay - ey * t))
        if (ay > y) != (by > y) and x < ax + (y - ay) * ex / ey:
            inside = not inside
    return -best if inside else best


def gold(x, y, size):
    t = (x + y) / float(size)
    shine = 0.5 + 0.5 * math.cos(t * 6.0)
    return (int(190 + 60 * shine), int(140 + 70 * shine), int(30 + 40 * shine), 1.0)


def draw_frame(w=360, h=270, border=26):
    cv = Canvas(w, h)
    cx, cy = w / 2.0, h / 2.0

    def band(x, y):
        outer = rounded_rect_distance(x, y, cx, cy, cx - 1, cy - 1, 18)
        inner = rounded_rect_distance(x, y, cx, cy, cx - border, cy - border, 8)
        return edge(outer) * (1 - edge(inner))

    cv.fill(band, lambda x, y: gold(x, y, w))

    def groove(x, y):
        d = rounded_rect_distance(x, y, cx, cy, cx - border / 2.0, cy - border / 2.0, 12)
        return edge(abs(d) - 1.2)

    cv.fill(groove, lambda x, y: (120, 80, 20, 0.8))
    return cv.png()


def draw_lace(w=360, h=270, border=22):
    cv = Canvas(w, h)
    cx, cy = w / 2.0, h / 2.0

    def scallop(x, y):
        inner = rounded_rect_distance(x, y, cx, cy, cx - border, cy - border, 4)
        if inner < -1:
            return 0.0
        # Round bumps along the edge, one every 18 pixels.
        dist_edge = min(x, y, w - x, h - y)
        along = x if min(y, h - y) <= min(x, w - x) else y
        bump = 5 * abs(math.sin(along * math.pi / 18.0))
        return edge(border - 3 - bump - (border - dist_edge)) * edge(-inner)

    cv.fill(scallop, lambda x, y: (255, 255, 255, 0.92))

    def holes(x, y):
        d = rounded_rect_distance(x, y, cx, cy, cx - border / 2.0 - 2, cy - border / 2.0 - 2, 6)
        if abs(d) > 4:
            return 0.0
        along = x if min(y, h - y) <= min(x, w - x) else y
        phase = (along % 18) - 9
        return edge(math.hypot(phase, d) - 2.6)

    cv.fill(holes, lambda x, y: (236, 200, 214, 1.0))
    return cv.png()


def draw_star(size=128):
    cv = Canvas(size, size)
    pts = star_points(size / 2.0, size / 2.0 + 4, size * 0.47, size * 0.2)

    def body(x, y):
        return edge(polygon_distance(x, y, pts))

    def colour(x, y):
        d = -polygon_distance(x + 0.5, y + 0.5, pts)
        if d < 3:
            return (150, 100, 10, 1.0)
        shade = max(0.0, 1.0 - math.hypot(x - size * 0.42, y - size * 0.4) / size)
        return (255, int(180 + 60 * shade), int(20 + 120 * shade), 1.0)

    cv.fill(body, colour)
    return cv.png()


def draw_sprinkle(w=240, h=160):
    cv = Canvas(w, h)
    spots = [(30, 30, 18), (90, 60, 10), (150, 28, 14), (205, 80, 20), (60, 120, 12), (130, 125, 16),
             (190, 140, 8), (110, 95, 6)]
    for sx, sy, r in spots:
        pts = star_points(sx, sy, r, r * 0.42)
        box = (int(sx - r - 2), int(sy - r - 2), int(sx + r + 3), int(sy + r + 3))
        cv.fill(lambda x, y, p=pts: edge(polygon_distance(x, y, p)),
                lambda x, y: (255, 250, 200, 0.95), box)
    return cv.png()


def draw_bubble(w=220, h=170):
    cv = Canvas(w, h)
    cx, cy, rx, ry = w / 2.0, h * 0.42, w / 2.0 - 6, h * 0.36
    tail = [(w * 0.28, h * 0.68), (w * 0.18, h - 4.0), (w * 0.45, h * 0.74)]

    def ellipse_distance(x, y):
        k = math.hypot((x - cx) / rx, (y - cy) / ry)
        return (k - 1.0) * min(rx, ry)

    def shape(x, y):
        return min(ellipse_distance(x, y), polygon_distance(x, y, tail))

    cv.fill(lambda x, y: edge(shape(x, y) - 2.5), lambda x, y: (40, 40, 40, 1.0))
    cv.fill(lambda x, y: edge(shape(x, y) + 1.5), lambda x, y: (255, 255, 255, 0.95))
    return cv.png()


def draw_heart(size=140):
    cv = Canvas(size, size)

    def f(x, y):
        u = (x - size / 2.0) / (size * 0.4)
        v = -(y - size * 0.55) / (size * 0.4)
        return (u * u + v * v - 1) ** 3 - u * u * v ** 3

    def coverage(x, y):
        # Four samples per pixel smooth the implicit curve's edge.
        hits = sum(1 for dx in (-0.25, 0.25) for dy in (-0.25, 0.25) if f(x + dx, y + dy) <= 0)
        return hits / 4.0

    def colour(x, y):
        shade = max(0.0, 1.0 - math.hypot(x - size * 0.38, y - size * 0.35) / (size * 0.5))
        return (int(200 + 55 * shade), int(20 + 90 * shade), int(40 + 90 * shade), 1.0)

    cv.fill(coverage, colour)
    return cv.png()


DRAWINGS = {
    "frame": draw_frame,
    "lace": draw_lace,
    "star": draw_star,
    "sprinkle": draw_sprinkle,
    "bubble": draw_bubble,
    "heart": draw_heart,
}


def draw(kind):
    """PNG bytes of one named picture; KeyError for an unknown name."""
    return DRAWINGS[kind]()


FILE_NAMES = {
    "frame": "frame-gold.png",
    "lace": "frame-lace.png",
    "star": "star-gold.png",
    "sprinkle": "stars-sprinkle.png",
    "bubble": "bubble-speech.png",
    "heart": "heart-red.png",
}

if __name__ == "__main__":
    # Regenerates the committed element pictures: vbpictures.py OUTPUT_DIR
    import os
    import sys
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "elements")
    os.makedirs(out, exist_ok=True)
    for kind, name in FILE_NAMES.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(draw(kind))
