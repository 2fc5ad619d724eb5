#include "widgets/GradientImage.h"

#include <QPainter>

#include <cmath>

namespace {

constexpr int Steps = 64;

int blend(int top, int bottom, int step) {
    return static_cast<int>(std::lround(top + (bottom - top) * step / double(Steps - 1)));
}

int bandEdge(int height, int step) {
    return static_cast<int>(std::lround(height * step / double(Steps)));
}

}  // namespace

QImage gradientImage(int width, int height, const QColor& top, const QColor& bottom) {
    if (width <= 0 || height <= 0) return {};
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    for (int i = 0; i < Steps; ++i) {
        const int from = bandEdge(height, i);
        const int to = bandEdge(height, i + 1);
        if (to <= from) continue;
        painter.fillRect(
            0, from, width, to - from,
            QColor(blend(top.red(), bottom.red(), i), blend(top.green(), bottom.green(), i),
                   blend(top.blue(), bottom.blue(), i)));
    }
    return image;
}
