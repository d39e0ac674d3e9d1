#!/usr/bin/env python3
"""Draws Pickpath's toolbar button, an open folder with an arrow coming out of it, as a 16 x 16
bitmap at 8 bits per pixel with a palette: toolbar.bmp beside this script.

The background is the light grey (192, 192, 192) that the editor's toolbar turns into the colour
of its buttons (the bitmap is loaded with LR_LOADMAP3DCOLORS).
"""
import os
import struct

PALETTE = {
    '.': (192, 192, 192),  # background, becomes the button face
    'K': (64, 48, 0),      # outline
    'B': (230, 180, 40),   # back of the folder
    'L': (255, 236, 150),  # highlight
    'Y': (252, 208, 72),   # front flap
    'D': (190, 140, 20),   # shade
    'G': (24, 150, 40),    # arrow
    'g': (10, 90, 20),     # arrow edge
}

PICTURE = [
    "...........g....",
    "..........gGg...",
    ".........gGGGg..",
    "........gGGGGGg.",
    ".........ggGgg..",
    ".KKKK.....gGg...",
    "KLLLLK....gGg...",
    "KBBBBBKKKKgGgK..",
    "KBBBBBBBBBgGgBK.",
    "KBBKKKKKKKKKKKKK",
    "KBKLYYYYYYYYYYK.",
    "KBKYYYYYYYYYYDK.",
    "KKYYYYYYYYYYYK..",
    "KKYYYYYYYYYDDK..",
    "KKKKKKKKKKKKK...",
    "................",
]


def bitmap_bytes():
    keys = list(PALETTE)
    width = height = 16
    assert len(PICTURE) == height and all(len(row) == width for row in PICTURE)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in (PALETTE[k] for k in keys))
    # Rows run from the bottom up; 16 bytes a row is already a multiple of four.
    pixels = b''.join(bytes(keys.index(c) for c in row) for row in reversed(PICTURE))
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 8, 0, len(pixels), 2835, 2835, len(keys), len(keys))
    offset = 14 + len(info) + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    return header + info + palette + pixels


if __name__ == '__main__':
    target = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'toolbar.bmp')
    with open(target, 'wb') as out:
        out.write(bitmap_bytes())
    print(target)
