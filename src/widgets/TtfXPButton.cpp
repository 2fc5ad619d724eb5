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

TtfXPButton::TtfXPButton(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    resize(sizeHint());
}

void TtfXPButton::setGlyph(const QPixmap& glyph) {
    glyph_ = glyph;
    shadow_ = glyph.isNull() ? QImage() : silhouette(glyph, ShadowColor);
    update();
}

void TtfXPButton::paintEvent(QPaintEvent*) {
    // Drawn at the screen's own resolution, so that a scaled screen stays sharp.
    const qreal ratio = devicePixelRatioF();
    QImage canvas(size() * ratio, QImage::Format_RGB32);
    canvas.setDevicePixelRatio(ratio);
    {
        QPainter offscreen(&canvas);
        offscreen.fillRect(rect(), hot_ ? BackHiColor : palette().color(QPalette::Button));
        if (!glyph_.isNull()) {
            const QPoint at((width() - glyph_.width()) / 2 + 1,
                            (height() - glyph_.height()) / 2 + 1);
            offscreen.drawImage(at, shadow_);
            const bool raised = hot_ && !pressed_;
            offscreen.drawPixmap(raised ? at - QPoint(ShadowSize, ShadowSize) : at, glyph_);
        }
        if (hot_) {
            const int w = width();
            const int h = height();
            offscreen.fillRect(0, 0, w, 1, BorderColor);
            offscreen.fillRect(0, h - 1, w, 1, BorderColor);
            offscreen.fillRect(0, 0, 1, h, BorderColor);
            offscreen.fillRect(w - 1, 0, 1, h, BorderColor);
        }
    }
    QPainter(this).drawImage(0, 0, canvas);
}

void TtfXPButton::setHot(bool hot) {
    if (hot == hot_) return;
    hot_ = hot;
    update();
}

void TtfXPButton::enterEvent(QEnterEvent*) { setHot(true); }

void TtfXPButton::leaveEvent(QEvent*) { setHot(false); }

void TtfXPButton::mouseMoveEvent(QMouseEvent* event) {
    setHot(rect().contains(event->position().toPoint()));
}

void TtfXPButton::mousePressEvent(QMouseEvent*) {
    pressed_ = true;
    hot_ = true;
    update();
}

void TtfXPButton::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
    secondOfDoubleClick_ = true;
}

void TtfXPButton::mouseReleaseEvent(QMouseEvent* event) {
    const bool inside = rect().contains(event->position().toPoint());
    const bool clicks =
        event->button() == Qt::LeftButton && pressed_ && inside && !secondOfDoubleClick_;
    secondOfDoubleClick_ = false;
    if (clicks) emit clicked();
    pressed_ = false;
    hot_ = inside;
    update();
}
