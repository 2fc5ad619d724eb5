#include "grid/TitleRow.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>

#include <algorithm>

#include "grid/GridGlyphs.h"
#include "widgets/WindowsTextMetrics.h"

namespace {

constexpr int MarkerWidth = 10;
constexpr int MarkerHeight = 9;
// The marker's left edge lies this far left of the title's inner right edge.
constexpr int MarkerInset = 13;
// Room the caption leaves for the marker, or the pixel it always leaves.
constexpr int CaptionRoomWithMarker = 16;
constexpr int CaptionRoomWithoutMarker = 1;
constexpr int LandingMarkWidth = 3;

const QImage& drawableGlyph(TitleRow::SortMarker marker) {
    static const QImage up = GridGlyphs::withoutKey(GridGlyphs::sortUp(), GridGlyphs::MarkerKey);
    static const QImage down =
        GridGlyphs::withoutKey(GridGlyphs::sortDown(), GridGlyphs::MarkerKey);
    return marker == TitleRow::smUp ? up : down;
}

}  // namespace

bool TitleRow::showsMarker(const GridColumn& column) const {
    return sortMarker_ != smNone &&
           column.fieldName.compare(sortedField_, Qt::CaseInsensitive) == 0;
}

// ---- gestures ---------------------------------------------------------------

bool TitleRow::press(const QPoint& point, Qt::MouseButton button, bool doubleClick, bool setOpen,
                     const GridHit& hit) {
    cancel();
    button_ = button;
    gesture_ = Gesture::Other;
    if (button == Qt::LeftButton) {
        const int resized = geometry_.resizeColumnAt(point);
        if (resized >= 0) {
            gesture_ = Gesture::Resizing;
            pressedColumn_ = resized;
            dragX_ = point.x();
            const QRect cell = geometry_.cellRect(-1, resized);
            grabOffset_ = point.x() - (cell.left() + cell.width());
            return true;
        }
        if (hit.area == GridHit::Title && setOpen && !doubleClick) {
            gesture_ = Gesture::Pressing;
            pressedColumn_ = hit.column;
            pressed_ = true;
            pressLooksDown_ = true;
        }
    } else if (button == Qt::RightButton && hit.area == GridHit::Title) {
        if (setOpen) {
            gesture_ = Gesture::Moving;
            pressedColumn_ = hit.column;
            dragX_ = point.x();
        } else {
            gesture_ = Gesture::RightOnTitle;
        }
    }
    return hit.area == GridHit::Title || hit.area == GridHit::Corner;
}

bool TitleRow::move(const QPoint& point, const GridHit& hit) {
    switch (gesture_) {
        case Gesture::Resizing:
        case Gesture::Moving:
            dragX_ = point.x();
            return true;
        case Gesture::Pressing: {
            const bool down = hit.area == GridHit::Title && hit.column == pressedColumn_;
            if (down == pressLooksDown_) return false;
            pressLooksDown_ = down;
            return true;
        }
        default:
            return false;
    }
}

TitleRow::Outcome TitleRow::release(const QPoint& point, Qt::MouseButton button, bool setOpen,
                                    const GridHit& hit) {
    Outcome outcome;
    const Gesture gesture = button == button_ ? gesture_ : Gesture::Other;
    const int column = pressedColumn_;
    const int grabOffset = grabOffset_;
    cancel();
    if (button == Qt::LeftButton) {
        if (gesture == Gesture::Resizing) {
            const int width = point.x() - grabOffset - geometry_.cellRect(-1, column).left();
            if (width >= GridGeometry::MinimumWidth) {
                outcome.resizeColumn = column;
                outcome.width = width;
            }
            return outcome;
        }
        outcome.openChooser = hit.area == GridHit::Corner && setOpen;
        outcome.titleClick = hit.area == GridHit::Title;
    } else if (button == Qt::RightButton) {
        if (gesture == Gesture::Moving) {
            const GridGeometry::Landing landing = geometry_.landingAt(column, point.x());
            if (landing.position != column) {
                outcome.moveFrom = column;
                outcome.moveTo = landing.position;
            }
            outcome.titleClick = true;
        } else if (gesture == Gesture::RightOnTitle) {
            outcome.titleClick = true;
        } else {
            outcome.popupMenu = hit.area == GridHit::Data || hit.area == GridHit::Indicator ||
                                hit.area == GridHit::Corner;
        }
    }
    return outcome;
}

