#!/usr/bin/env python3
"""Packs the program icons of the Windows build from the icon PNGs that
make_artwork.py draws, with the colour depths each program's window asks for:

  icons/kestrow.ico           the shortcut maker: 16 x 16 in 16 colours, in
                              256 colours and in 32-bit colour
  icons/kestrow-defaults.ico  the defaults editor: 48, 32 and 16 pixels in 256
                              colours and in 32-bit colour

Each also carries the larger 32-bit images today's shells show (32, 48 and a
PNG-compressed 256). Only the Python standard library is used; the outputs
are committed, so the build never runs this.

    python3 resources/tools/make_icons.py
"""

import colorsys
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ICONS = os.path.join(os.path.dirname(HERE), "icons")

# The Windows 16-colour palette, in its system order.
VGA_PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

# Pixels at least this opaque are drawn; the rest show through the mask.
OPAQUE = 128


def read_png(path):
    """(width, height, rows of (r, g, b, a)) of an 8-bit, non-interlaced PNG
    in RGB, RGBA or palette colour."""
    data = open(path, "rb").read()
    assert data[:8] == b"\x89PNG\r\n\x1a\n", path
    at, idat, palette, alphas = 8, b"", [], b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            assert depth == 8 and interlace == 0 and colour in (2, 3, 6), path
        elif kind == b"PLTE":
            palette = [tuple(body[i:i + 3]) for i in range(0, len(body), 3)]
        elif kind == b"tRNS":
            alphas = body
        elif kind == b"IDAT":
            idat += body
        at += 12 + length
    channels = {2: 3, 3: 1, 6: 4}[colour]
    stride = width * channels
    raw = zlib.decompress(idat)
    rows, previous = [], bytearray(stride)
    for y in range(height):
        line = raw[y * (stride + 1):(y + 1) * (stride + 1)]
        kind, line = line[0], bytearray(line[1:])
        for i in range(stride):
            a = line[i - channels] if i >= channels else 0
            b = previous[i]
            c = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        previous = line
        if colour == 3:
            rows.append([palette[v] + ((alphas[v] if v < len(alphas) else 255),) for v in line])
        elif colour == 2:
            rows.append([tuple(line[i:i + 3]) + (255,) for i in range(0, stride, 3)])
        else:
            rows.append([tuple(line[i:i + 4]) for i in range(0, stride, 4)])
    return width, height, rows


def distance(a, b):
    # In brightness and colour apart, colour weighing double: with few
    # colours to choose from, a blue should stay a blue, if a darker one.
    def split(p):
        y = 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2]
        return y, p[2] - y, p[0] - y
    (ya, ba, ra), (yb, bb, rb) = split(a), split(b)
    return (ya - yb) ** 2 + (ba - bb) ** 2 + (ra - rb) ** 2


def nearest(colour, palette):
    return min(range(len(palette)), key=lambda i: distance(colour, palette[i]))


def nearest_vga(colour):
    """The 16-colour choice as an icon painter makes it: a coloured pixel
    keeps its hue and takes the brightness step nearest its own; a greyish
    one takes the nearest grey."""
    h, s, v = colorsys.rgb_to_hsv(*(c / 255 for c in colour))
    candidates = []
    if s > 0.25:
        for i, entry in enumerate(VGA_PALETTE):
            eh, es, _ = colorsys.rgb_to_hsv(*(c / 255 for c in entry))
            apart = min(abs(h - eh), 1 - abs(h - eh))
            if es > 0.5 and apart <= 30 / 360:
                candidates.append(i)
    if not candidates:
        candidates = [0, 7, 8, 15]  # black, silver, grey, white
    return min(candidates,
               key=lambda i: (abs(v - max(VGA_PALETTE[i]) / 255),
                              distance(colour, VGA_PALETTE[i])))


def median_cut(colours, count):
    """A palette of at most count colours for the given ones."""
    unique = sorted(set(colours))
    if len(unique) <= count:
        return unique
    boxes = [list(colours)]
    while len(boxes) < count:
        # Split the box with the widest channel at its median.
        best, channel, spread = None, 0, -1
        for i, box in enumerate(boxes):
            if len(set(box)) < 2:
                continue
            for c in range(3):
                values = [p[c] for p in box]
                if max(values) - min(values) > spread:
                    best, channel, spread = i, c, max(values) - min(values)
        if best is None:
            break
        box = sorted(boxes.pop(best), key=lambda p: p[channel])
        middle = len(box) // 2
        boxes += [box[:middle], box[middle:]]
    return [tuple(sum(p[c] for p in box) // len(box) for c in range(3)) for box in boxes]


def indexed(rows, palette):
    """Palette indices for each pixel; transparent ones get 0."""
    choose = nearest_vga if palette is VGA_PALETTE else lambda p: nearest(p, palette)
    return [[choose(p[:3]) if p[3] >= OPAQUE else 0 for p in row] for row in rows]


def and_mask(rows):
    """The 1-bit mask, bottom row first: 1 where the background shows."""
    width = len(rows[0])
    stride = ((width + 31) // 32) * 4
    out = b""
    for row in reversed(rows):
        line = bytearray(stride)
        for x, pixel in enumerate(row):
            if pixel[3] < OPAQUE:
                line[x // 8] |= 0x80 >> (x % 8)
        out += line
    return out


def bmp_image(rows, bits):
    """An icon image in the BMP form (header, palette, colours, mask)."""
    height, width = len(rows), len(rows[0])
    if bits == 32:
        palette, pixels = [], b""
        for row in reversed(rows):
            pixels += b"".join(bytes((b, g, r, a)) for r, g, b, a in row)
    else:
        colours = 1 << bits
        if bits == 4:
            palette = VGA_PALETTE
        else:
            palette = median_cut([p[:3] for row in rows for p in row if p[3] >= OPAQUE], colours)
        indices = indexed(rows, palette)
        palette = palette + [(0, 0, 0)] * (colours - len(palette))
        stride = ((width * bits + 31) // 32) * 4
        pixels = b""
        for line in reversed(indices):
            packed = bytearray(stride)
            for x, v in enumerate(line):
                if bits == 8:
                    packed[x] = v
                else:
                    packed[x // 2] |= v << (4 if x % 2 == 0 else 0)
            pixels += packed
    header = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, bits, 0,
                         len(pixels) + len(and_mask(rows)), 0, 0,
                         len(palette) if bits < 32 else 0, 0)
    colour_table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    return header + colour_table + pixels + and_mask(rows)


def write_ico(path, images):
    """images: (width, height, bits, bytes) in directory order."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for width, height, bits, data in images:
        colours = 16 if bits == 4 else 0
        out += struct.pack("<BBBBHHII", width % 256, height % 256, colours, 0, 1, bits,
                           len(data), offset)
        offset += len(data)
    out += b"".join(data for _, _, _, data in images)
    with open(path, "wb") as f:
        f.write(out)


def main():
    art = {size: read_png(os.path.join(ICONS, "kestrow-%d.png" % size))[2]
           for size in (16, 32, 48)}
    big = open(os.path.join(ICONS, "kestrow-256.png"), "rb").read()

    def image(size, bits):
        return (size, size, bits, bmp_image(art[size], bits))

    write_ico(os.path.join(ICONS, "kestrow.ico"),
              [image(16, 4), image(16, 8), image(16, 32), image(32, 32), image(48, 32),
               (256, 256, 32, big)])
    write_ico(os.path.join(ICONS, "kestrow-defaults.ico"),
              [image(48, 8), image(32, 8), image(16, 8), image(48, 32), image(32, 32),
               image(16, 32), (256, 256, 32, big)])


if __name__ == "__main__":
    main()
