#pragma once

#include <QColor>
#include <QImage>

class QPainter;
class QPalette;
class QRect;

// The grid's small bitmaps, built in code, and the edge of its fixed cells.
// Each bitmap is an RGB image with one colour that stands for "transparent"
// (the key colour); `withoutKey` turns that colour into alpha for drawing.
namespace GridGlyphs {

inline const QColor MarkerShadow{128, 128, 128};
inline const QColor MarkerLight{255, 255, 255};
inline const QColor MarkerKey{255, 0, 255};
inline const QColor CornerKey{255, 255, 255};

// 9 by 9: a black triangle pointing down; key colour white.
const QImage& cornerArrow();
// 10 by 9: an etched hollow triangle pointing up (left slope shadow, right
// slope and base light); key colour magenta.
const QImage& sortUp();
// 10 by 9: an etched hollow triangle pointing down (top edge and left slope
// shadow, right slope light); key colour magenta.
const QImage& sortDown();

// The glyph with its key colour made transparent, ready for drawing.
QImage withoutKey(const QImage& glyph, const QColor& key);

// The 1-pixel edge inside a fixed cell: raised (light top and left, shadow
// bottom and right) or sunken (the other way round).
void drawEdge(QPainter& painter, const QRect& rect, const QPalette& palette, bool sunken);

}  // namespace GridGlyphs
