#include "web/OwnBanner.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>

#include "BundledList.h"

namespace {

constexpr int Width = 334;
constexpr int Height = 159;

const QColor Deep(0x0d, 0x3f, 0x7a);
const QColor Light(0x2a, 0x7f, 0xd0);
const QColor Pale(0xcf, 0xe3, 0xff);

QFont tahoma(int pixels, bool bold) {
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void drawBackground(QPainter& p) {
    QLinearGradient fall(0, 0, 0, Height);
    fall.setColorAt(0, Deep);
    fall.setColorAt(1, Light);
    p.fillRect(0, 0, Width, Height, fall);
}

// A small card of the list at the right: a header row and striped rows.
void drawListCard(QPainter& p) {
    const QRect card(244, 10, 78, 74);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(card, 5, 5);
    p.fillRect(QRect(card.left(), card.top() + 4, card.width(), 13), QColor(0xdf, 0xe9, 0xf5));
    p.setPen(Deep);
    p.setFont(tahoma(9, true));
    p.drawText(QRect(card.left() + 5, card.top() + 4, 28, 13), Qt::AlignVCenter,
               QStringLiteral("KOD"));
    p.drawText(QRect(card.left() + 33, card.top() + 4, 40, 13), Qt::AlignVCenter,
               QStringLiteral("AD"));
    for (int row = 0; row < 5; ++row) {
        const int y = card.top() + 22 + row * 10;
        if (row % 2 == 1)
            p.fillRect(QRect(card.left() + 2, y - 2, card.width() - 4, 10),
                       QColor(0xee, 0xf4, 0xfb));
        p.fillRect(QRect(card.left() + 5, y + 2, 22, 3), QColor(0x6f, 0x93, 0xbd));
        p.fillRect(QRect(card.left() + 33, y + 2, 36 - (row * 7) % 15, 3),
                   QColor(0x9f, 0xb6, 0xcf));
    }
}

void drawTexts(QPainter& p) {
    p.setPen(Qt::white);
    p.setFont(tahoma(27, true));
    p.drawText(QPoint(12, 36), QStringLiteral("Meslek Arama"));
    p.setPen(Pale);
    p.setFont(tahoma(14, true));
    p.drawText(QPoint(13, 57), QStringLiteral("Ulusal meslek listesi"));
    p.setPen(Qt::white);
    p.setFont(tahoma(12, false));
    p.drawText(QPoint(13, 76), QStringLiteral("%1 meslek, kodlar %2 – %3")
                                   .arg(QLatin1String(bundledlist::RowCountText),
                                        QLatin1String(bundledlist::FirstCode),
                                        QLatin1String(bundledlist::LastCode)));
}

// A quiet band with what the program does, in place of an offer.
void drawBand(QPainter& p) {
    p.fillRect(QRect(0, 90, Width, 28), QColor(0xe8, 0xf1, 0xfb));
    p.setPen(Deep);
    p.setFont(tahoma(13, true));
    p.drawText(QRect(12, 90, Width - 24, 28), Qt::AlignVCenter,
               QStringLiteral("Ad ya da kodla, yazdığınız anda arar"));
}

}  // namespace

QPixmap drawOwnBanner() {
    QPixmap picture(Width, Height);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawBackground(p);
    drawListCard(p);
    drawTexts(p);
    drawBand(p);
    return picture;
}
