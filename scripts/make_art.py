#!/usr/bin/env python3
"""Draws Quorvane's bitmaps and icons into res/art/ and writes res/Art.rc.

Only the Python standard library is used: a small supersampled polygon rasterizer, then BMP and
ICO bytes packed with struct. The output is byte-identical for the same script, and the results
are committed, so building the program never needs Python.

    python3 scripts/make_art.py              write res/art/*.bmp, res/art/*.ico and res/Art.rc
    python3 scripts/make_art.py --check      exit 1 when a committed file differs from the script
    python3 scripts/make_art.py --sheet F    also write a PNG contact sheet (1x and 4x) to F
"""

import math
import os
import struct
import sys
import zlib

# ---------------------------------------------------------------------------------------------
# Geometry: a shape is a list of closed contours, each a list of (x, y) points in pixels, with
# (0, 0) the top-left corner of the top-left pixel. Curves are flattened on construction.
# ---------------------------------------------------------------------------------------------

SUBROWS = 16  # sample rows per pixel; coverage along a row is computed exactly


def _q(v):
    # Quantise coordinates so that tiny libm differences cannot move an edge.
    return round(v * 4096.0) / 4096.0


class Shape:
    def __init__(self, contours=()):
        self.contours = [list(c) for c in contours]

    def __add__(self, other):
        return Shape(self.contours + other.contours)

    def map(self, fn):
        return Shape([[fn(x, y) for (x, y) in c] for c in self.contours])

    def moved(self, dx, dy):
        return self.map(lambda x, y: (x + dx, y + dy))

    def scaled(self, k, cx=0.0, cy=0.0):
        return self.map(lambda x, y: (cx + (x - cx) * k, cy + (y - cy) * k))

    def rotated(self, degrees, cx, cy):
        a = math.radians(degrees)
        ca, sa = math.cos(a), math.sin(a)
        return self.map(lambda x, y: (cx + (x - cx) * ca - (y - cy) * sa,
                                      cy + (x - cx) * sa + (y - cy) * ca))

    def reversed(self):
        return Shape([c[::-1] for c in self.contours])


def _area(c):
    s = 0.0
    for i in range(len(c)):
        x0, y0 = c[i]
        x1, y1 = c[(i + 1) % len(c)]
        s += x0 * y1 - x1 * y0
    return s / 2.0


def _oriented(c, positive=True):
    return c if (_area(c) >= 0) == positive else c[::-1]


def polygon(*pts):
    return Shape([_oriented([(_q(x), _q(y)) for x, y in pts])])


def rect(x0, y0, x1, y1):
    return polygon((x0, y0), (x1, y0), (x1, y1), (x0, y1))


def _arc_points(cx, cy, rx, ry, a0, a1, steps=None):
    if steps is None:
        steps = max(4, int(abs(a1 - a0) / 360.0 * max(24, 6.0 * max(rx, ry))))
    pts = []
    for i in range(steps + 1):
        a = math.radians(a0 + (a1 - a0) * i / steps)
        pts.append((_q(cx + rx * math.cos(a)), _q(cy + ry * math.sin(a))))
    return pts


def ellipse(cx, cy, rx, ry=None):
    ry = rx if ry is None else ry
    pts = _arc_points(cx, cy, rx, ry, 0, 360)[:-1]
    return Shape([_oriented(pts)])


circle = ellipse


def round_rect(x0, y0, x1, y1, r):
    """Rectangle with circular corners; r is one radius or (top-left, top-right, bottom-right,
    bottom-left)."""
    rs = r if isinstance(r, (tuple, list)) else (r, r, r, r)
    lim = min(x1 - x0, y1 - y0) / 2.0
    tl, tr, br, bl = (min(v, lim) for v in rs)
    pts = []

    def corner(cx, cy, rad, a0):
        if rad <= 0:
            pts.append((_q(cx), _q(cy)))
        else:
            pts.extend(_arc_points(cx, cy, rad, rad, a0, a0 + 90))

    corner(x0 + tl, y0 + tl, tl, 180) if tl > 0 else pts.append((x0, y0))
    corner(x1 - tr, y0 + tr, tr, 270) if tr > 0 else pts.append((x1, y0))
    corner(x1 - br, y1 - br, br, 0) if br > 0 else pts.append((x1, y1))
    corner(x0 + bl, y1 - bl, bl, 90) if bl > 0 else pts.append((x0, y1))
    return Shape([_oriented(pts)])


def ring(outer, inner):
    """The area of outer less inner (both simple shapes)."""
    return Shape([_oriented(c, True) for c in outer.contours] +
                 [_oriented(c, False) for c in inner.contours])


def stroke(points, width, cap="round", closed=False):
    """A polyline of the given width: one quad per segment plus round joins (and round caps);
    the pieces share an orientation, so the non-zero rule fills their union."""
    h = width / 2.0
    pieces = []
    pts = list(points) + ([points[0]] if closed else [])
    n = len(pts)
    for i in range(n - 1):
        (x0, y0), (x1, y1) = pts[i], pts[i + 1]
        dx, dy = x1 - x0, y1 - y0
        ln = math.hypot(dx, dy)
        if ln == 0:
            continue
        ux, uy = dx / ln, dy / ln
        ex0 = ex1 = 0.0
        if cap == "square":
            if i == 0 and not closed:
                ex0 = h
            if i == n - 2 and not closed:
                ex1 = h
        nx, ny = -uy * h, ux * h
        ax, ay = x0 - ux * ex0, y0 - uy * ex0
        bx, by = x1 + ux * ex1, y1 + uy * ex1
        pieces.append(polygon((ax + nx, ay + ny), (bx + nx, by + ny),
                              (bx - nx, by - ny), (ax - nx, ay - ny)))
    for i, (x, y) in enumerate(pts):
        end = (i == 0 or i == n - 1) and not closed
        if (end and cap == "round") or not end:
            pieces.append(circle(x, y, h))
    out = Shape()
    for p in pieces:
        out = out + p
    return out


def arc_path(cx, cy, r, a0, a1, steps=None):
    """Points along a circular arc, for stroke(); angles in degrees, y down (90 = bottom)."""
    return _arc_points(cx, cy, r, r, a0, a1, steps)


# ---------------------------------------------------------------------------------------------
# Rasterizer: exact horizontal coverage on SUBROWS sample rows per pixel.
# ---------------------------------------------------------------------------------------------

def coverage(shape, w, h, rule="nonzero"):
    rows = [None] * (h * SUBROWS)
    limit = h * SUBROWS - 1
    for c in shape.contours:
        n = len(c)
        for i in range(n):
            x0, y0 = c[i]
            x1, y1 = c[(i + 1) % n]
            if y0 == y1:
                continue
            d = 1
            if y0 > y1:
                x0, y0, x1, y1 = x1, y1, x0, y0
                d = -1
            j0 = max(0, math.ceil(y0 * SUBROWS - 0.5))
            j1 = min(limit, math.ceil(y1 * SUBROWS - 0.5) - 1)
            if j0 > j1:
                continue
            k = (x1 - x0) / (y1 - y0)
            for j in range(j0, j1 + 1):
                y = (j + 0.5) / SUBROWS
                r = rows[j]
                if r is None:
                    r = rows[j] = []
                r.append((x0 + (y - y0) * k, d))
    cov = [0.0] * (w * h)
    wt = 1.0 / SUBROWS
    evenodd = rule == "evenodd"
    for j, cr in enumerate(rows):
        if not cr:
            continue
        cr.sort()
        base = (j // SUBROWS) * w
        wind = 0
        start = 0.0
        for x, d in cr:
            was = (wind & 1) if evenodd else (wind != 0)
            wind += d
            now = (wind & 1) if evenodd else (wind != 0)
            if now and not was:
                start = x
            elif was and not now:
                _add_span(cov, base, w, start, x, wt)
    return [1.0 if v > 1.0 else v for v in cov]


def _add_span(cov, base, w, xa, xb, wt):
    if xa < 0:
        xa = 0.0
    if xb > w:
        xb = float(w)
    if xb <= xa:
        return
    ia, ib = int(xa), int(xb)
    if ia == ib:
        cov[base + ia] += (xb - xa) * wt
        return
    cov[base + ia] += (ia + 1 - xa) * wt
    for i in range(base + ia + 1, base + ib):
        cov[i] += wt
    if ib < w:
        cov[base + ib] += (xb - ib) * wt


def blur(mask, w, h, radius, passes=3):
    """Box blur repeated (close to a gaussian) for soft shadows and glows."""
    if radius <= 0:
        return list(mask)
    r = radius
    cur = list(mask)
    for _ in range(passes):
        tmp = [0.0] * (w * h)
        for y in range(h):
            row = cur[y * w:(y + 1) * w]
            for x in range(w):
                s = 0.0
                for k in range(x - r, x + r + 1):
                    if 0 <= k < w:
                        s += row[k]
                tmp[y * w + x] = s / (2 * r + 1)
        out = [0.0] * (w * h)
        for x in range(w):
            for y in range(h):
                s = 0.0
                for k in range(y - r, y + r + 1):
                    if 0 <= k < h:
                        s += tmp[k * w + x]
                out[y * w + x] = s / (2 * r + 1)
        cur = out
    return cur


# ---------------------------------------------------------------------------------------------
# Paint and canvas. Colours are (r, g, b) or (r, g, b, a) with 0..255 components; a paint is a
# colour or a function (x, y) -> colour evaluated at pixel centres.
# ---------------------------------------------------------------------------------------------

def rgba(c):
    return (c[0], c[1], c[2], c[3] if len(c) > 3 else 255)


def mix(a, b, t):
    a, b = rgba(a), rgba(b)
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(4))


