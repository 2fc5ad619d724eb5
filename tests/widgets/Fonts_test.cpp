// The program's own Tahoma: "İ" as wide as "I", bold that looks bold.
#include <QFont>
#include <QFontDatabase>
#include <QImage>
#include <QRawFont>

#include <gtest/gtest.h>

#include "widgets/Fonts.h"

namespace {

const QString OwnFolder = programFontFolderFor(QStringLiteral(MESLEK_BUILD_DIR "/meslekana"));
const QString WineFolder = QStringLiteral("/usr/share/wine/fonts");
constexpr qreal PixelSize = 16;

quint32 glyphOf(const QRawFont& font, QChar c) {
    const QList<quint32> glyphs = font.glyphIndexesForString(QString(c));
    return glyphs.isEmpty() ? 0 : glyphs.first();
}

qreal advance(const QRawFont& font, QChar c) {
    const QList<QPointF> advances = font.advancesForGlyphIndexes({glyphOf(font, c)});
    return advances.first().x();
}

// The blank after a letter's ink, in pixels: its advance less the ink's right edge.
qreal blankAfter(const QRawFont& font, QChar c) {
    return advance(font, c) - font.boundingRect(glyphOf(font, c)).right();
}

// The widest run of ink across the middle of a rendered stem.
int stemWidth(const QRawFont& font, QChar c) {
    const QImage image = font.alphaMapForGlyph(glyphOf(font, c), QRawFont::PixelAntialiasing);
    int widest = 0;
    for (int y = image.height() / 3; y < 2 * image.height() / 3; ++y) {
        int run = 0;
        for (int x = 0; x < image.width(); ++x) {
            run = qGray(image.pixel(x, y)) > 96 || qAlpha(image.pixel(x, y)) > 96 ? run + 1 : 0;
            widest = std::max(widest, run);
        }
    }
    return widest;
}

}  // namespace

TEST(FontsTest, TurkishCapitalsLeaveNoWiderBlankThanTheirBaseLetters) {
    for (const char* file : {"tahoma.ttf", "tahomabd.ttf"}) {
        const QRawFont font(OwnFolder + QLatin1Char('/') + QLatin1String(file), PixelSize);
        ASSERT_TRUE(font.isValid()) << file;
        EXPECT_EQ(advance(font, u'İ'), advance(font, u'I')) << file;
        const QString turkish = QStringLiteral("İŞĞÇÖÜşğçöü");
        const QString base = QStringLiteral("ISGCOUsgcou");
        for (qsizetype i = 0; i < turkish.size(); ++i) {
            EXPECT_LE(blankAfter(font, turkish[i]), blankAfter(font, base[i]) + 0.25)
                << file << ' ' << QString(turkish[i]).toStdString();
        }
        EXPECT_EQ(font.boundingRect(glyphOf(font, u'İ')).width(),
                  font.boundingRect(glyphOf(font, u'I')).width())
            << file << ": İ carries the capital I's crossbars";
    }
}

TEST(FontsTest, TheBoldFaceHasHeavierStemsAndKeepsItsAdvances) {
    const QRawFont regular(OwnFolder + QStringLiteral("/tahoma.ttf"), PixelSize);
    const QRawFont bold(OwnFolder + QStringLiteral("/tahomabd.ttf"), PixelSize);
    const QRawFont wineBold(WineFolder + QStringLiteral("/tahomabd.ttf"), PixelSize);
    ASSERT_TRUE(regular.isValid() && bold.isValid() && wineBold.isValid());
    for (const QChar c : QStringLiteral("lIHn")) {
        EXPECT_GE(stemWidth(bold, c), stemWidth(regular, c) + 1) << QString(c).toStdString();
    }
    for (const QChar c : QStringLiteral("ARANACKMESLĞİGnopqrstuvwxyz0123456789 ")) {
        EXPECT_EQ(advance(bold, c), advance(wineBold, c)) << QString(c).toStdString();
    }
}

TEST(FontsTest, TheProgramRegistersItsOwnCopy) {
    EXPECT_EQ(OwnFolder, QStringLiteral(MESLEK_BUILD_DIR "/fonts"));
    EXPECT_EQ(programFontFolderFor(QStringLiteral("/opt/meslek/bin/meslekana")),
              QStringLiteral("/opt/meslek/share/meslekana/fonts"))
        << "installed, they lie in share/ beside bin/";
    ASSERT_TRUE(registerTahoma());
    for (const bool heavy : {false, true}) {
        QFont tahoma(QStringLiteral("Tahoma"));
        tahoma.setPixelSize(16);
        tahoma.setBold(heavy);
        const QRawFont loaded = QRawFont::fromFont(tahoma);
        ASSERT_TRUE(loaded.isValid());
        EXPECT_EQ(loaded.familyName(), QStringLiteral("Tahoma"));
        EXPECT_EQ(loaded.boundingRect(glyphOf(loaded, u'İ')).width(),
                  loaded.boundingRect(glyphOf(loaded, u'I')).width())
            << (heavy ? "bold" : "regular");
    }
}
