#!/usr/bin/env python3
"""Draws Wordlamp's toolbar icons for the editor's Fluent icon sets, a life buoy in thin outline:
toolbarLight.ico (dark strokes, for light mode) and toolbarDark.ico (light strokes, for dark mode)
beside this script, through the framework's outline-icon drawing (framework/art/outlineIcons.py).
"""
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'framework', 'art'))
from outlineIcons import STROKE, on_polylines, write_light_and_dark  # noqa: E402

# Rings and polylines in the 16 x 16 design grid: the buoy's rims and the edges of its bands.
CENTRE = (8.0, 8.0)
RIMS = (6.5, 3.0)
BANDS = [[(8 + 3.0 * math.cos(a), 8 + 3.0 * math.sin(a)), (8 + 6.5 * math.cos(a), 8 + 6.5 * math.sin(a))]
         for a in (math.radians(45 + 90 * quarter) for quarter in range(4))]


def covered(x, y):
    d = math.hypot(x - CENTRE[0], y - CENTRE[1])
    return any(abs(d - rim) <= STROKE / 2 for rim in RIMS) or on_polylines(x, y, BANDS)


if __name__ == '__main__':
    write_light_and_dark(os.path.dirname(os.path.abspath(__file__)), covered)