def alpha(c, a):
    c = rgba(c)
    return (c[0], c[1], c[2], c[3] * a)


def linear(x0, y0, x1, y1, *stops):
    """Linear gradient from (x0, y0) to (x1, y1); stops are colours spread evenly or (t, colour)."""
    if not isinstance(stops[0][0], float) or len(stops[0]) != 2:
        n = len(stops)
        stops = [(i / (n - 1), s) for i, s in enumerate(stops)]
    stops = [(t, rgba(c)) for t, c in stops]
    dx, dy = x1 - x0, y1 - y0
    ll = dx * dx + dy * dy

    def paint(x, y):
        t = ((x - x0) * dx + (y - y0) * dy) / ll
        if t <= stops[0][0]:
            return stops[0][1]
        for (ta, ca), (tb, cb) in zip(stops, stops[1:]):
            if t <= tb:
                return mix(ca, cb, (t - ta) / (tb - ta) if tb > ta else 1.0)
        return stops[-1][1]
    return paint


def vertical(y0, y1, *stops):
    return linear(0, y0, 0, y1, *stops)


# The scale the bitmaps are drawn at: every figure of a drawing is a 1x figure, and a canvas made
# while SCALE is not 1 has that many more pixels each way; shapes, paints and crops follow.
SCALE = 1.0


def scaled_px(v, k=None):
    """A 1x length or position in pixels at the scale, rounded as the program rounds."""
    k = SCALE if k is None else k
    return int(math.floor(v * k + 0.5)) if v >= 0 else -int(math.floor(-v * k + 0.5))


