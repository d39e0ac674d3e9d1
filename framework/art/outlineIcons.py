"""What both plug-ins' toolbar icon scripts share: drawing a picture described as strokes in a
16 x 16 design grid, and writing it as an .ico for the editor's Fluent icon sets.

Each .ico holds 32-bit images with straight alpha at 16, 20, 24, 32, 40 and 48 pixels, so the
library can take the one that fits the display's scale; every pixel is sampled 6 x 6 times for
smooth edges. A plug-in's script gives covered(x, y): whether a point of the design grid is ink.
"""
import math
import os
import struct

SIZES = (16, 20, 24, 32, 40, 48)
SAMPLES = 6
STROKE = 1.1  # in design units; grows with the image like the editor's own outline icons
LIGHT_MODE_INK = (36, 36, 36)
DARK_MODE_INK = (240, 240, 240)


def segment_distance(px, py, a, b):
    (ax, ay), (bx, by) = a, b
    dx, dy = bx - ax, by - ay
    length = dx * dx + dy * dy
    t = 0.0 if length == 0 else max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / length))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def on_polylines(x, y, polylines):
    """Whether the point lies under the stroke along any of the polylines (lists of points)."""
    for line in polylines:
        for a, b in zip(line, line[1:]):
            if segment_distance(x, y, a, b) <= STROKE / 2:
                return True
    return False


def render(size, ink, covered):
    rows = []
    scale = 16.0 / size
    for py in range(size):
        row = []
        for px in range(size):
            hits = sum(covered((px + (sx + 0.5) / SAMPLES) * scale, (py + (sy + 0.5) / SAMPLES) * scale)
                       for sy in range(SAMPLES) for sx in range(SAMPLES))
            row.append(ink + (round(255 * hits / (SAMPLES * SAMPLES)),))
        rows.append(row)
    return rows


def ico_image(rows):
    """32 bits per pixel bottom-up, then the 1-bit mask (set where fully transparent)."""
    size = len(rows)
    pixels = bytearray()
    mask = bytearray()
    stride = ((size + 31) // 32) * 4
    for row in reversed(rows):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
        bits = bytearray(stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return header + pixels + mask


def write_ico(path, ink, covered):
    images = [ico_image(render(size, ink, covered)) for size in SIZES]
    offset = 6 + 16 * len(images)
    directory = struct.pack('<HHH', 0, 1, len(images))
    for size, image in zip(SIZES, images):
        directory += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    with open(path, 'wb') as out:
        out.write(directory + b''.join(images))
    print(path)


def write_light_and_dark(folder, covered):
    """toolbarLight.ico (dark strokes, for light mode) and toolbarDark.ico (light strokes, for dark mode)."""
    write_ico(os.path.join(folder, 'toolbarLight.ico'), LIGHT_MODE_INK, covered)
    write_ico(os.path.join(folder, 'toolbarDark.ico'), DARK_MODE_INK, covered)