void TitleRow::cancel() {
    gesture_ = Gesture::None;
    button_ = Qt::NoButton;
    pressedColumn_ = -1;
    pressed_ = false;
    pressLooksDown_ = false;
    grabOffset_ = 0;
}

// ---- painting ---------------------------------------------------------------

QString TitleRow::fittedCaption(const QString& caption, const QFont& font, int available) {
    const QFontMetrics metrics(font);
    if (metrics.horizontalAdvance(caption) <= available) return caption;
    const QString ellipsis = QStringLiteral("...");
    for (qsizetype n = caption.size() - 2; n >= 0; --n) {
        const QString candidate = caption.left(n) + ellipsis;
        if (metrics.horizontalAdvance(candidate) <= available) return candidate;
    }
    return ellipsis;
}

void TitleRow::paint(QPainter& painter, const QPalette& palette, const QFont& font,
                     const WindowsTextMetrics& metrics, bool enabled) const {
    paintCornerCell(painter, palette);
    // The titles scroll sideways under the fixed corner cell.
    painter.save();
    painter.setClipRect(QRect(geometry_.dataLeft(), 0, 1 << 20, geometry_.titleRowHeight()),
                        Qt::IntersectClip);
    for (int column = 0; column < geometry_.columnCount(); ++column) {
        if (geometry_.column(column).visible) {
            paintTitleCell(painter, palette, font, metrics, enabled, column);
        }
    }
    painter.restore();
}

void TitleRow::paintCornerCell(QPainter& painter, const QPalette& palette) const {
    const QRect rect = geometry_.cellRect(-1, -1);
    painter.fillRect(rect, palette.color(QPalette::Active, QPalette::Button));
    GridGlyphs::drawEdge(painter, rect, palette, false);
    static const QImage arrow =
        GridGlyphs::withoutKey(GridGlyphs::cornerArrow(), GridGlyphs::CornerKey);
    painter.drawImage(rect.left() + (rect.width() - arrow.width()) / 2,
                      rect.top() + (rect.height() - arrow.height()) / 2, arrow);
}

void TitleRow::paintTitleCell(QPainter& painter, const QPalette& palette, const QFont& font,
                              const WindowsTextMetrics& metrics, bool enabled, int column) const {
    const GridColumn& col = geometry_.column(column);
    const QRect rect = geometry_.cellRect(-1, column);
    const bool pressed = pressedColumn() == column;
    painter.fillRect(rect, palette.color(QPalette::Active, QPalette::Button));
    GridGlyphs::drawEdge(painter, rect, palette, pressed);

    const QRect inner = rect.adjusted(1, 1, -1, -1);
    const int shift = pressed ? 1 : 0;
    const bool marker = showsMarker(col);
    const int available =
        inner.width() - (marker ? CaptionRoomWithMarker : CaptionRoomWithoutMarker);
    const QString caption = fittedCaption(col.title, font, available);
    const int top = std::max(1, (inner.height() - metrics.height()) / 2);

    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.setFont(font);
    painter.setPen(
        palette.color(enabled ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(inner.left() + 2 + shift, inner.top() + top + shift + metrics.ascent, caption);
    if (marker) {
        const QRect glyph(inner.left() + inner.width() - MarkerInset + shift,
                          inner.top() + (inner.height() - MarkerHeight) / 2 + shift, MarkerWidth,
                          MarkerHeight);
        if (rect.contains(glyph)) painter.drawImage(glyph.topLeft(), drawableGlyph(sortMarker_));
    }
    painter.restore();
}

void TitleRow::paintFeedback(QPainter& painter, const QPalette& palette,
                             const QSize& viewport) const {
    const int height = viewport.height();
    if (gesture_ == Gesture::Resizing) {
        painter.fillRect(QRect(dragX_ - grabOffset_, 0, 1, height),
                         palette.color(QPalette::Active, QPalette::WindowText));
    } else if (gesture_ == Gesture::Moving) {
        // Where the column would land, kept inside the viewport: a landing
        // past either edge shows at that edge while the grid scrolls there.
        const int half = LandingMarkWidth / 2;
        const int right = std::max(half, viewport.width() - 1 - half);
        const int x = std::clamp(geometry_.landingAt(pressedColumn_, dragX_).markX, half, right);
        painter.fillRect(QRect(x - LandingMarkWidth / 2, 0, LandingMarkWidth, height),
                         palette.color(QPalette::Active, QPalette::Highlight));
    }
}
