// The grid's painting: the title row, the cells, the grid lines, the
// indicator and the focus rectangle.
#include "grid/OccupationGrid.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>

#include <algorithm>

#include "grid/GridGlyphs.h"

namespace {

// Grid lines between fixed cells and between data cells.
const QColor FixedLineColour(0, 0, 0);
const QColor DataLineColour(192, 192, 192);

}  // namespace

void OccupationGrid::paint() {
    QPainter painter(viewport());
    const QPalette pal = palette();
    painter.fillRect(viewport()->rect(), pal.color(QPalette::Active, QPalette::Base));
    painter.setFont(font());

    const int rows = shownRows();
    titleRow_.paint(painter, pal, font(), textMetrics_, isEnabled());
    for (int row = 0; row < rows; ++row) paintIndicatorCell(painter, row, cellRect(row, -1));

    // The data columns scroll sideways under the fixed indicator column.
    const int dataLeft = geometry_.dataLeft();
    painter.save();
    painter.setClipRect(
        QRect(dataLeft, 0, std::max(0, viewport()->width() - dataLeft), viewport()->height()));
    for (int column = 0; column < columnCount(); ++column) {
        if (!isColumnVisible(column)) continue;
        for (int row = 0; row < rows; ++row) {
            paintDataCell(painter, row, column, cellRect(row, column));
        }
    }
    painter.restore();
    paintGridLines(painter, rows);
    titleRow_.paintFeedback(painter, pal, viewport()->size());
}

void OccupationGrid::paintGridLines(QPainter& painter, int rows) {
    const GridGeometry& g = geometry_;
    const int dataLeft = g.dataLeft();
    const int titleHeight = g.titleRowHeight();
    const int gridBottom = g.rowTop(rows - 1) + g.dataRowHeight();  // the last horizontal line
    const int gridRight = dataLeft + g.columnsWidth() - g.horizontalOffset();
    const QRect dataArea(dataLeft, 0, std::max(0, viewport()->width() - dataLeft),
                         viewport()->height());

    // Lines of the fixed cells: below the title row, right of and between the indicator cells.
    painter.fillRect(QRect(0, titleHeight, IndicatorWidth + GridLineWidth, GridLineWidth),
                     FixedLineColour);
    painter.fillRect(QRect(IndicatorWidth, 0, GridLineWidth, gridBottom + GridLineWidth),
                     FixedLineColour);
    for (int row = 0; row < rows; ++row) {
        painter.fillRect(QRect(0, g.rowTop(row) + g.dataRowHeight(), IndicatorWidth, GridLineWidth),
                         FixedLineColour);
    }

    painter.save();
    painter.setClipRect(dataArea);
    painter.fillRect(QRect(dataLeft, titleHeight, gridRight - dataLeft, GridLineWidth),
                     FixedLineColour);
    for (int column = 0; column < columnCount(); ++column) {
        const QRect cell = cellRect(-1, column);
        if (cell.isNull()) continue;
        const int x = cell.left() + cell.width();
        painter.fillRect(QRect(x, 0, GridLineWidth, titleHeight), FixedLineColour);
        painter.fillRect(
            QRect(x, g.dataTop(), GridLineWidth, gridBottom + GridLineWidth - g.dataTop()),
            DataLineColour);
    }
    for (int row = 0; row < rows; ++row) {
        painter.fillRect(
            QRect(dataLeft, g.rowTop(row) + g.dataRowHeight(), gridRight - dataLeft, GridLineWidth),
            DataLineColour);
    }
    painter.restore();
}

void OccupationGrid::paintIndicatorCell(QPainter& painter, int row, const QRect& rect) {
    painter.fillRect(rect, palette().color(QPalette::Active, QPalette::Button));
    GridGlyphs::drawEdge(painter, rect, palette(), false);
    if (!recordSet_.active() || row != currentRow()) return;
    // A black triangle pointing right, 6 by 11, ending 2 pixels before the right edge.
    constexpr int Width = 6;
    constexpr int Height = 11;
    const int left = rect.left() + rect.width() - 2 - Width;
    const int top = rect.top() + (rect.height() - Height) / 2;
    for (int i = 0; i < Width; ++i) {
        painter.fillRect(QRect(left + i, top + i, 1, Height - 2 * i), Qt::black);
    }
}

