#!/usr/bin/env python3
"""Draws Kestrow's artwork: the About box landscape, the program icon in four
sizes plus the Windows .ico files, and the pointing-hand cursor.

Only the Python standard library draws; ImageMagick's `convert` turns the
results into JPEG and scales the icon, and make_icons.py packs the .ico
files. The outputs are committed, so the build never runs this.

    python3 resources/tools/make_artwork.py        # rewrites resources/*/...
"""

import math
import os
import random
import struct
import subprocess
import sys
import tempfile
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.dirname(HERE)


# --- small image helpers -----------------------------------------------------

def write_png(path, width, height, rgba):
    """rgba: list of rows, each a list of (r, g, b, a) tuples of 0..255."""
    raw = bytearray()
    for row in rgba:
        raw.append(0)
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as out:
        out.write(png)


def write_ppm(path, width, height, rgb_rows):
    with open(path, "wb") as out:
        out.write(b"P6 %d %d 255\n" % (width, height))
        for row in rgb_rows:
            out.write(bytes(c for px in row for c in px))


def clamp(v):
    return 0 if v < 0 else 255 if v > 255 else int(v + 0.5)


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def hexcolour(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


def smoothstep(e0, e1, x):
    t = min(1.0, max(0.0, (x - e0) / (e1 - e0)))
    return t * t * (3 - 2 * t)


class ValueNoise:
    """1-D and 2-D smooth value noise, seeded, for ridges, clouds and texture."""

    def __init__(self, seed):
        rnd = random.Random(seed)
        self.values = [rnd.random() for _ in range(1024)]

    def _v(self, i, j=0):
        return self.values[(i * 71 + j * 977 + (i * j) % 13) % 1024]

    def noise1(self, x):
        i = math.floor(x)
        t = x - i
        t = t * t * (3 - 2 * t)
        return self._v(i) * (1 - t) + self._v(i + 1) * t

    def noise2(self, x, y):
        i, j = math.floor(x), math.floor(y)
        tx, ty = x - i, y - j
        tx = tx * tx * (3 - 2 * tx)
        ty = ty * ty * (3 - 2 * ty)
        a = self._v(i, j) * (1 - tx) + self._v(i + 1, j) * tx
        b = self._v(i, j + 1) * (1 - tx) + self._v(i + 1, j + 1) * tx
        return a * (1 - ty) + b * ty

    def fractal1(self, x, octaves=5):
        total, amp, freq, norm = 0.0, 1.0, 1.0, 0.0
        for _ in range(octaves):
            total += amp * self.noise1(x * freq)
            norm += amp
            amp *= 0.5
            freq *= 2.0
        return total / norm

    def fractal2(self, x, y, octaves=5):
        total, amp, freq, norm = 0.0, 1.0, 1.0, 0.0
        for _ in range(octaves):
            total += amp * self.noise2(x * freq, y * freq)
            norm += amp
            amp *= 0.5
            freq *= 2.0
        return total / norm


# --- the About box landscape ---------------------------------------------------

def landscape(width=500, height=375):
    """A quiet lake under light hills: bright enough for dark label text."""
    ridge_noise, cloud_noise, grain_noise = ValueNoise(7), ValueNoise(11), ValueNoise(23)
    rnd = random.Random(5)
    horizon = 262  # the water line

    sky_top, sky_low = hexcolour("#a9cbea"), hexcolour("#f1f5f6")
    far_hill, mid_hill = hexcolour("#b7c6d6"), hexcolour("#8fab8c")
    near_hill_dark, near_hill_light = hexcolour("#5f7f55"), hexcolour("#8aa874")
    water_deep = hexcolour("#7fa3bf")

    def far_ridge(x):
        return 178 - 42 * ridge_noise.fractal1(x / 120.0 + 3.0) + 10 * math.sin(x / 70.0)

    def mid_ridge(x):
        return 232 - 40 * ridge_noise.fractal1(x / 80.0 + 17.0) - 18 * math.exp(-((x - 120) / 90.0) ** 2)

    def near_ridge(x):
        # a wooded bank on the right that slopes down to the water
        return horizon - 4 - 62 * smoothstep(230, 500, x) * (0.7 + 0.3 * ridge_noise.fractal1(x / 25.0 + 40))

    def sky(x, y):
        t = smoothstep(0, horizon, y) ** 0.8
        c = mix(sky_top, sky_low, t)
        # soft light from the upper right
        glow = math.exp(-(((x - 395) / 140.0) ** 2 + ((y - 60) / 90.0) ** 2))
        c = mix(c, (255, 252, 240), 0.45 * glow)
        # thin fair-weather clouds
        n = cloud_noise.fractal2(x / 110.0, y / 28.0, 5)
        cloud = smoothstep(0.52, 0.72, n) * (1 - smoothstep(150, 200, y))
        return mix(c, (255, 255, 255), 0.65 * cloud)

    def land(x, y):
        """The colour of land at (x, y), or None above every ridge."""
        nr = near_ridge(x)
        if y >= nr:
            shade = smoothstep(nr, nr + 60, y)
            tex = grain_noise.fractal2(x / 6.0, y / 6.0, 3)
            c = mix(near_hill_light, near_hill_dark, 0.4 * shade + 0.5 * tex)
            return c
        mr = mid_ridge(x)
        if y >= mr:
            haze = 1 - smoothstep(mr, mr + 40, y)
            tex = grain_noise.fractal2(x / 9.0 + 50, y / 9.0, 3)
            c = mix(mid_hill, near_hill_dark, 0.35 * tex)
            return mix(c, sky_low, 0.35 * haze + 0.15)
        fr = far_ridge(x)
        if y >= fr:
            tex = grain_noise.fractal2(x / 14.0 + 90, y / 14.0, 2)
            c = mix(far_hill, hexcolour("#9fb2c4"), 0.5 * tex)
            return mix(c, sky_low, 0.25 * (1 - smoothstep(fr, fr + 50, y)))
        return None

    rows = []
    for y in range(height):
        row = []
        for x in range(width):
            if y < horizon:
                c = land(x, y) or sky(x, y)
            else:
                depth = (y - horizon) / (height - horizon)
                # mirror image, squashed a little and blurred by ripples
                ripple = 2.5 * math.sin(y * 0.9 + 3 * grain_noise.noise1(x / 30.0)) * (0.3 + depth)
                my = horizon - (y - horizon) * 1.05 - 1
                mx = x + ripple
                mirrored = land(mx, my) if my > 0 else None
                if mirrored is None:
                    mirrored = sky(mx, max(0, my))
                c = mix(mirrored, water_deep, 0.25 + 0.45 * depth)
                # light streaks on the water
                streak = grain_noise.noise2(x / 60.0, y * 1.3)
                c = mix(c, (250, 252, 255), 0.25 * smoothstep(0.78, 0.95, streak) * (1 - depth))
                # the shore line catches the light
                if y - horizon < 2:
                    c = mix(c, (235, 240, 238), 0.5)
            grain = rnd.gauss(0, 3.2)
            row.append(tuple(clamp(v + grain) for v in c))
        rows.append(row)
    return rows


# --- the program icon ----------------------------------------------------------

def coverage(width, height, inside, samples=4):
    """Anti-aliased coverage of a shape given as inside(x, y) in pixel units."""
    rows = []
    step = 1.0 / samples
    for y in range(height):
        row = []
        for x in range(width):
            hits = 0
            for sy in range(samples):
                for sx in range(samples):
                    if inside(x + (sx + 0.5) * step, y + (sy + 0.5) * step):
                        hits += 1
            row.append(hits / (samples * samples))
        rows.append(row)
    return rows


def in_round_rect(x, y, left, top, right, bottom, radius):
    if x < left or x > right or y < top or y > bottom:
        return False
    cx = min(max(x, left + radius), right - radius)
    cy = min(max(y, top + radius), bottom - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def in_capsule(x, y, a, b, radius):
    """Inside the stadium of the given radius around the segment a-b."""
    ax, ay = a
    bx, by = b
    t = ((x - ax) * (bx - ax) + (y - ay) * (by - ay)) / ((bx - ax) ** 2 + (by - ay) ** 2)
    t = min(1.0, max(0.0, t))
    return (x - ax - t * (bx - ax)) ** 2 + (y - ay - t * (by - ay)) ** 2 <= radius ** 2


def in_polygon(x, y, points):
    inside = False
    j = len(points) - 1
    for i in range(len(points)):
        xi, yi = points[i]
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


class Canvas:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.px = [[(0.0, 0.0, 0.0, 0.0) for _ in range(width)] for _ in range(height)]

    def paint(self, inside, colour, samples=4, shade=None):
        """Paints a shape over what is there; shade(x, y) may vary the colour."""
        cov = coverage(self.width, self.height, inside, samples)
        for y in range(self.height):
            for x in range(self.width):
                a = cov[y][x]
                if a == 0:
                    continue
                c = shade(x, y) if shade else colour
                r0, g0, b0, a0 = self.px[y][x]
                out_a = a + a0 * (1 - a)
                mixc = [(c[i] * a + (r0, g0, b0)[i] * a0 * (1 - a)) / out_a for i in range(3)]
                self.px[y][x] = (mixc[0], mixc[1], mixc[2], out_a)

    def rows(self):
        return [[(clamp(r), clamp(g), clamp(b), clamp(a * 255)) for r, g, b, a in row] for row in self.px]


def icon(size=256):
    s = size / 256.0
    c = Canvas(size, size)
    back, front_top, front_low = hexcolour("#e3a73f"), hexcolour("#ffd56a"), hexcolour("#f2b63d")
    edge = hexcolour("#a8741c")

    # the back of the folder with its tab
    def back_shape(x, y):
        return (in_round_rect(x, y, 20 * s, 52 * s, 236 * s, 216 * s, 14 * s)
                or in_round_rect(x, y, 20 * s, 36 * s, 112 * s, 80 * s, 12 * s))

    def grown(shape, by):
        return lambda x, y: any(shape(x + dx * by, y + dy * by) for dx, dy in
                                ((0, 0), (1, 0), (-1, 0), (0, 1), (0, -1)))

    c.paint(grown(back_shape, 3 * s), edge)
    c.paint(back_shape, back)
    # a sheet of paper peeking out
    c.paint(lambda x, y: in_round_rect(x, y, 36 * s, 66 * s, 220 * s, 140 * s, 6 * s), (250, 250, 246))
    c.paint(lambda x, y: 86 * s < y < 90 * s and 52 * s < x < 200 * s, (200, 205, 215))
    c.paint(lambda x, y: 102 * s < y < 106 * s and 52 * s < x < 180 * s, (200, 205, 215))

    # the front flap, slightly slanted
    front = [(14 * s, 104 * s), (242 * s, 104 * s), (232 * s, 222 * s), (24 * s, 222 * s)]

    def front_shape(x, y):
        return in_polygon(x, y, front)

    c.paint(grown(front_shape, 3 * s), edge)
    c.paint(front_shape, None,
            shade=lambda x, y: mix(front_top, front_low, smoothstep(104 * s, 222 * s, y)))

    # the shortcut arrow: a bold curved arrow sweeping up to the right
    blue, blue_edge = hexcolour("#2f6fd0"), hexcolour("#173f86")
    cx, cy = 148 * s, 238 * s

    def arrow_shape(x, y):
        # a quarter ring from the lower left up to the right ...
        dx, dy = x - cx, y - cy
        r = math.hypot(dx, dy)
        ang = math.atan2(-dy, dx)
        ring = 56 * s <= r <= 90 * s and math.radians(89) <= ang <= math.radians(162)
        # ... ending in a triangular head that points right
        head = in_polygon(x, y, [(146 * s, 118 * s), (214 * s, 165 * s), (146 * s, 212 * s)])
        return ring or head

    # white backing so the arrow reads on the folder at any size
    c.paint(grown(arrow_shape, 7 * s), (255, 255, 255))
    c.paint(grown(arrow_shape, 2.5 * s), blue_edge)
    c.paint(arrow_shape, None,
            shade=lambda x, y: mix(hexcolour("#5a95ea"), blue, smoothstep(110 * s, 200 * s, y)))
    return c.rows()


# --- the pointing-hand cursor --------------------------------------------------

def hand_cursor():
    """32 x 32, the tip of the index finger at (5, 0)."""
    c = Canvas(32, 32)

    def hand(grow):
        g = grow

        def inside(x, y):
            return (in_round_rect(x, y, 3.5 - g, 0.5 - g, 8.5 + g, 17 + g, 2.5 + g)        # index finger
                    or in_round_rect(x, y, 8 - g, 9 - g, 13 + g, 19 + g, 2.4 + g)      # middle finger
                    or in_round_rect(x, y, 12.5 - g, 10 - g, 17.5 + g, 20 + g, 2.4 + g)  # ring finger
                    or in_round_rect(x, y, 17 - g, 11.5 - g, 21.5 + g, 21 + g, 2.2 + g)  # little finger
                    or in_round_rect(x, y, 3.5 - g, 15 - g, 21.5 + g, 29.5 + g, 4 + g)  # palm
                    or in_capsule(x, y, (3.0, 15.2), (6.0, 22.5), 1.9 + g))            # thumb
        return inside

    c.paint(hand(1.2), (0, 0, 0), samples=4)
    c.paint(hand(0.0), (255, 255, 255), samples=4)
    # creases between the fingers
    for x0 in (8.4, 12.9, 17.3):
        c.paint(lambda x, y, x0=x0: x0 - 0.45 < x < x0 + 0.45 and 13 < y < 17.5, (0, 0, 0))
    return c.rows()


# --- main ------------------------------------------------------------------------

def run(*args):
    subprocess.run(args, check=True)


def main():
    convert = os.environ.get("CONVERT", "convert")
    pictures = os.path.join(RESOURCES, "pictures")
    icons = os.path.join(RESOURCES, "icons")
    cursors = os.path.join(RESOURCES, "cursors")
    for d in (pictures, icons, cursors):
        os.makedirs(d, exist_ok=True)

    with tempfile.TemporaryDirectory() as tmp:
        ppm = os.path.join(tmp, "about.ppm")
        write_ppm(ppm, 500, 375, landscape())
        run(convert, ppm, "-strip", "-sampling-factor", "4:2:0", "-quality", "88",
            os.path.join(pictures, "about.jpg"))

        big = os.path.join(icons, "kestrow-256.png")
        write_png(big, 256, 256, icon(256))
        for size in (48, 32, 16):
            # small sizes are drawn afresh at 4x and scaled, which keeps them crisp
            master = os.path.join(tmp, "icon-%d.png" % size)
            write_png(master, size * 4, size * 4, icon(size * 4))
            run(convert, master, "-filter", "Lanczos", "-resize", "%dx%d" % (size, size),
                "-unsharp", "0x0.6", "-strip", os.path.join(icons, "kestrow-%d.png" % size))
        # The programs' .ico files, in the colour depths their windows ask for.
        run(sys.executable, os.path.join(HERE, "make_icons.py"))

        write_png(os.path.join(cursors, "hand.png"), 32, 32, hand_cursor())
    return 0


if __name__ == "__main__":
    sys.exit(main())
