#!/usr/bin/env python3
"""Draws Pickpath's toolbar icons for the editor's Fluent icon sets, an open folder with an arrow
coming out of it in thin outline: toolbarLight.ico (dark strokes, for light mode) and
toolbarDark.ico (light strokes, for dark mode) beside this script, through the framework's
outline-icon drawing (framework/art/outlineIcons.py).
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'framework', 'art'))
from outlineIcons import on_polylines, write_light_and_dark  # noqa: E402

# Polylines in the 16 x 16 design grid.
FOLDER = [
    [(1.5, 13.5), (1.5, 3.5), (5.5, 3.5), (7, 5), (9, 5)],  # back with its tab
    [(1.5, 13.5), (3.5, 8.5), (14.5, 8.5), (12.5, 13.5), (1.5, 13.5)],  # open front flap
]
ARROW = [
    [(11.5, 6.5), (11.5, 1.5)],
    [(9.5, 3.5), (11.5, 1.5), (13.5, 3.5)],
]


def covered(x, y):
    return on_polylines(x, y, FOLDER + ARROW)


if __name__ == '__main__':
    write_light_and_dark(os.path.dirname(os.path.abspath(__file__)), covered)
