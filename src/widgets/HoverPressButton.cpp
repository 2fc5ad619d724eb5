#include "widgets/HoverPressButton.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

HoverPressButton::HoverPressButton(PressedBy pressedBy, DoubleClick doubleClick, QWidget* parent)
    : QWidget(parent), pressedBy_(pressedBy), doubleClick_(doubleClick) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void HoverPressButton::setHot(bool hot) {
    if (hot == hot_) return;
    hot_ = hot;
    update();
}

void HoverPressButton::setState(bool hot, bool pressedDown) {
    hot_ = hot;
    pressedDown_ = pressedDown;
    update();
}

void HoverPressButton::paintEvent(QPaintEvent*) {
    // Drawn at the screen's own resolution, so that a scaled screen stays sharp.
    const qreal ratio = devicePixelRatioF();
    QImage canvas(size() * ratio, QImage::Format_RGB32);
    canvas.setDevicePixelRatio(ratio);
    {
        QPainter offscreen(&canvas);
        paintButton(offscreen);
    }
    QPainter(this).drawImage(0, 0, canvas);
}

void HoverPressButton::enterEvent(QEnterEvent*) { setHot(true); }

void HoverPressButton::leaveEvent(QEvent*) { setHot(false); }

bool HoverPressButton::presses(const QMouseEvent* event) const {
    return pressedBy_ == PressedBy::AnyButton || event->button() == Qt::LeftButton;
}

void HoverPressButton::mousePressEvent(QMouseEvent* event) {
    if (!presses(event)) return;
    setState(rect().contains(event->position().toPoint()), true);
}

void HoverPressButton::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
    if (doubleClick_ == DoubleClick::ClicksOnce) secondOfDoubleClick_ = true;
}

// A button held down by the left button follows the pointer in and out; one
// that any button presses follows it always (it tracks the mouse).
void HoverPressButton::mouseMoveEvent(QMouseEvent* event) {
    if (pressedBy_ == PressedBy::AnyButton || (event->buttons() & Qt::LeftButton))
        setHot(rect().contains(event->position().toPoint()));
}

// The click is announced while the pressed look still shows.
void HoverPressButton::mouseReleaseEvent(QMouseEvent* event) {
    if (!presses(event)) return;
    const bool inside = rect().contains(event->position().toPoint());
    const bool clicks =
        event->button() == Qt::LeftButton && pressedDown_ && inside && !secondOfDoubleClick_;
    secondOfDoubleClick_ = false;
    if (clicks) emit clicked();
    setState(inside, false);
}