QColor OccupationGrid::cellTextColour() const {
    return palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text);
}

void OccupationGrid::paintDataCell(QPainter& painter, int row, int column, const QRect& rect) {
    const QPalette pal = palette();
    if (!recordSet_.active()) {
        painter.fillRect(rect, pal.color(QPalette::Active, QPalette::Base));
        return;
    }
    const bool current = isCurrentCell(row, column);
    const bool focusHighlight = current && hasFocus();

    // The grid's own painting. The painting rule covers every pixel of it again
    // whenever the result has rows, so then it is left out.
    if (recordSet_.recordCount() == 0) {
        const QString text = row < recordSet_.windowCount()
                                 ? recordSet_.windowFieldText(row, geometry_.column(column).field)
                                 : QString();
        painter.fillRect(rect, pal.color(QPalette::Active,
                                         focusHighlight ? QPalette::Highlight : QPalette::Base));
        painter.setPen(focusHighlight ? pal.color(QPalette::Active, QPalette::HighlightedText)
                                      : cellTextColour());
        drawCellText(painter, rect, text, geometry_.column(column).alignment);
    }

    paintingRow_ = row;
    ozlukizleDrawColumnCell(painter, rect, column, current);
    paintingRow_ = -1;

    if (current && window()->focusWidget() == this) paintFocusRect(painter, rect);
}

void OccupationGrid::ozlukizleDrawColumnCell(QPainter& painter, const QRect& rect, int column,
                                             bool selected) {
    if (recordSet_.recordCount() == 0) return;
    const QPalette pal = palette();
    QColor background;
    if (selected) {
        background = pal.color(QPalette::Active, QPalette::Highlight);
        painter.setPen(pal.color(QPalette::Active, QPalette::HighlightedText));
    } else {
        const int n = paintingRow_ >= 0 && paintingRow_ < recordSet_.windowCount()
                          ? recordSet_.windowRecNo(paintingRow_)
                          : -1;
        background = n > 0 && n % 2 == 1 ? StripeColour : PlainColour;
        painter.setPen(cellTextColour());
    }
    painter.fillRect(rect, background);
    const QString text =
        paintingRow_ >= 0 && paintingRow_ < recordSet_.windowCount()
            ? recordSet_.windowFieldText(paintingRow_, geometry_.column(column).field)
            : QString();
    drawCellText(painter, rect, text, geometry_.column(column).alignment);
}

void OccupationGrid::drawCellText(QPainter& painter, const QRect& rect, const QString& text,
                                  Qt::Alignment alignment) {
    if (text.isEmpty()) return;
    const QFontMetrics metrics(painter.font());
    int x = rect.left() + 2;
    if (alignment & Qt::AlignRight) {
        x = rect.left() + rect.width() - 3 - metrics.horizontalAdvance(text);
    } else if (alignment & Qt::AlignHCenter) {
        x = rect.left() + (rect.width() - metrics.horizontalAdvance(text)) / 2;
    }
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    // Windows puts the text's top 2 pixels below the cell's; its baseline follows the Windows
    // ascent.
    painter.drawText(x, rect.top() + 2 + textMetrics_.ascent, text);
    painter.restore();
}

void OccupationGrid::paintFocusRect(QPainter& painter, const QRect& rect) {
    // Every other pixel of the cell's outline, inverted.
    const int left = rect.left();
    const int top = rect.top();
    const int right = left + rect.width() - 1;
    const int bottom = top + rect.height() - 1;
    QPolygon dots;
    const auto dot = [&](int x, int y) {
        if ((x - left + y - top) % 2 == 0) dots << QPoint(x, y);
    };
    for (int x = left; x <= right; ++x) {
        dot(x, top);
        if (bottom != top) dot(x, bottom);
    }
    for (int y = top + 1; y < bottom; ++y) {
        dot(left, y);
        if (right != left) dot(right, y);
    }
    painter.save();
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    painter.setPen(QPen(Qt::white, 1));
    painter.drawPoints(dots);
    painter.restore();
}
