#include "grid/GridGlyphs.h"

#include <QPainter>
#include <QPalette>
#include <QRect>

namespace GridGlyphs {

namespace {

QImage filled(int width, int height, const QColor& colour) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QImage makeCornerArrow() {
    QImage image = filled(9, 9, CornerKey);
    // From the third row down: 7, 5, 5, 3, 3 and 1 black pixels, centred.
    const int widths[] = {7, 5, 5, 3, 3, 1};
    for (int i = 0; i < 6; ++i) {
        const int left = (9 - widths[i]) / 2;
        for (int x = left; x < left + widths[i]; ++x) image.setPixelColor(x, 2 + i, Qt::black);
    }
    return image;
}

// The slopes widen by one pixel on each side every two rows: rows 0-1 at
// columns 4 and 5, rows 2-3 at 3 and 6, ... rows 6-7 at 1 and 8.
int slopeLeft(int step) { return 4 - step / 2; }
int slopeRight(int step) { return 5 + step / 2; }

QImage makeSortUp() {
    QImage image = filled(10, 9, MarkerKey);
    for (int y = 0; y < 8; ++y) {
        image.setPixelColor(slopeLeft(y), y, MarkerShadow);
        image.setPixelColor(slopeRight(y), y, MarkerLight);
    }
    // The base closes the triangle: its left end continues the shadowed slope.
    image.setPixelColor(0, 8, MarkerShadow);
    for (int x = 1; x < 10; ++x) image.setPixelColor(x, 8, MarkerLight);
    return image;
}

QImage makeSortDown() {
    QImage image = filled(10, 9, MarkerKey);
    for (int x = 0; x < 10; ++x) image.setPixelColor(x, 0, MarkerShadow);
    for (int y = 1; y < 9; ++y) {
        const int step = 8 - y;  // row 8 is the tip
        image.setPixelColor(slopeLeft(step), y, MarkerShadow);
        image.setPixelColor(slopeRight(step), y, MarkerLight);
    }
    return image;
}

}  // namespace

const QImage& cornerArrow() {
    static const QImage image = makeCornerArrow();
    return image;
}

const QImage& sortUp() {
    static const QImage image = makeSortUp();
    return image;
}

const QImage& sortDown() {
    static const QImage image = makeSortDown();
    return image;
}

QImage withoutKey(const QImage& glyph, const QColor& key) {
    QImage image = glyph.convertToFormat(QImage::Format_ARGB32);
    const QRgb keyRgb = key.rgb();
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] | 0xff000000u) == keyRgb) line[x] = 0;
        }
    }
    return image;
}

void drawEdge(QPainter& painter, const QRect& rect, const QPalette& palette, bool sunken) {
    const QColor light = palette.color(QPalette::Active, QPalette::Light);
    const QColor shadow = palette.color(QPalette::Active, QPalette::Dark);
    const QColor& topLeft = sunken ? shadow : light;
    const QColor& bottomRight = sunken ? light : shadow;
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), 1), topLeft);
    painter.fillRect(QRect(rect.left(), rect.top(), 1, rect.height()), topLeft);
    painter.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), bottomRight);
    painter.fillRect(QRect(rect.right(), rect.top(), 1, rect.height()), bottomRight);
}

}  // namespace GridGlyphs
