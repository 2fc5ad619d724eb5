#!/usr/bin/python3
"""Makes the program's own copy of Wine's Tahoma faces, mended for Turkish text.

    mend_tahoma.py REGULAR.ttf BOLD.ttf OUT_FOLDER

Two faults of Wine's Tahoma are mended; everything else stays as it is:

- Capital I with dot above (U+0130) is a bare stem with a dot on the advance
  of the capital I, which has crossbars: every "İ" is followed by a gap. Here
  it becomes the capital I's outline with the dot centred above it, on the
  same advance.
- The bold face has the regular face's outlines, only wider advances, so bold
  text looks regular. Here its outlines are made heavier (stems about one
  pixel wider at 16 pixels), as FreeType's outline emboldening does; the
  advances stay, so text keeps its size.

The faces are LGPL-2.1-or-later (Wine); the copies keep their names, so the
program asks for "Tahoma" as before.
"""

import math
import os
import sys

from fontTools.ttLib import TTFont
from fontTools.ttLib.tables._g_l_y_f import GlyphCoordinates

# Emboldening strengths in font units (2048 to the em): the total growth of a
# vertical and of a horizontal stem.
BOLD_X_STRENGTH = 150
BOLD_Y_STRENGTH = 60


def contours_of(glyph):
    """The point ranges [start, end] of a simple glyph's contours."""
    start = 0
    for end in glyph.endPtsOfContours:
        yield start, end
        start = end + 1


def mend_dotted_capital_i(font):
    """İ: the capital I's outline, with the dot of the old İ centred above it."""
    cmap = font.getBestCmap()
    glyf = font["glyf"]
    hmtx = font["hmtx"]
    capital = glyf[cmap[ord("I")]]
    dotted_name = cmap[ord("İ")]
    dotted = glyf[dotted_name]
    if capital.isComposite() or dotted.isComposite():
        raise SystemExit("mend_tahoma: I or İ is not a simple glyph")
    capital_top = max(y for _, y in capital.coordinates)

    # The dot: the contours of İ that lie wholly above the capital I.
    dot_points = []
    dot_ends = []
    dot_flags = []
    for start, end in contours_of(dotted):
        points = [dotted.coordinates[i] for i in range(start, end + 1)]
        if min(y for _, y in points) > capital_top:
            dot_points.extend(points)
            dot_flags.extend(dotted.flags[start : end + 1])
            dot_ends.append(len(dot_points) - 1)
    if not dot_points:
        raise SystemExit("mend_tahoma: İ has no dot above the capital I")

    capital_xs = [x for x, _ in capital.coordinates]
    dot_xs = [x for x, _ in dot_points]
    shift = round(
        (min(capital_xs) + max(capital_xs)) / 2 - (min(dot_xs) + max(dot_xs)) / 2
    )

    count = len(capital.coordinates)
    coordinates = list(capital.coordinates) + [(x + shift, y) for x, y in dot_points]
    dotted.coordinates = GlyphCoordinates(coordinates)
    dotted.flags = bytearray(capital.flags) + bytearray(dot_flags)
    dotted.endPtsOfContours = list(capital.endPtsOfContours) + [count + e for e in dot_ends]
    dotted.numberOfContours = len(dotted.endPtsOfContours)
    if hasattr(dotted, "program"):
        dotted.program.fromBytecode(b"")
    dotted.recalcBounds(glyf)
    hmtx[dotted_name] = (hmtx[cmap[ord("I")]][0], dotted.xMin)


def signed_area(glyph):
    area = 0.0
    for start, end in contours_of(glyph):
        points = [glyph.coordinates[i] for i in range(start, end + 1)]
        for (x0, y0), (x1, y1) in zip(points, points[1:] + points[:1]):
            area += x0 * y1 - x1 * y0
    return area


def embolden(glyph, x_strength, y_strength):
    """Moves every point along its corner's bisector so that each vertical
    stem grows by x_strength and each horizontal one by y_strength, the left
    edge and the baseline staying where they are: FreeType's
    FT_Outline_EmboldenXY, which this follows step by step."""
    area = signed_area(glyph)
    if area == 0:
        return
    truetype = area < 0  # outer contours run clockwise, as TrueType's do
    xs, ys = x_strength / 2.0, y_strength / 2.0
    old = list(glyph.coordinates)
    new = list(old)
    for start, end in contours_of(glyph):
        n = end - start + 1
        for k in range(n):
            cur = old[start + k]
            prev = old[start + (k - 1) % n]
            nxt = old[start + (k + 1) % n]
            in_x, in_y = cur[0] - prev[0], cur[1] - prev[1]
            out_x, out_y = nxt[0] - cur[0], nxt[1] - cur[1]
            l_in, l_out = math.hypot(in_x, in_y), math.hypot(out_x, out_y)
            shift_x = shift_y = 0.0
            if l_in > 0 and l_out > 0:
                in_x, in_y = in_x / l_in, in_y / l_in
                out_x, out_y = out_x / l_out, out_y / l_out
                d = in_x * out_x + in_y * out_y
                if d > -0.9375:  # a turn of less than about 160 degrees
                    d += 1.0
                    shift_x = in_y + out_y
                    shift_y = in_x + out_x
                    if truetype:
                        shift_x = -shift_x
                    else:
                        shift_y = -shift_y
                    q = out_x * in_y - out_y * in_x
                    if truetype:
                        q = -q
                    shortest = min(l_in, l_out)
                    # Short segments limit the shift, so that they do not fold over.
                    if xs * q <= shortest * d:
                        shift_x = shift_x * xs / d
                    else:
                        shift_x = shift_x * shortest / q
                    if ys * q <= shortest * d:
                        shift_y = shift_y * ys / d
                    else:
                        shift_y = shift_y * shortest / q
            new[start + k] = (cur[0] + xs + shift_x, cur[1] + ys + shift_y)
    glyph.coordinates = GlyphCoordinates([(round(x), round(y)) for x, y in new])


def embolden_face(font):
    glyf = font["glyf"]
    hmtx = font["hmtx"]
    for name in font.getGlyphOrder():
        glyph = glyf[name]
        if glyph.isComposite() or glyph.numberOfContours <= 0:
            continue
        embolden(glyph, BOLD_X_STRENGTH, BOLD_Y_STRENGTH)
        if hasattr(glyph, "program"):
            glyph.program.fromBytecode(b"")
        glyph.recalcBounds(glyf)
        hmtx[name] = (hmtx[name][0], glyph.xMin)
    for name in font.getGlyphOrder():
        glyph = glyf[name]
        if glyph.isComposite():
            glyph.recalcBounds(glyf)
            hmtx[name] = (hmtx[name][0], glyph.xMin)


def main():
    if len(sys.argv) != 4:
        raise SystemExit(__doc__)
    regular, bold, out = sys.argv[1:]
    os.makedirs(out, exist_ok=True)
    for source, heavier in ((regular, False), (bold, True)):
        font = TTFont(source)
        if heavier:
            embolden_face(font)
        mend_dotted_capital_i(font)
        font.save(os.path.join(out, os.path.basename(source)))


if __name__ == "__main__":
    main()