class Canvas:
    """Premultiplied RGBA in floats 0..1. Sizes and drawing coordinates are 1x figures; w and h
    are the pixels at the scale the canvas was made at."""

    def __init__(self, w, h, bg=None):
        self.k = SCALE
        self.w, self.h = scaled_px(w, self.k), scaled_px(h, self.k)
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(self.w * self.h)]
        if bg is not None:
            self.fill(rect(0, 0, w, h), bg)

    def _shape(self, shape):
        return shape if self.k == 1.0 else shape.scaled(self.k)

    def fill_mask(self, cov, paint, opacity=1.0):
        w = self.w
        scale = self.k
        solid = None if callable(paint) else rgba(paint)
        for i, cv in enumerate(cov):
            if cv <= 0.0:
                continue
            col = solid if solid else rgba(paint(((i % w) + 0.5) / scale, ((i // w) + 0.5) / scale))
            a = cv * opacity * col[3] / 255.0
            if a <= 0.0:
                continue
            p = self.px[i]
            k = 1.0 - a
            p[0] = col[0] / 255.0 * a + p[0] * k
            p[1] = col[1] / 255.0 * a + p[1] * k
            p[2] = col[2] / 255.0 * a + p[2] * k
            p[3] = a + p[3] * k

    def fill(self, shape, paint, rule="nonzero", clip=None, opacity=1.0):
        cov = coverage(self._shape(shape), self.w, self.h, rule)
        if clip is not None:
            cov = [a * b for a, b in zip(cov, clip)]
        self.fill_mask(cov, paint, opacity)
        return cov

    def mask(self, shape, rule="nonzero"):
        return coverage(self._shape(shape), self.w, self.h, rule)

    def shadow(self, shape, color, dx, dy, radius, opacity=1.0):
        cov = coverage(self._shape(shape.moved(dx, dy)), self.w, self.h)
        r = radius if self.k == 1.0 else max(1, scaled_px(radius, self.k))
        self.fill_mask(blur(cov, self.w, self.h, r), color, opacity)

    def set(self, x, y, color):
        c = rgba(color)
        a = c[3] / 255.0
        self.px[y * self.w + x] = [c[0] / 255.0 * a, c[1] / 255.0 * a, c[2] / 255.0 * a, a]

    def get8(self, x, y):
        """Straight 8-bit RGBA of one pixel."""
        p = self.px[y * self.w + x]
        a = p[3]
        if a <= 0.0:
            return (0, 0, 0, 0)
        return tuple(max(0, min(255, int(v / a * 255.0 + 0.5))) for v in p[:3]) + \
            (max(0, min(255, int(a * 255.0 + 0.5))),)

    def crop(self, x0, y0, x1, y1):
        """A part of the canvas, in its pixels."""
        global SCALE
        kept, SCALE = SCALE, 1.0
        out = Canvas(x1 - x0, y1 - y0)
        SCALE = kept
        out.k = self.k
        for y in range(y0, y1):
            for x in range(x0, x1):
                out.px[(y - y0) * out.w + (x - x0)] = list(self.px[y * self.w + x])
        return out

    def draw(self, other, dx, dy):
        """Composite another canvas over this one at an integer offset."""
        for y in range(other.h):
            ty = y + dy
            if not 0 <= ty < self.h:
                continue
            for x in range(other.w):
                tx = x + dx
                if not 0 <= tx < self.w:
                    continue
                s = other.px[y * other.w + x]
                d = self.px[ty * self.w + tx]
                k = 1.0 - s[3]
                self.px[ty * self.w + tx] = [s[i] + d[i] * k for i in range(4)]

    def opaque_rows(self):
        """Bottom-up rows of (r, g, b), alpha ignored (composite on a background first)."""
        rows = []
        for y in range(self.h - 1, -1, -1):
            rows.append([self.get8(x, y)[:3] for x in range(self.w)])
        return rows


# ---------------------------------------------------------------------------------------------
# File formats.
# ---------------------------------------------------------------------------------------------

def bmp_bytes(canvas):
    """24-bit BMP3, bottom-up, rows padded to 4 bytes."""
    w, h = canvas.w, canvas.h
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for row in canvas.opaque_rows():
        line = bytearray()
        for r, g, b in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def ico_bytes(images):
    """An icon file of 32-bit images with alpha and an AND mask, smallest first."""
    entries = []
    blobs = []
    for cv in sorted(images, key=lambda c: c.w):
        w, h = cv.w, cv.h
        xor = bytearray()
        mask = bytearray()
        mstride = ((w + 31) // 32) * 4
        for y in range(h - 1, -1, -1):
            bits = bytearray(mstride)
            for x in range(w):
                r, g, b, a = cv.get8(x, y)
                xor += bytes((b, g, r, a))
                if a < 128:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        blobs.append(info + bytes(xor) + bytes(mask))
        entries.append((w, h))
    offset = 6 + 16 * len(blobs)
    out = bytearray(struct.pack("<HHH", 0, 1, len(blobs)))
    for (w, h), blob in zip(entries, blobs):
        out += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    return bytes(out)


def png_bytes(w, h, rgb_rows):
    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in rgb_rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + \
            struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


# ---------------------------------------------------------------------------------------------
# Palette: one family around the pane colour, the caption blue and the orange accent.
# ---------------------------------------------------------------------------------------------

PANE = (228, 236, 247)         # background of every dialog and pane
CAPTION = (62, 129, 211)       # caption and toolbar text
ACCENT = (255, 128, 64)        # selection and emphasis
WHITE = (255, 255, 255)

BORDER = (92, 130, 186)        # window outline
FRAME_LIGHT = (251, 253, 255)  # inner highlight along the outline
EDGE_INNER = (212, 224, 241)   # innermost frame column, next to the content
TITLE_TOP = (247, 250, 255)
TITLE_BOTTOM = (221, 232, 248)
TITLE_LINE = (194, 210, 234)   # between title bar and content
GLYPH = (66, 92, 132)          # title-button symbols

TOOL_TOP = (245, 249, 255)
TOOL_BOTTOM = (222, 232, 247)
TOOL_LINE = (192, 208, 232)

INK = (52, 72, 104)            # outlines of icon objects
SLATE = (110, 132, 165)
GREEN = (52, 168, 83)
RED = (224, 72, 56)
AMBER = (255, 190, 70)

TITLE_H = 30
BUTTON_TOP = 4                 # title buttons are 31 x 23 at y 4
TOOL_H = 74
TOOL_BUTTON_TOP = 5            # toolbar buttons are 64 x 64 at y 5


def region_mask(w, h):
    """The window region: a rounded rectangle with a 9 x 9 corner ellipse (pixel centres)."""
    m = [1.0] * (w * h)
    r = 4.5
    for y in range(h):
        for x in range(w):
            px, py = x + 0.5, y + 0.5
            cx = min(max(px, r), w - r)
            cy = min(max(py, r), h - r)
            if (px - cx) ** 2 + (py - cy) ** 2 > r * r:
                m[y * w + x] = 0.0
    return m


# ---------------------------------------------------------------------------------------------
# Window frame: drawn once as a whole small window, then cut into the pieces the dialog
# stretches, so the pieces always meet without seams.
# ---------------------------------------------------------------------------------------------

def draw_window_frame(w=64, h=64):
    c = Canvas(w, h, BORDER)
    c.fill(round_rect(1, 1, w - 1, h - 1, 3.5), FRAME_LIGHT)
    c.fill(round_rect(2, TITLE_H - 1, w - 2, h - 2, (0, 0, 2.5, 2.5)), EDGE_INNER)
    c.fill(rect(3, TITLE_H, w - 3, h - 3), PANE)
    c.fill(round_rect(2, 2, w - 2, TITLE_H - 1, (2.5, 2.5, 0, 0)),
           vertical(2, TITLE_H - 1, TITLE_TOP, TITLE_BOTTOM))
    c.fill(rect(1, TITLE_H - 1, w - 1, TITLE_H), TITLE_LINE)
    return c


_FRAME = None


def frame():
    global _FRAME
    if _FRAME is None:
        _FRAME = draw_window_frame()
    return _FRAME


def frame_piece(x0, y0, x1, y1):
    def make():
        f = frame()
        w, h = f.w, f.h
        # Negative figures count from the far edge, so a piece has its scaled width whatever
        # the rounding of the whole.
        fix = lambda v, size: size - scaled_px(-v) if v < 0 else min(scaled_px(v), size)
        return f.crop(fix(x0, w), fix(y0, h), fix(x1, w), fix(y1, h))
    return make


def title_background(width):
    """The title bar behind a title button: the top edge's rows 4 to 26."""
    f = frame()
    col = f.crop(f.w // 2, scaled_px(BUTTON_TOP), f.w // 2 + 1, scaled_px(BUTTON_TOP) + scaled_px(23))
    c = Canvas(width, 23)
    for y in range(c.h):
        for x in range(c.w):
            c.px[y * c.w + x] = list(col.px[min(y, col.h - 1)])
    return c


def title_glyph(kind, color, weight=1.0):
    """Minimise, maximise, restore and close symbols, 11 px, centred in 31 x 23; a list of
    (shape, part of it hidden by a shape in front or None)."""
    x0, y0 = 10, 6          # the symbol's 11 x 11 box: x 10..21, y 6..17
    s = Shape()
    if kind == "min":
        s = rect(x0, y0 + 9, x0 + 11, y0 + 11)
    elif kind == "max":
        s = ring(rect(x0, y0, x0 + 11, y0 + 11), rect(x0 + 1, y0 + 2, x0 + 10, y0 + 10))
    elif kind == "restore":
        back = ring(rect(x0 + 3, y0, x0 + 11, y0 + 8), rect(x0 + 4, y0 + 2, x0 + 10, y0 + 7))
        front_outer = rect(x0, y0 + 3, x0 + 8, y0 + 11)
        front = ring(front_outer, rect(x0 + 1, y0 + 5, x0 + 7, y0 + 10))
        # The front window hides the back one where they overlap.
        return [(back, front_outer), (front, None)]
    elif kind == "close":
        d = 2.2 * weight  # survives being squeezed to 21 x 16 for the short title
        s = stroke([(x0 + 0.5, y0 + 0.5), (x0 + 10.5, y0 + 10.5)], d, cap="butt") + \
            stroke([(x0 + 10.5, y0 + 0.5), (x0 + 0.5, y0 + 10.5)], d, cap="butt")
    return [(s, None)]


def draw_title_button(kind, state):
    c = title_background(31)
    closing = kind == "close"
    pill = round_rect(1, 1, 30, 22, 4)
    glyph = GLYPH
    if state == "hover":
        if closing:
            c.fill(pill, vertical(1, 22, (255, 146, 90), (246, 112, 52)))
            c.fill(ring(pill, round_rect(2, 2, 29, 21, 3)), (230, 100, 44))
            glyph = WHITE
        else:
            c.fill(pill, vertical(1, 22, (255, 255, 255), (226, 238, 253)))
            c.fill(ring(pill, round_rect(2, 2, 29, 21, 3)), (150, 184, 228))
            glyph = (40, 76, 130)
    elif state == "pressed":
        if closing:
            c.fill(pill, vertical(1, 22, (222, 92, 36), (238, 112, 54)))
            c.fill(ring(pill, round_rect(2, 2, 29, 21, 3)), (196, 78, 28))
            glyph = WHITE
        else:
            c.fill(pill, vertical(1, 22, (188, 210, 240), (210, 226, 247)))
            c.fill(ring(pill, round_rect(2, 2, 29, 21, 3)), (112, 152, 210))
            glyph = (30, 62, 112)
    dy = 1 if state == "pressed" else 0
    for shape, hide in title_glyph(kind, glyph):
        if hide is not None:
            # Knock the hidden part out by painting the back symbol only outside the front.
            m = c.mask(shape.moved(0, dy))
            h = c.mask(hide.moved(0, dy))
            c.fill_mask([a * (1.0 - b) for a, b in zip(m, h)], glyph)
        else:
            c.fill(shape.moved(0, dy), glyph)
    return c


# ---------------------------------------------------------------------------------------------
# Toolbar: the strip is drawn whole and cut into its left edge, tile and right edge; the
# buttons' normal look is the strip itself, so they sit on it without a seam.
# ---------------------------------------------------------------------------------------------

def draw_toolbar_strip(w=40):
    c = Canvas(w, TOOL_H, vertical(1, TOOL_H - 1, TOOL_TOP, TOOL_BOTTOM))
    c.fill(rect(0, 0, w, 1), WHITE)
    c.fill(rect(0, TOOL_H - 1, w, TOOL_H), TOOL_LINE)
    c.fill(rect(0, 0, 1, TOOL_H), (206, 219, 238), opacity=0.9)
    c.fill(rect(1, 1, 2, TOOL_H - 1), WHITE, opacity=0.6)
    c.fill(rect(w - 1, 0, w, TOOL_H), (206, 219, 238), opacity=0.9)
    c.fill(rect(w - 2, 1, w - 1, TOOL_H - 1), WHITE, opacity=0.35)
    return c


def toolbar_piece(x0, x1):
    def make():
        s = draw_toolbar_strip()
        fix = lambda v: s.w - scaled_px(-v) if v < 0 else min(scaled_px(v), s.w)
        x_0 = fix(x0)
        # At least one pixel, where a 1x pixel rounds to none.
        return s.crop(x_0, 0, max(fix(x1), x_0 + 1), s.h)
    return make


def tool_background(width):
    s = draw_toolbar_strip()
    top = scaled_px(TOOL_BUTTON_TOP)
    col = s.crop(s.w // 2, top, s.w // 2 + 1, min(top + scaled_px(64), s.h))
    c = Canvas(width, 64)
    for y in range(c.h):
        for x in range(c.w):
            c.px[y * c.w + x] = list(col.px[min(y, col.h - 1)])
    return c


def draw_tool_button(state):
    c = tool_background(64)
    card = round_rect(0.5, 0.5, 63.5, 63.5, 6)
    inner = round_rect(1.5, 1.5, 62.5, 62.5, 5)
    if state == "hover":
        c.fill(card, vertical(0, 64, (255, 255, 255), (232, 242, 254)))
        c.fill(ring(card, inner), (150, 186, 232))
        c.fill(ring(inner, round_rect(2.5, 2.5, 61.5, 61.5, 4)), WHITE, opacity=0.7)
    elif state == "pressed":
        c.fill(card, vertical(0, 64, (196, 216, 243), (216, 230, 249)))
        c.fill(ring(card, inner), (106, 150, 212))
        # A soft inner shadow along the top edge reads as pushed in.
        shade = c.mask(ring(inner, round_rect(1.5, 3.5, 62.5, 64, 5)))
        c.fill_mask(shade, (60, 100, 160), 0.25)
    return c


def draw_tool_separator():
    c = tool_background(1)
    line = (168, 188, 220)
    for y in range(64):
        t = min(y + 0.5, 63.5 - y) / 14.0
        a = 1.0 if t >= 1.0 else t * t * (3 - 2 * t)
        c.fill(rect(0, y, 1, y + 1), line, opacity=a)
    return c


# ---------------------------------------------------------------------------------------------
# List entry cards: only the first column is stretched across the entry.
# ---------------------------------------------------------------------------------------------

def draw_entry(selected):
    h = 90
    c = Canvas(1, h)
    if selected:
        c.fill(rect(0, 0, 1, h), vertical(0, h, (255, 244, 235), (255, 225, 204)))
        c.fill(rect(0, 0, 1, 1), (255, 196, 160))
        c.fill(rect(0, 1, 1, 2), (255, 250, 246))
        c.fill(rect(0, h - 1, 1, h), (240, 150, 100))
    else:
        c.fill(rect(0, 0, 1, h), vertical(0, h, (255, 255, 255), (239, 245, 252)))
        c.fill(rect(0, h - 1, 1, h), (210, 221, 238))
    return c


# ---------------------------------------------------------------------------------------------
# Command buttons on the pane colour: 70 x 20, 45 x 20, 20 x 20 and 100 x 20.
# ---------------------------------------------------------------------------------------------

BUTTON_LOOKS = {
    # state: (top fill, bottom fill, outline, inner highlight opacity)
    "normal": ((255, 255, 255), (225, 234, 247), (140, 164, 200), 0.8),
    "hover": ((255, 255, 255), (213, 230, 252), (90, 146, 216), 0.9),
    "pressed": ((196, 215, 242), (219, 231, 248), (74, 122, 190), 0.0),
    "focused": ((255, 255, 255), (225, 234, 247), CAPTION, 0.8),
    "disabled": ((240, 243, 248), (232, 237, 244), (184, 194, 210), 0.0),
}


def draw_command_button(w, state, h=20):
    top, bottom, outline, hi = BUTTON_LOOKS[state]
    c = Canvas(w, h, PANE)
    body = round_rect(0, 0, w, h, 3.5)
    inner = round_rect(1, 1, w - 1, h - 1, 2.5)
    c.fill(body, outline)
    c.fill(inner, vertical(1, h - 1, top, bottom))
    if hi > 0:
        c.fill(ring(inner, round_rect(1, 2, w - 1, h - 1, 2.5)), WHITE, opacity=hi)
    if state == "pressed":
        c.fill(ring(inner, round_rect(1, 3, w - 1, h - 1, 2.5)), (40, 80, 140), opacity=0.12)
    if state == "focused":
        c.fill(ring(inner, round_rect(2, 2, w - 2, h - 2, 1.5)), (150, 190, 240), opacity=0.9)
    return c


# ---------------------------------------------------------------------------------------------
# Icons. Each is drawn on a design grid: 48 units for the 32 and 48 px images, and a separate,
# simpler drawing on a 16-unit grid (whole-pixel edges) for the 16 and 20 px images.
# ---------------------------------------------------------------------------------------------

class Pen:
    """Draws grid-unit shapes on a canvas of the icon's pixel size."""

    def __init__(self, canvas, unit):
        self.c = canvas
        self.k = canvas.w / float(unit)

    def px(self, shape):
        return shape.scaled(self.k)

    def fill(self, shape, paint, rule="nonzero", clip=None, opacity=1.0):
        return self.c.fill(self.px(shape), paint, rule=rule, clip=clip, opacity=opacity)

    def mask(self, shape):
        return self.c.mask(self.px(shape))

    def vgrad(self, y0, y1, *stops):
        return vertical(y0 * self.k, y1 * self.k, *stops)

    def grad(self, x0, y0, x1, y1, *stops):
        k = self.k
        return linear(x0 * k, y0 * k, x1 * k, y1 * k, *stops)

    def shadow(self, shape, dy=1.0, radius=1, opacity=0.28, color=(20, 40, 80)):
        if self.c.w < 32:
            return
        k = self.k
        self.c.shadow(self.px(shape), color, 0, dy * k, max(1, int(radius * k + 0.5)), opacity)

    def erase(self, shape):
        """Cuts a transparent gap (around badges)."""
        m = self.mask(shape)
        for i, a in enumerate(m):
            if a > 0:
                p = self.c.px[i]
                for j in range(4):
                    p[j] *= (1.0 - a)


def badge(p, cx, cy, r, top, bottom, symbol, gap=1.5):
    """A round badge with a symbol, cut out of whatever lies beneath it."""
    p.erase(circle(cx, cy, r + gap))
    p.fill(circle(cx, cy, r), p.grad(cx, cy - r, cx, cy + r, top, bottom))
    p.fill(ring(circle(cx, cy, r), circle(cx, cy, r - 0.06 * r - 0.4)),
           (0, 0, 0, 40))
    sym_color = WHITE
    if symbol == "plus":
        t = r * 0.2
        a = r * 0.56
        p.fill(rect(cx - a, cy - t, cx + a, cy + t) + rect(cx - t, cy - a, cx + t, cy + a), sym_color)
    elif symbol == "minus":
        t = r * 0.2
        a = r * 0.56
        p.fill(rect(cx - a, cy - t, cx + a, cy + t), sym_color)
    elif symbol == "check":
        p.fill(stroke([(cx - r * 0.48, cy + r * 0.02), (cx - r * 0.14, cy + r * 0.38),
                       (cx + r * 0.5, cy - r * 0.34)], r * 0.3), sym_color)
    elif symbol == "cross":
        a = r * 0.38
        p.fill(stroke([(cx - a, cy - a), (cx + a, cy + a)], r * 0.28) +
               stroke([(cx + a, cy - a), (cx - a, cy + a)], r * 0.28), sym_color)


def badge16(p, top, bottom, symbol):
    """The small badge of the 16 px images: 9 px across at the bottom right, whole-pixel symbol."""
    p.erase(circle(11.5, 11.5, 5.5))
    p.fill(circle(11.5, 11.5, 4.5), p.vgrad(7, 16, top, bottom))
    if symbol in ("plus", "minus"):
        p.fill(rect(9, 11, 14, 12), WHITE)
    if symbol == "plus":
        p.fill(rect(11, 9, 12, 14), WHITE)


# The 16, 20 and 48 pixel images the program shows, at 1.25x, 1.5x and 2x too, so the nearest
# size is always in the file.
ICON_SIZES = (16, 20, 24, 25, 30, 32, 40, 48, 60, 72, 96)


def icon_sizes(draw, sizes=ICON_SIZES):
    def make():
        out = []
        for s in sizes:
            c = Canvas(s, s)
            draw(c, s)
            out.append(c)
        return out
    return make


# --- program icon: a software box on a blue tile -----------------------------------------------

def iso_box(p, cx, top, hw, dy, fh, faces, tape=None, edge=None):
    """A box seen from above at an angle: top vertex (cx, top), half width hw, top-face slope
    dy, face height fh. faces = (top, left, right) paints; tape = (colour, half width)."""
    t = (cx, top)
    r = (cx + hw, top + dy)
    f = (cx, top + 2 * dy)
    l = (cx - hw, top + dy)
    rb = (cx + hw, top + dy + fh)
    fb = (cx, top + 2 * dy + fh)
    lb = (cx - hw, top + dy + fh)
    silhouette = polygon(t, r, rb, fb, lb, l)
    p.shadow(silhouette, dy=1.2, radius=1.5, opacity=0.3)
    p.fill(polygon(t, r, f, l), faces[0])
    p.fill(polygon(l, f, fb, lb), faces[1])
    p.fill(polygon(f, r, rb, fb), faces[2])
    if tape is not None:
        col, tw = tape
        # Along the middle of the top face and down the right face.
        ax, ay = (l[0] + t[0]) / 2, (l[1] + t[1]) / 2
        bx, by = (f[0] + r[0]) / 2, (f[1] + r[1]) / 2
        ex, ey = t[0] - l[0], t[1] - l[1]
        ln = math.hypot(ex, ey)
        ox, oy = ex / ln * tw, ey / ln * tw
        p.fill(polygon((ax + ox, ay + oy), (bx + ox, by + oy), (bx - ox, by - oy), (ax - ox, ay - oy)),
               col)
        p.fill(polygon((bx + ox, by + oy), (bx - ox, by - oy), (bx - ox, by - oy + fh),
                       (bx + ox, by + oy + fh)), mix(col, (120, 40, 0), 0.18))
    if edge is not None:
        w = edge[1]
        p.fill(stroke([l, f, r], w, cap="butt"), edge[0])
        p.fill(stroke([f, fb], w, cap="butt"), edge[0])
    return silhouette


def draw_program_icon(c, s):
    if s <= 20:
        p = Pen(c, 16)
        tile = round_rect(0, 0, 16, 16, 3.5)
        p.fill(tile, p.vgrad(0, 16, (104, 166, 240), (40, 98, 182)))
        p.fill(ring(tile, round_rect(0.8, 0.8, 15.2, 15.2, 2.8)), (255, 255, 255, 60))
        iso_box(p, 8, 2, 5, 2.5, 6, (WHITE, (222, 233, 250), (178, 201, 236)), tape=(ACCENT, 0.8))
        return
    p = Pen(c, 48)
    tile = round_rect(3, 3, 45, 45, 9)
    p.shadow(tile, dy=1.5, radius=1.5, opacity=0.35)
    p.fill(tile, p.vgrad(3, 45, (108, 170, 242), (38, 96, 180)))
    p.fill(round_rect(3, 3, 45, 24, (9, 9, 0, 0)), WHITE, opacity=0.08)
    p.fill(ring(tile, round_rect(4, 4, 44, 44, 8)), (255, 255, 255, 70))
    iso_box(p, 24, 10, 14, 7, 14,
            (p.vgrad(10, 24, WHITE, (238, 244, 253)), (222, 233, 250), (178, 201, 236)),
            tape=(ACCENT, 1.9), edge=((255, 255, 255, 200), 0.7))


# --- software box: the imported installer, and Add --------------------------------------------

BOX_FACES_48 = lambda p: (p.vgrad(5, 23, (226, 238, 253), (200, 221, 249)),
                          p.vgrad(14, 43, (120, 172, 234), (92, 150, 224)),
                          p.vgrad(14, 43, (66, 130, 210), (48, 106, 186)))
BOX_FACES_16 = ((214, 230, 252), (104, 160, 230), (52, 112, 194))


def draw_box_icon(c, s, badge_symbol=None):
    if s <= 20:
        p = Pen(c, 16)
        if badge_symbol:
            iso_box(p, 6, 1, 5, 2.5, 6.5, BOX_FACES_16, tape=(ACCENT, 0.8))
            badge16(p, (92, 200, 110), (38, 150, 70), badge_symbol)
        else:
            iso_box(p, 8, 1, 7, 3.5, 7.5, BOX_FACES_16, tape=(ACCENT, 1.0))
        return
    p = Pen(c, 48)
    if badge_symbol:
        iso_box(p, 22, 4, 17, 8.5, 19, BOX_FACES_48(p), tape=(ACCENT, 2.4),
                edge=((255, 255, 255, 150), 0.8))
        badge(p, 36, 36, 9.5, (96, 204, 116), (34, 146, 66), badge_symbol, gap=2.0)
    else:
        iso_box(p, 24, 4, 19, 9.5, 20, BOX_FACES_48(p), tape=(ACCENT, 2.6),
                edge=((255, 255, 255, 150), 0.8))


# --- a page with a folded corner: generic file, no installer, attach, detach, export ----------

def page_shape(x0, y0, x1, y1, fold):
    return polygon((x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1))


def draw_page(p, x0, y0, x1, y1, fold, lines=True, line_color=(186, 204, 230), small=False):
    outline = (126, 148, 182)
    outer = page_shape(x0, y0, x1, y1, fold)
    p.shadow(outer, dy=1.0, radius=1.2, opacity=0.25)
    p.fill(outer, outline)
    d = 1.0 / p.k  # one pixel of outline at every size
    inner = polygon((x0 + d, y0 + d), (x1 - fold - d * 0.414, y0 + d), (x1 - d, y0 + fold + d * 0.414),
                    (x1 - d, y1 - d), (x0 + d, y1 - d))
    p.fill(inner, p.vgrad(y0, y1, WHITE, (236, 242, 251)))
    fold_tri = polygon((x1 - fold, y0), (x1 - fold, y0 + fold), (x1, y0 + fold))
    p.fill(fold_tri, outline)
    p.fill(polygon((x1 - fold + d, y0 + d * 2.4), (x1 - fold + d, y0 + fold - d),
                   (x1 - d * 2.4, y0 + fold - d)), (214, 226, 244))
    if lines:
        if small:
            for y in range(int(y0) + 5, int(y1) - 2, 2):
                p.fill(rect(x0 + 2, y, x1 - 2, y + 1), line_color)
        else:
            lh = 2.0
            y = y0 + fold + 5
            while y + lh <= y1 - 5:
                p.fill(rect(x0 + 5, y, x1 - 5, y + lh), line_color)
                y += lh * 2.5
    return outer


def draw_file_icon(c, s):
    if s <= 20:
        p = Pen(c, 16)
        draw_page(p, 2, 0, 14, 16, 4, small=True)
        return
    p = Pen(c, 48)
    draw_page(p, 8, 3, 40, 45, 11)


def draw_no_installer_icon(c, s):
    dash = (142, 160, 190)
    if s <= 20:
        p = Pen(c, 16)
        p.fill(page_shape(2, 0, 14, 16, 4), (255, 255, 255, 110))
        # Dashes along the outline, pixel by pixel.
        for x in range(2, 10, 2):
            p.fill(rect(x, 0, x + 1, 1), dash)
        for y in range(4, 16, 2):
            p.fill(rect(13, y, 14, y + 1), dash)
            p.fill(rect(2, y, 3, y + 1), dash)
        for x in range(4, 13, 2):
            p.fill(rect(x, 15, x + 1, 16), dash)
        p.fill(rect(2, 2, 3, 3), dash)
        p.fill(stroke([(10.5, 0.5), (13.5, 3.5)], 1.0, cap="butt"), dash)
        p.fill(rect(6, 7, 10, 8) + rect(7.5, 5.5, 8.5, 9.5), (150, 168, 196))
        return
    p = Pen(c, 48)
    pts = [(8, 3), (29, 3), (40, 14), (40, 45), (8, 45), (8, 3)]
    p.fill(page_shape(8, 3, 40, 45, 11), (255, 255, 255, 120))
    # A dashed outline: an empty place where an installer would be.
    seg, gap = 3.2, 2.4
    for (ax, ay), (bx, by) in zip(pts, pts[1:]):
        ln = math.hypot(bx - ax, by - ay)
        t = 0.0
        while t < ln:
            e = min(t + seg, ln)
            p.fill(stroke([(ax + (bx - ax) * t / ln, ay + (by - ay) * t / ln),
                           (ax + (bx - ax) * e / ln, ay + (by - ay) * e / ln)], 1.6, cap="butt"), dash)
            t = e + gap
    p.fill(stroke([(29, 3), (29, 14), (40, 14)], 1.2, cap="butt"), (170, 184, 208))
    # A soft plus in the middle: attach one here.
    p.fill(rect(18, 28, 30, 31) + rect(22.5, 23.5, 25.5, 35.5), (160, 178, 206))


# --- paper clip ------------------------------------------------------------------------------

def clip_path():
    """The wire of a paper clip, standing upright, 12 x 40 units."""
    pts = [(4, 12), (4, 30)]
    pts += arc_path(7, 30, 3, 180, 0)
    pts += [(10, 5)]
    pts += arc_path(6, 5, 4, 0, -180)
    pts += [(2, 34)]
    pts += arc_path(7, 34, 5, 180, 0)
    pts += [(12, 14)]
    return pts


def draw_clip16(p, dx, dy):
    """The 16 px paper clip: one-pixel wire on whole-pixel legs."""
    pts = [(10.5, 6), (10.5, 11.5)] + arc_path(11.5, 11.5, 1, 180, 0, 6) + [(12.5, 3.5)]
    pts += arc_path(10.5, 3.5, 2, 0, -180, 8) + [(8.5, 12.5)]
    pts += arc_path(11.5, 12.5, 3, 180, 0, 10) + [(14.5, 6)]
    pts = [(x + dx, y + dy) for x, y in pts]
    p.fill(stroke(pts, 2.6), (255, 255, 255, 200))
    p.fill(stroke(pts, 1.0), (70, 86, 116))


def draw_clip(p, x, y, scale, angle, width, color=(64, 80, 110)):
    pts = [(x + px * scale, y + py * scale) for px, py in clip_path()]
    cx, cy = x + 7 * scale, y + 20 * scale
    shape = stroke(pts, width).rotated(angle, cx, cy)
    p.fill(stroke(pts, width + 2.2).rotated(angle, cx, cy), (255, 255, 255, 170))
    p.fill(shape, p.grad(x, y, x + 14 * scale, y + 40 * scale, (140, 156, 184), color))


def draw_attach_icon(c, s, detached=False):
    if s <= 20:
        p = Pen(c, 16)
        draw_page(p, 1, 1, 10, 15, 3, small=True)
        if detached:
            draw_clip16(p, -1, -1)
            badge16(p, (255, 150, 90), (232, 96, 40), "minus")
        else:
            draw_clip16(p, 0, 0)
        return
    p = Pen(c, 48)
    draw_page(p, 6, 6, 34, 45, 9)
    if detached:
        draw_clip(p, 30, 1, 0.85, 32, 2.8)
        badge(p, 36, 36, 9.5, (255, 152, 92), (232, 96, 40), "minus", gap=2.0)
    else:
        draw_clip(p, 24, 1, 0.95, 20, 3.0)


def draw_export_icon(c, s):
    arrow_top, arrow_bottom = (255, 160, 100), (236, 102, 42)
    if s <= 20:
        p = Pen(c, 16)
        draw_page(p, 1, 0, 11, 15, 3, small=True)
        p.erase(polygon((5, 6), (10, 6), (10, 2.6), (16, 8.5), (10, 14.4), (10, 11), (5, 11)))
        p.fill(polygon((6, 7), (11, 7), (11, 4), (15.5, 8.5), (11, 13), (11, 10), (6, 10)),
               p.vgrad(4, 13, arrow_top, arrow_bottom))
        return
    p = Pen(c, 48)
    draw_page(p, 4, 3, 32, 44, 9)
    arrow = polygon((18, 24), (32, 24), (32, 16), (45, 29), (32, 42), (32, 34), (18, 34))
    grown = polygon((16, 22), (30, 22), (30, 11), (47.8, 29), (30, 47), (30, 36), (16, 36))
    p.erase(grown)
    p.shadow(arrow, dy=1.0, radius=1.0, opacity=0.3)
    p.fill(arrow, p.vgrad(16, 42, arrow_top, arrow_bottom))
    p.fill(ring(arrow, arrow.scaled(0.94, 31, 29)), (190, 70, 20, 90))


# --- trash can -------------------------------------------------------------------------------

def draw_delete_icon(c, s):
    body_a, body_b = (132, 160, 202), (78, 106, 152)
    if s <= 20:
        p = Pen(c, 16)
        p.fill(ring(rect(6, 0, 10, 3), rect(7, 1, 9, 3)), (78, 102, 142))
        p.fill(rect(2, 2, 14, 4), p.vgrad(2, 4, (120, 146, 186), (78, 102, 142)))
        p.fill(polygon((3, 5), (13, 5), (12, 16), (4, 16)), p.grad(3, 0, 13, 0, body_a, body_b))
        for x in (6, 8, 10):
            p.fill(rect(x - 0.5, 7, x + 0.5, 14), (255, 255, 255, 120))
        return
    p = Pen(c, 48)
    body = polygon((11, 16), (37, 16), (34.5, 44), (13.5, 44))
    lid = round_rect(8, 9, 40, 15, 2)
    handle = ring(round_rect(18, 4, 30, 12, 3), round_rect(20.5, 6.5, 27.5, 12, 1.2))
    p.shadow(body + lid, dy=1.2, radius=1.5, opacity=0.3)
    p.fill(handle, (70, 94, 136))
    p.fill(body, p.grad(11, 0, 37, 0, (150, 176, 214), (118, 146, 190), (76, 104, 150)))
    p.fill(rect(11, 16, 37, 18.5), (40, 60, 100, 70))
    for x in (18, 24, 30):
        p.fill(round_rect(x - 1.2, 21, x + 1.2, 40, 1.2), (255, 255, 255, 95))
    p.fill(lid, p.vgrad(9, 15, (138, 164, 204), (72, 98, 142)))
    p.fill(rect(9, 9.8, 39, 10.8), (255, 255, 255, 80))


# --- launch: a play button -------------------------------------------------------------------

def draw_launch_icon(c, s):
    top, bottom = (124, 214, 120), (34, 150, 68)
    if s <= 20:
        p = Pen(c, 16)
        disc = circle(8, 8, 7.5)
        p.fill(disc, p.vgrad(0.5, 15.5, top, bottom))
        p.fill(ring(disc, circle(8, 8, 6.8)), (20, 110, 40, 90))
        p.fill(polygon((6, 4), (12, 8), (6, 12)), WHITE)
        return
    p = Pen(c, 48)
    disc = circle(24, 24, 20)
    p.shadow(disc, dy=1.5, radius=1.5, opacity=0.32)
    p.fill(disc, p.vgrad(4, 44, top, bottom))
    p.fill(ring(disc, circle(24, 24, 19)), (20, 110, 40, 100))
    p.fill(ellipse(24, 14, 14, 8), (255, 255, 255, 45))
    tri = polygon((19, 13), (35, 24), (19, 35))
    p.shadow(tri, dy=1.0, radius=1.0, opacity=0.25, color=(0, 60, 10))
    p.fill(tri, WHITE)


# --- options: a gear -------------------------------------------------------------------------

def gear(cx, cy, r_out, r_in, teeth, hole, tooth_frac=0.45, rot=0.0):
    pts = []
    for i in range(teeth):
        a0 = 360.0 * i / teeth + rot
        span = 360.0 / teeth
        tw = span * tooth_frac
        # Root arc, flank, tip arc, flank.
        for a, r in ((a0, r_in), (a0 + (span - tw) / 2 - span * 0.06, r_in),
                     (a0 + (span - tw) / 2 + span * 0.06, r_out), (a0 + (span + tw) / 2 - span * 0.06, r_out),
                     (a0 + (span + tw) / 2 + span * 0.06, r_in)):
            t = math.radians(a)
            pts.append((cx + r * math.cos(t), cy + r * math.sin(t)))
    outer = polygon(*pts)
    return ring(outer, circle(cx, cy, hole))


def draw_options_icon(c, s):
    top, bottom = (140, 166, 204), (70, 96, 140)
    if s <= 20:
        p = Pen(c, 16)
        g = gear(8, 8, 8.0, 5.6, 8, 2.4, 0.5, rot=-22.5)  # teeth on the axes stay crisp
        p.fill(g, p.vgrad(0, 16, top, bottom))
        return
    p = Pen(c, 48)
    g = gear(24, 24, 21, 15.5, 9, 6.5, 0.46)
    p.shadow(g, dy=1.5, radius=1.5, opacity=0.3)
    p.fill(g, p.vgrad(3, 45, top, bottom))
    p.fill(ring(circle(24, 24, 12.5), circle(24, 24, 10.5)), (255, 255, 255, 70))
    p.fill(ring(circle(24, 24, 8.0), circle(24, 24, 6.5)), (30, 50, 90, 80))


# --- round symbol icons: about / information, OK, cancel -------------------------------------

def draw_round_symbol(c, s, top, bottom, symbol):
    if s <= 20:
        p = Pen(c, 16)
        disc = circle(8, 8, 7.5)
        p.fill(disc, p.vgrad(0.5, 15.5, top, bottom))
        p.fill(ring(disc, circle(8, 8, 6.9)), (0, 0, 0, 45))
        if symbol == "info":
            p.fill(rect(7, 3, 9, 5), WHITE)
            p.fill(rect(7, 6, 9, 12) + rect(6, 6, 7, 7) + rect(6, 11, 10, 12), WHITE)
        elif symbol == "check":
            p.fill(stroke([(4.2, 8.2), (6.8, 10.8), (11.8, 5.3)], 1.9), WHITE)
        elif symbol == "cross":
            p.fill(stroke([(4.8, 4.8), (11.2, 11.2)], 2.0, cap="butt") +
                   stroke([(11.2, 4.8), (4.8, 11.2)], 2.0, cap="butt"), WHITE)
        return
    p = Pen(c, 48)
    disc = circle(24, 24, 20)
    p.shadow(disc, dy=1.5, radius=1.5, opacity=0.32)
    p.fill(disc, p.vgrad(4, 44, top, bottom))
    p.fill(ring(disc, circle(24, 24, 19)), (0, 0, 0, 40))
    p.fill(ellipse(24, 14, 14, 8), (255, 255, 255, 45))
    if symbol == "info":
        p.fill(circle(24, 13.5, 3.2), WHITE)
        p.fill(round_rect(21, 19.5, 27, 35, 1.2) + round_rect(17.5, 19.5, 27, 23, 1) +
               round_rect(17.5, 32, 30.5, 35.5, 1), WHITE)
    elif symbol == "check":
        p.fill(stroke([(14, 24.5), (21, 31.5), (34, 17)], 5.0), WHITE)
    elif symbol == "cross":
        p.fill(stroke([(16, 16), (32, 32)], 5.0) + stroke([(32, 16), (16, 32)], 5.0), WHITE)


INFO_COLORS = ((104, 168, 244), (40, 100, 190))
OK_COLORS = ((98, 206, 114), (30, 144, 62))
CANCEL_COLORS = ((255, 128, 104), (214, 58, 44))


# --- modify: a pencil ------------------------------------------------------------------------

def draw_pencil(p, x0, y0, x1, y1, w):
    """A pencil from its tip (x0, y0) to its end (x1, y1), w wide."""
    dx, dy = x1 - x0, y1 - y0
    ln = math.hypot(dx, dy)
    ux, uy = dx / ln, dy / ln
    nx, ny = -uy * w / 2, ux * w / 2
    at = lambda t, side: (x0 + ux * t + nx * side, y0 + uy * t + ny * side)
    tip = ln * 0.22
    band = ln * 0.80
    p.fill(polygon(at(0, 0), at(tip, 1), at(tip, -1)), (244, 214, 170))
    p.fill(polygon(at(0, 0), at(tip * 0.4, 0.4), at(tip * 0.4, -0.4)), (60, 60, 70))
    p.fill(polygon(at(tip, 1), at(band, 1), at(band, 0), at(tip, 0)), (255, 196, 72))
    p.fill(polygon(at(tip, 0), at(band, 0), at(band, -1), at(tip, -1)), (236, 150, 40))
    p.fill(polygon(at(band, 1), at(band + ln * 0.07, 1), at(band + ln * 0.07, -1), at(band, -1)),
           (176, 190, 210))
    p.fill(polygon(at(band + ln * 0.07, 1), at(ln, 1), at(ln, -1), at(band + ln * 0.07, -1)),
           (236, 112, 112))


def draw_modify_icon(c, s):
    if s <= 20:
        p = Pen(c, 16)
        draw_pencil(p, 1.5, 14.5, 14.0, 2.0, 4.4)
        p.fill(rect(1, 15, 6, 16), (110, 132, 165, 160))
        return
    p = Pen(c, 48)
    p.shadow(stroke([(6, 42), (40, 8)], 10), dy=1.2, radius=1.2, opacity=0.25)
    draw_pencil(p, 6, 42, 41, 7, 11)
    p.fill(rect(5, 44, 22, 45.5), (110, 132, 165, 170))


# --- browse: a folder ------------------------------------------------------------------------

def draw_browse_icon(c, s):
    back_a, back_b = (240, 170, 60), (222, 140, 36)
    front_a, front_b = (255, 214, 120), (250, 180, 70)
    if s <= 20:
        p = Pen(c, 16)
        p.fill(polygon((1, 3), (6, 3), (7.5, 4.5), (15, 4.5), (15, 14), (1, 14)), p.vgrad(3, 14, back_a, back_b))
        p.fill(polygon((1, 14), (2.5, 7), (16, 7), (14.5, 14)), p.vgrad(7, 14, front_a, front_b))
        p.fill(rect(2.3, 7, 15.8, 8), (255, 240, 200))
        return
    p = Pen(c, 48)
    back = polygon((4, 9), (17, 9), (21, 13), (44, 13), (44, 41), (4, 41))
    p.shadow(back, dy=1.2, radius=1.5, opacity=0.28)
    p.fill(round_rect(4, 9, 44, 41, 2.5) , p.vgrad(9, 41, back_a, back_b), clip=p.mask(back))
    p.fill(rect(7, 15, 41, 24), (255, 255, 255, 230))
    front = polygon((4, 41), (8, 20), (46, 20), (43, 41))
    p.fill(front, p.vgrad(20, 41, front_a, front_b))
    p.fill(polygon((8, 20), (46, 20), (45.8, 21.2), (7.8, 21.2)), (255, 244, 214))


# --- sort direction: bars of growing length and an arrow towards the longer end -----------------

def draw_sort_icon(c, s, descending):
    bar = ((110, 160, 226), (62, 129, 211))
    arrow = ACCENT
    if s <= 24:
        # 20 px is the size the toolbar draws; the 16 px grid scales to it in whole pixels.
        p = Pen(c, 16 if s != 20 else 20)
        u = 16 if s != 20 else 20
        if u == 20:
            widths = (4, 7, 10, 13)
            ys = (3, 7, 11, 15)
            for i, y in enumerate(ys):
                wv = widths[3 - i] if descending else widths[i]
                p.fill(rect(7, y, 7 + wv, y + 2), p.vgrad(y, y + 2, *bar))
            # 45-degree arrow heads on whole pixels.
            if descending:
                p.fill(rect(3, 6, 5, 18) + polygon((0, 7), (8, 7), (4, 3)), arrow)
            else:
                p.fill(rect(3, 2, 5, 14) + polygon((0, 13), (8, 13), (4, 17)), arrow)
            return
        widths = (3, 5, 7, 9)
        ys = (2, 5, 8, 11)
        for i, y in enumerate(ys):
            wv = widths[3 - i] if descending else widths[i]
            p.fill(rect(6, y, 6 + wv, y + 2), p.vgrad(y, y + 2, *bar))
        if descending:
            p.fill(rect(2, 4, 4, 14) + polygon((0, 5), (6, 5), (3, 2)), arrow)
        else:
            p.fill(rect(2, 1, 4, 11) + polygon((0, 10), (6, 10), (3, 13)), arrow)
        return
    p = Pen(c, 48)
    widths = (10, 17, 24, 31)
    ys = (8, 17, 26, 35)
    for i, y in enumerate(ys):
        wv = widths[3 - i] if descending else widths[i]
        p.fill(round_rect(15, y, 15 + wv, y + 5, 1.2), p.vgrad(y, y + 5, *bar))
    if descending:
        p.fill(rect(6, 14, 10, 42), arrow)
        p.fill(polygon((8, 4), (15, 15), (1, 15)), arrow)
    else:
        p.fill(rect(6, 6, 10, 34), arrow)
        p.fill(polygon((8, 44), (15, 33), (1, 33)), arrow)


# ---------------------------------------------------------------------------------------------
# What is drawn: resource macro (res/resource.h), file under res/art/, and the drawing.
# ---------------------------------------------------------------------------------------------

def bitmap(fn, *args):
    return lambda: fn(*args)


BITMAPS = [
    ("IDB_FRAME_TOPLEFT", "frame_topleft", frame_piece(0, 0, 6, TITLE_H)),
    ("IDB_FRAME_TOP", "frame_top", frame_piece(32, 0, 33, TITLE_H)),
    ("IDB_FRAME_TOPRIGHT", "frame_topright", frame_piece(-6, 0, 64, TITLE_H)),
    ("IDB_FRAME_BOTTOM", "frame_bottom", frame_piece(32, -3, 33, 64)),
    ("IDB_FRAME_LEFT", "frame_left", frame_piece(0, 40, 3, 41)),
    ("IDB_FRAME_BOTTOMLEFT", "frame_bottomleft", frame_piece(0, -5, 5, 64)),
    ("IDB_FRAME_RIGHT", "frame_right", frame_piece(-3, 40, 64, 41)),
    ("IDB_FRAME_BOTTOMRIGHT", "frame_bottomright", frame_piece(-5, -5, 64, 64)),
    ("IDB_MIN_NORMAL", "title_min_normal", bitmap(draw_title_button, "min", "normal")),
    ("IDB_MIN_HOVER", "title_min_hover", bitmap(draw_title_button, "min", "hover")),
    ("IDB_MIN_PRESSED", "title_min_pressed", bitmap(draw_title_button, "min", "pressed")),
    ("IDB_MAX_NORMAL", "title_max_normal", bitmap(draw_title_button, "max", "normal")),
    ("IDB_MAX_HOVER", "title_max_hover", bitmap(draw_title_button, "max", "hover")),
    ("IDB_MAX_PRESSED", "title_max_pressed", bitmap(draw_title_button, "max", "pressed")),
    ("IDB_RESTORE_NORMAL", "title_restore_normal", bitmap(draw_title_button, "restore", "normal")),
    ("IDB_RESTORE_HOVER", "title_restore_hover", bitmap(draw_title_button, "restore", "hover")),
    ("IDB_RESTORE_PRESSED", "title_restore_pressed", bitmap(draw_title_button, "restore", "pressed")),
    ("IDB_CLOSE_NORMAL", "title_close_normal", bitmap(draw_title_button, "close", "normal")),
    ("IDB_CLOSE_HOVER", "title_close_hover", bitmap(draw_title_button, "close", "hover")),
    ("IDB_CLOSE_PRESSED", "title_close_pressed", bitmap(draw_title_button, "close", "pressed")),
    ("IDB_TOOL_NORMAL", "tool_normal", bitmap(draw_tool_button, "normal")),
    ("IDB_TOOL_HOVER", "tool_hover", bitmap(draw_tool_button, "hover")),
    ("IDB_TOOL_PRESSED", "tool_pressed", bitmap(draw_tool_button, "pressed")),
    ("IDB_TOOL_DISABLED", "tool_disabled", bitmap(draw_tool_button, "disabled")),
    ("IDB_TOOL_SEPARATOR", "tool_separator", draw_tool_separator),
    ("IDB_TOOLBAR_LEFT", "toolbar_left", toolbar_piece(0, 2)),
    ("IDB_TOOLBAR_TILE", "toolbar_tile", toolbar_piece(20, 21)),
    ("IDB_TOOLBAR_RIGHT", "toolbar_right", toolbar_piece(-2, 40)),
    ("IDB_ENTRY_NORMAL", "entry_normal", bitmap(draw_entry, False)),
    ("IDB_ENTRY_SELECTED", "entry_selected", bitmap(draw_entry, True)),
    ("IDB_BUTTON_NORMAL", "button_normal", bitmap(draw_command_button, 70, "normal")),
    ("IDB_BUTTON_HOVER", "button_hover", bitmap(draw_command_button, 70, "hover")),
    ("IDB_BUTTON_PRESSED", "button_pressed", bitmap(draw_command_button, 70, "pressed")),
    ("IDB_BUTTON_FOCUSED", "button_focused", bitmap(draw_command_button, 70, "focused")),
    ("IDB_BUTTON_DISABLED", "button_disabled", bitmap(draw_command_button, 70, "disabled")),
    ("IDB_BROWSE_NORMAL", "browse_normal", bitmap(draw_command_button, 45, "normal")),
    ("IDB_BROWSE_HOVER", "browse_hover", bitmap(draw_command_button, 45, "hover")),
    ("IDB_BROWSE_PRESSED", "browse_pressed", bitmap(draw_command_button, 45, "pressed")),
    ("IDB_BROWSE_FOCUSED", "browse_focused", bitmap(draw_command_button, 45, "focused")),
    ("IDB_BROWSE_DISABLED", "browse_disabled", bitmap(draw_command_button, 45, "disabled")),
    ("IDB_INFO_BUTTON", "info_button", bitmap(draw_command_button, 20, "normal")),
    ("IDB_WIDE_NORMAL", "wide_normal", bitmap(draw_command_button, 100, "normal")),
    ("IDB_WIDE_HOVER", "wide_hover", bitmap(draw_command_button, 100, "hover")),
    ("IDB_WIDE_PRESSED", "wide_pressed", bitmap(draw_command_button, 100, "pressed")),
    ("IDB_WIDE_FOCUSED", "wide_focused", bitmap(draw_command_button, 100, "focused")),
    ("IDB_LONG_NORMAL", "long_normal", bitmap(draw_command_button, 150, "normal")),
    ("IDB_LONG_HOVER", "long_hover", bitmap(draw_command_button, 150, "hover")),
    ("IDB_LONG_PRESSED", "long_pressed", bitmap(draw_command_button, 150, "pressed")),
    ("IDB_LONG_FOCUSED", "long_focused", bitmap(draw_command_button, 150, "focused")),
    ("IDB_LONG_DISABLED", "long_disabled", bitmap(draw_command_button, 150, "disabled")),
]

ICONS = [
    ("IDI_QUORVANE", "quorvane", icon_sizes(draw_program_icon)),
    ("IDI_SORT_ASCENDING", "sort_ascending", icon_sizes(lambda c, s: draw_sort_icon(c, s, False))),
    ("IDI_SORT_DESCENDING", "sort_descending", icon_sizes(lambda c, s: draw_sort_icon(c, s, True))),
    ("IDI_TOOL_ADD", "tool_add", icon_sizes(lambda c, s: draw_box_icon(c, s, "plus"))),
    ("IDI_TOOL_DELETE", "tool_delete", icon_sizes(draw_delete_icon)),
    ("IDI_TOOL_ATTACH", "tool_attach", icon_sizes(draw_attach_icon)),
    ("IDI_TOOL_DETACH", "tool_detach", icon_sizes(lambda c, s: draw_attach_icon(c, s, True))),
    ("IDI_TOOL_EXPORT", "tool_export", icon_sizes(draw_export_icon)),
    ("IDI_TOOL_LAUNCH", "tool_launch", icon_sizes(draw_launch_icon)),
    ("IDI_TOOL_OPTIONS", "tool_options", icon_sizes(draw_options_icon)),
    ("IDI_TOOL_ABOUT", "tool_about",
     icon_sizes(lambda c, s: draw_round_symbol(c, s, INFO_COLORS[0], INFO_COLORS[1], "info"))),
    ("IDI_CANCEL", "button_cancel",
     icon_sizes(lambda c, s: draw_round_symbol(c, s, CANCEL_COLORS[0], CANCEL_COLORS[1], "cross"))),
    ("IDI_OK", "button_ok",
     icon_sizes(lambda c, s: draw_round_symbol(c, s, OK_COLORS[0], OK_COLORS[1], "check"))),
    ("IDI_MODIFY", "button_modify", icon_sizes(draw_modify_icon)),
    ("IDI_BROWSE", "button_browse", icon_sizes(draw_browse_icon)),
    ("IDI_INFO", "button_information",
     icon_sizes(lambda c, s: draw_round_symbol(c, s, INFO_COLORS[0], INFO_COLORS[1], "info"))),
    ("IDI_NO_INSTALLER", "list_no_installer", icon_sizes(draw_no_installer_icon)),
    ("IDI_FILE", "list_file", icon_sizes(draw_file_icon)),
    ("IDI_IMPORTED", "list_imported", icon_sizes(lambda c, s: draw_box_icon(c, s))),
]


# Every bitmap is drawn again at these scales; a variant's resource id is its 1x image's plus the
# offset (framework/Dpi.h picks the variant for a window's DPI).
ART_SCALES = ((1.25, 125, 5000), (1.5, 150, 6000), (2.0, 200, 7000))


def render_all(ids):
    """{relative path under res/: bytes}, plus the drawn canvases for the contact sheet."""
    global SCALE, _FRAME
    files = {}
    drawn = []
    rc = ["// Generated by scripts/make_art.py: bitmaps and icons.", ""]
    for macro, name, make in BITMAPS:
        cv = make()
        files["art/%s.bmp" % name] = bmp_bytes(cv)
        rc.append('%s BITMAP "art/%s.bmp"' % (macro, name))
        drawn.append(("bmp", name, [cv]))
    rc.append("")
    rc.append("// The same bitmaps at 1.25x, 1.5x and 2x: the 1x id plus 5000, 6000 and 7000.")
    for k, percent, offset in ART_SCALES:
        SCALE, _FRAME = k, None
        for macro, name, make in BITMAPS:
            cv = make()
            files["art/%s@%d.bmp" % (name, percent)] = bmp_bytes(cv)
            rc.append('%d BITMAP "art/%s@%d.bmp"' % (ids[macro] + offset, name, percent))
        SCALE, _FRAME = 1.0, None
    rc.append("")
    for macro, name, make in ICONS:
        images = make()
        files["art/%s.ico" % name] = ico_bytes(images)
        rc.append('%s ICON "art/%s.ico"' % (macro, name))
        drawn.append(("ico", name, images))
    files["Art.rc"] = ("\n".join(rc) + "\n").encode("ascii")
    return files, drawn


def contact_sheet(drawn, path):
    """Every picture on the pane colour at 1x and 4x, for looking at the art."""
    tiles = []
    for kind, name, images in drawn:
        for cv in images:
            tiles.append(cv)
    pad = 6
    scale = 4
    width = 1200
    # Lay tiles out in rows: each cell is the 1x image above its 4x enlargement.
    cells = []
    x = y = pad
    row_h = 0
    for cv in tiles:
        cw = max(cv.w * scale, 8) + pad
        ch = cv.h + pad + cv.h * scale + pad
        if x + cw > width:
            x = pad
            y += row_h
            row_h = 0
        cells.append((x, y, cv))
        x += cw
        row_h = max(row_h, ch)
    height = y + row_h + pad
    sheet = [[PANE for _ in range(width)] for _ in range(height)]
    for x0, y0, cv in cells:
        for yy in range(cv.h):
            for xx in range(cv.w):
                r, g, b, a = cv.get8(xx, yy)
                bg = PANE
                col = tuple(int(bg[i] + (v - bg[i]) * a / 255.0 + 0.5) for i, v in enumerate((r, g, b)))
                sheet[y0 + yy][x0 + xx] = col
                for sy in range(scale):
                    rowl = sheet[y0 + cv.h + pad + yy * scale + sy]
                    for sx in range(scale):
                        rowl[x0 + xx * scale + sx] = col
    with open(path, "wb") as f:
        f.write(png_bytes(width, height, sheet))


def defined_ids(root):
    """The numbers res/resource.h gives its macros."""
    defined = {}
    with open(os.path.join(root, "resource.h"), encoding="utf-8") as f:
        for line in f:
            parts = line.split()
            if len(parts) >= 3 and parts[0] == "#define":
                try:
                    defined[parts[1]] = int(parts[2], 0)
                except ValueError:
                    defined[parts[1]] = None
    return defined


def undefined_macros(root):
    """Macros of the tables above that res/resource.h does not define (a name that only the
    system headers define would compile to the wrong resource number)."""
    defined = defined_ids(root)
    return [m for m, _, _ in BITMAPS + ICONS if m not in defined]


def main(argv):
    root = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res"))
    missing = undefined_macros(root)
    if missing:
        print("not defined in res/resource.h: %s" % ", ".join(missing))
        return 2
    check = "--check" in argv
    sheet = argv[argv.index("--sheet") + 1] if "--sheet" in argv else None
    files, drawn = render_all(defined_ids(root))
    stale = []
    for rel in sorted(files):
        path = os.path.join(root, rel)
        try:
            with open(path, "rb") as f:
                same = f.read() == files[rel]
        except OSError:
            same = False
        if same:
            continue
        stale.append(rel)
        if not check:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(files[rel])
    art = os.path.join(root, "art")
    known = {os.path.basename(r) for r in files if r.startswith("art/")}
    extra = sorted(n for n in os.listdir(art) if n not in known) if os.path.isdir(art) else []
    if sheet:
        contact_sheet(drawn, sheet)
    if check:
        for rel in stale:
            print("stale: res/%s" % rel)
        for n in extra:
            print("not drawn by this script: res/art/%s" % n)
        return 1 if stale or extra else 0
    for rel in stale:
        print("wrote res/%s" % rel)
    for n in extra:
        print("note: res/art/%s is not drawn by this script" % n)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
