#include "widgets/TtfXPButton.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

// Every pixel of `picture` that is not white when drawn on white, in `colour`;
// the rest transparent.
QImage silhouette(const QPixmap& picture, const QColor& colour) {
    QImage onWhite(picture.size(), QImage::Format_RGB32);
    onWhite.fill(Qt::white);
    QPainter(&onWhite).drawPixmap(0, 0, picture);
    QImage shadow(picture.size(), QImage::Format_ARGB32);
    shadow.fill(Qt::transparent);
    const QRgb white = qRgb(255, 255, 255);
    const QRgb shade = colour.rgb();
    for (int y = 0; y < onWhite.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(onWhite.constScanLine(y));
        auto* to = reinterpret_cast<QRgb*>(shadow.scanLine(y));
        for (int x = 0; x < onWhite.width(); ++x) {
            if ((from[x] | 0xff000000u) != white) to[x] = shade;
        }
    }
    return shadow;
}

}  // namespace

TtfXPButton::TtfXPButton(QWidget* parent)
    : HoverPressButton(PressedBy::AnyButton, DoubleClick::ClicksOnce, parent) {
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    resize(sizeHint());
}

void TtfXPButton::setGlyph(const QPixmap& glyph) {
    glyph_ = glyph;
    shadow_ = glyph.isNull() ? QImage() : silhouette(glyph, ShadowColor);
    update();
}

void TtfXPButton::paintButton(QPainter& painter) {
    painter.fillRect(rect(), isHot() ? BackHiColor : palette().color(QPalette::Button));
    if (!glyph_.isNull()) {
        const QPoint at((width() - glyph_.width()) / 2 + 1, (height() - glyph_.height()) / 2 + 1);
        painter.drawImage(at, shadow_);
        const bool raised = isHot() && !isPressedDown();
        painter.drawPixmap(raised ? at - QPoint(ShadowSize, ShadowSize) : at, glyph_);
    }
    if (isHot()) {
        const int w = width();
        const int h = height();
        painter.fillRect(0, 0, w, 1, BorderColor);
        painter.fillRect(0, h - 1, w, 1, BorderColor);
        painter.fillRect(0, 0, 1, h, BorderColor);
        painter.fillRect(w - 1, 0, 1, h, BorderColor);
    }
}
