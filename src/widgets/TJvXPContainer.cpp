#include "widgets/TJvXPContainer.h"

#include <QPaintEvent>
#include <QPainter>

namespace {

// Caption margin.
constexpr int Spacing = 5;

}  // namespace

TJvXPContainer::TJvXPContainer(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TJvXPContainer::setColor(const QColor& colour) {
    QPalette changed = palette();
    changed.setColor(QPalette::Window, colour);
    setPalette(changed);
    update();
}

void TJvXPContainer::setBoundLines(BoundLines lines) {
    boundLines_ = lines;
    update();
}

void TJvXPContainer::setShowBoundLines(bool show) {
    showBoundLines_ = show;
    update();
}

void TJvXPContainer::setBoundColor(const QColor& colour) {
    boundColor_ = colour;
    update();
}

void TJvXPContainer::setBorderWidth(int width) {
    borderWidth_ = width;
    update();
}

void TJvXPContainer::setCaption(const QString& caption) {
    caption_ = caption;
    update();
}

void TJvXPContainer::setShowCaption(bool show) {
    showCaption_ = show;
    update();
}

void TJvXPContainer::paintEvent(QPaintEvent* event) {
    // Only the part that needs painting is drawn, off screen first.
    const QRect dirty = event->rect();
    // Drawn at the screen's own resolution, so that a scaled screen stays sharp.
    const qreal ratio = devicePixelRatioF();
    QImage canvas(dirty.size() * ratio, QImage::Format_RGB32);
    canvas.setDevicePixelRatio(ratio);
    {
        QPainter offscreen(&canvas);
        offscreen.translate(-dirty.topLeft());
        offscreen.fillRect(rect(), color());
        QRect inner = rect().adjusted(borderWidth_, borderWidth_, -borderWidth_, -borderWidth_);
        if (showBoundLines_) {
            const int w = width();
            const int h = height();
            // A chosen side gets its line, which takes a pixel from the caption's room.
            const auto side = [&](BoundLine which, const QRect& line, const QMargins& taken) {
                if (!(boundLines_ & which)) return;
                offscreen.fillRect(line, boundColor_);
                inner -= taken;
            };
            side(blLeft, {0, 0, 1, h}, {1, 0, 0, 0});
            side(blTop, {0, 0, w, 1}, {0, 1, 0, 0});
            side(blRight, {w - 1, 0, 1, h}, {0, 0, 1, 0});
            side(blBottom, {0, h - 1, w, 1}, {0, 0, 0, 1});
        }
        if (showCaption_ && !caption_.isEmpty()) {
            offscreen.setFont(font());
            offscreen.setPen(palette().color(QPalette::WindowText));
            offscreen.drawText(inner.adjusted(Spacing, Spacing, -Spacing, -Spacing),
                               Qt::AlignCenter | Qt::TextShowMnemonic, caption_);
        }
    }
    QPainter(this).drawImage(dirty.topLeft(), canvas);
}
