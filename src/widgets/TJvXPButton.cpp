#include "widgets/TJvXPButton.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "widgets/GradientImage.h"

namespace {

void dot(QPainter& painter, int x, int y, const QColor& colour) {
    painter.fillRect(x, y, 1, 1, colour);
}

// The caption broken into lines at blanks so that each fits `width`; a line
// that still does not fit ends in an ellipsis.
QStringList wrapLines(const QString& text, const QFontMetrics& metrics, int width) {
    const auto advance = [&metrics](const QString& line) {
        return metrics.size(Qt::TextShowMnemonic, line).width();
    };
    QStringList lines;
    QString line;
    for (const QString& word : text.split(QLatin1Char(' '))) {
        const QString longer = line.isNull() ? word : line + QLatin1Char(' ') + word;
        if (line.isNull() || advance(longer) <= width) {
            line = longer;
        } else {
            lines << line;
            line = word;
        }
    }
    lines << line;
    for (QString& each : lines) {
        if (advance(each) > width) each = metrics.elidedText(each, Qt::ElideRight, width);
    }
    return lines;
}

}  // namespace

TJvXPButton::TJvXPButton(QWidget* parent) : TJvXPButton(QString(), parent) {}

TJvXPButton::TJvXPButton(const QString& caption, QWidget* parent)
    : HoverPressButton(PressedBy::LeftButton, DoubleClick::ClicksAgain, parent),
      caption_(caption),
      textMetrics_(WindowsTextMetrics::of(font())) {
    setFocusPolicy(Qt::StrongFocus);
    resize(sizeHint());
}

void TJvXPButton::setText(const QString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    update();
}

bool TJvXPButton::isRinged() const { return isPressedDown() ? !isHot() : isHot() || focused_; }

void TJvXPButton::buildImages() {
    const int w = width() - 2;
    const int h = height() - 2;
    // Made while a ring shows, the face leaves room for the ring, and keeps
    // that size until the next resize.
    const int inset = isRinged() ? 4 : 0;
    background_ = gradientImage(w - inset, h - inset, BackgroundTop, BackgroundBottom);
    pressed_ = gradientImage(w, h, PressedTop, PressedBottom);
    focusRing_ = gradientImage(w, h, FocusRingTop, FocusRingBottom);
    hotRing_ = gradientImage(w, h, HotRingTop, HotRingBottom);
}

void TJvXPButton::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    buildImages();
    update();
}

void TJvXPButton::paintButton(QPainter& painter) {
    if (pressed_.size() != QSize(width() - 2, height() - 2)) buildImages();
    paintFace(painter);
    paintCaption(painter);
}

void TJvXPButton::paintFace(QPainter& painter) const {
    const int w = width();
    const int h = height();
    painter.fillRect(rect(), color());
    const bool ringed = isRinged();
    if (ringed) painter.drawImage(1, 1, isHot() ? hotRing_ : focusRing_);
    if (isHot() && isPressedDown()) {
        painter.drawImage(1, 1, pressed_);
    } else if (!ringed) {
        painter.drawImage(1, 1, background_);
    } else {
        painter.drawImage(3, 3, background_, 0, 0, w - 6, h - 6);
    }

    // The rounded border, pixel by pixel: straight sides that stop two pixels
    // short of each corner, and one pixel on the diagonal of each corner.
    const QColor border = isEnabled() ? BorderColor : DisabledColor;
    painter.fillRect(2, 0, w - 4, 1, border);
    painter.fillRect(2, h - 1, w - 4, 1, border);
    painter.fillRect(0, 2, 1, h - 4, border);
    painter.fillRect(w - 1, 2, 1, h - 4, border);
    // Softened corners: two pixels outside each diagonal pixel of the border.
    const QColor corner = isEnabled() ? CornerColor : DisabledColor;
    for (const int x : {0, w - 1}) {
        for (const int y : {0, h - 1}) {
            const int diagonalX = x == 0 ? 1 : x - 1;
            const int diagonalY = y == 0 ? 1 : y - 1;
            dot(painter, diagonalX, diagonalY, border);
            dot(painter, x, diagonalY, corner);
            dot(painter, diagonalX, y, corner);
        }
    }
}

void TJvXPButton::paintCaption(QPainter& painter) const {
    painter.setFont(font());
    const QFontMetrics metrics(font());
    const QString text = caption_.isEmpty() ? QStringLiteral(" ") : caption_;
    const QStringList lines = wrapLines(text, metrics, width());
    int textWidth = 0;
    for (const QString& line : lines) {
        textWidth = std::max(textWidth, metrics.size(Qt::TextShowMnemonic, line).width());
    }
    const int lineHeight = textMetrics_.height();
    const int shift = isHot() && isPressedDown() ? 1 : 0;
    const int left = (width() - textWidth) / 2 + shift;
    const int top = (height() - lineHeight * int(lines.size())) / 2 + shift;
    // Each line's baseline stands the Windows ascent below the line's top.
    const int baselineOffset = textMetrics_.ascent - metrics.ascent();

    const auto drawLines = [&](int dx, int dy, const QColor& colour) {
        painter.setPen(colour);
        for (int i = 0; i < lines.size(); ++i) {
            const QRect box(left + dx, top + dy + i * lineHeight + baselineOffset, textWidth,
                            metrics.height());
            painter.drawText(box, Qt::AlignHCenter | Qt::AlignTop | Qt::TextShowMnemonic, lines[i]);
        }
    };
    if (isEnabled()) {
        drawLines(0, 0, palette().color(QPalette::WindowText));
    } else {
        drawLines(1, 1, palette().color(QPalette::Light));
        drawLines(0, 0, palette().color(QPalette::Dark));
    }
}

void TJvXPButton::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    switch (event->type()) {
        case QEvent::FontChange:
            textMetrics_ = WindowsTextMetrics::of(font());
            update();
            break;
        case QEvent::EnabledChange:
        case QEvent::PaletteChange:
            update();
            break;
        default:
            break;
    }
}

// A press also takes the keyboard focus.
void TJvXPButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !hasFocus() && (focusPolicy() & Qt::ClickFocus))
        setFocus(Qt::MouseFocusReason);
    HoverPressButton::mousePressEvent(event);
}

void TJvXPButton::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Space:
            if (event->modifiers() != Qt::NoModifier) break;
            // Held down, the key repeats: the button is already pressed.
            if (!event->isAutoRepeat()) setState(true, true);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            emit clicked();
            return;
        default:
            break;
    }
    QWidget::keyPressEvent(event);
}

// Any key coming up ends a press of the space bar with a click. X11 sends a
// release before each repeated press while a key is held; those are not the end.
void TJvXPButton::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat() || !isPressedDown()) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    setState(underMouse(), false);
    emit clicked();
}

void TJvXPButton::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    focused_ = true;
    update();
}

void TJvXPButton::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    focused_ = false;
    setState(isHot(), false);
}
