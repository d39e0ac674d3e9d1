#!/usr/bin/env python3
"""Draws Wordlamp's three menu icons and writes them as .ico files beside this script.

Each icon holds 16, 20, 24 and 32 pixel images with 32 bits per pixel (straight alpha). Shapes are described as
functions that say whether a point lies inside them; every pixel is sampled 8 x 8 times so that
edges come out smooth. Run it again after changing a picture and commit the .ico files with it.
"""

import math
import os
import struct

SIZES = (16, 20, 24, 32)  # 100 %, 125 %, 150 % and 200 % of a 16-pixel menu icon
SAMPLES = 8


def render(paint, size):
    """paint(x, y) gives the (r, g, b, a) colour at a point of the 16 x 16 design grid, a in 0..1.
    Returns size rows of RGBA bytes."""
    scale = 16.0 / size
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0.0
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (px + (sx + 0.5) / SAMPLES) * scale
                    y = (py + (sy + 0.5) / SAMPLES) * scale
                    cr, cg, cb, ca = paint(x, y)
                    # Accumulate premultiplied, so transparent samples don't darken the edge.
                    r += cr * ca
                    g += cg * ca
                    b += cb * ca
                    a += ca
            n = SAMPLES * SAMPLES
            if a > 0:
                row.append((round(r / a), round(g / a), round(b / a), round(255 * a / n)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def ico_image(rows):
    """32 bits per pixel stored bottom-up, followed by its 1-bit transparency mask."""
    size = len(rows)
    stride = ((size + 31) // 32) * 4  # each mask row is padded to 32 bits
    pixels = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(stride)
        for x, (r, g, b, a) in enumerate(row):
            pixels += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask


def write_ico(path, paint):
    """One image per size, so the library takes the one drawn for the display's scale."""
    images = [ico_image(render(paint, size)) for size in SIZES]
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        directory += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, "wb") as f:
        f.write(directory + b"".join(images))


CLEAR = (0, 0, 0, 0.0)


def life_buoy(x, y):
    """A ring in four red and four white quarters, with a dark rim."""
    cx = cy = 8.0
    d = math.hypot(x - cx, y - cy)
    if d > 7.6 or d < 3.0:
        return CLEAR
    if d > 6.9 or d < 3.7:
        return (90, 20, 20, 1.0)
    angle = math.degrees(math.atan2(y - cy, x - cx)) % 360
    # Red bands centred on the diagonals, white ones on the axes.
    if int(((angle + 22.5) % 360) // 45) % 2 == 1:
        return (220, 30, 30, 1.0)
    return (250, 250, 250, 1.0)


def segment_distance(x, y, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(x - (ax + t * dx), y - (ay + t * dy))


def inside_wrench(x, y):
    head_x, head_y = 11.0, 5.0
    in_handle = segment_distance(x, y, 2.6, 13.4, 9.5, 6.5) < 1.8
    in_head = math.hypot(x - head_x, y - head_y) < 4.4
    # The jaw: a slot cut into the head along the handle's direction, opening to the upper right.
    along = ((x - head_x) - (y - head_y)) * math.sqrt(0.5)
    across = ((x - head_x) + (y - head_y)) * math.sqrt(0.5)
    in_jaw = along > -0.6 and abs(across) < 1.7
    return (in_handle or in_head) and not in_jaw


def wrench(x, y):
    """A steel wrench lying on the diagonal: handle to the lower left, open jaw to the upper right."""
    if not inside_wrench(x, y):
        return CLEAR
    # A dark rim around a light face gives the metal its outline on any background.
    edge = 0.9
    if not all(inside_wrench(x + dx, y + dy) for dx, dy in ((edge, 0), (-edge, 0), (0, edge), (0, -edge))):
        return (55, 60, 72, 1.0)
    shine = max(0.0, 1.0 - math.hypot(x - 6.0, y - 6.0) / 9.0)
    return (int(150 + 80 * shine), int(155 + 80 * shine), int(165 + 80 * shine), 1.0)


def information_sign(x, y):
    """A blue disc with a white lower-case i."""
    cx = cy = 8.0
    d = math.hypot(x - cx, y - cy)
    if d > 7.6:
        return CLEAR
    dot = math.hypot(x - 8.0, y - 4.3) < 1.35
    stem = 7.0 <= x <= 9.0 and 6.6 <= y <= 12.4
    foot = 6.2 <= x <= 9.8 and 11.4 <= y <= 12.4
    serif = 6.2 <= x <= 9.0 and 6.6 <= y <= 7.5
    if dot or stem or foot or serif:
        return (255, 255, 255, 1.0)
    if d > 6.9:
        return (10, 50, 140, 1.0)
    # Lighter towards the upper left, as if lit from there.
    light = max(0.0, 1.0 - math.hypot(x - 5.5, y - 5.0) / 10.0)
    return (int(30 + 60 * light), int(100 + 70 * light), int(210 + 40 * light), 1.0)


ICONS = {
    "lifeBuoy.ico": life_buoy,
    "wrench.ico": wrench,
    "information.ico": information_sign,
}

if __name__ == "__main__":
    folder = os.path.dirname(os.path.abspath(__file__))
    for name, paint in ICONS.items():
        write_ico(os.path.join(folder, name), paint)
        print("wrote", name)
