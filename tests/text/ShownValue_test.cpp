#include <gtest/gtest.h>

#include "text/ShownValue.h"

namespace {

std::string shownOf(const QString& value) { return shownvalue::shown(value).toStdString(); }

TEST(ShownValueTest, OrdinaryTextIsShownAsItIs) {
    EXPECT_EQ(shownOf(QStringLiteral("5120.10 Aşçı")), "5120.10 Aşçı");
    EXPECT_EQ(shownOf(QString()), "");
    EXPECT_EQ(shownOf(QStringLiteral("a\\b")), "a\\b");
}

// Line breaks, terminal controls (ESC, the C1 CSI) and bidi overrides can
// neither break a message's line nor drive the terminal nor reorder it.
TEST(ShownValueTest, ControlAndBidiCharactersBecomeEscapes) {
    EXPECT_EQ(shownOf(QStringLiteral("a\nb\rc\td")), "a\\nb\\rc\\td");
    EXPECT_EQ(shownOf(QString(QChar(0x1B)) + QStringLiteral("[2J")), "\\u001B[2J");
    EXPECT_EQ(shownOf(QString(QChar(0x9B)) + QStringLiteral("31m")), "\\u009B31m");
    EXPECT_EQ(shownOf(QString(QChar(0x7F))), "\\u007F");
    EXPECT_EQ(shownOf(QStringLiteral("ab") + QChar(0x202E) + QStringLiteral("cd")), "ab\\u202Ecd");
    EXPECT_EQ(shownOf(QString(QChar(0x2066)) + QChar(0x2069) + QChar(0x200F) + QChar(0x2028)),
              "\\u2066\\u2069\\u200F\\u2028");
    // Letters outside ASCII are no controls.
    EXPECT_EQ(shownOf(QStringLiteral("İŞÇĞÜÖı")), "İŞÇĞÜÖı");
}

// A long value is cut to 80 characters and "…", never inside a surrogate pair.
TEST(ShownValueTest, LongValuesAreCut) {
    const QString exact(shownvalue::MaxShownCharacters, QLatin1Char('x'));
    EXPECT_EQ(shownvalue::shown(exact), exact);
    const QString huge(1 << 20, QLatin1Char('y'));
    const QString cut = shownvalue::shown(huge);
    EXPECT_EQ(cut.size(), shownvalue::MaxShownCharacters + 1);
    EXPECT_EQ(cut.back(), QChar(0x2026));
    QString pairs;
    for (int i = 0; i < 60; ++i) pairs += QString::fromUcs4(U"😀", 1);
    const QString cutPairs = shownvalue::shown(QString(QLatin1Char('z')) + pairs);
    EXPECT_FALSE(cutPairs.at(cutPairs.size() - 2).isHighSurrogate());
    EXPECT_EQ(cutPairs.size(), shownvalue::MaxShownCharacters);  // 79 kept, one "…"
}

}  // namespace

// A path is escaped like any value but cut only beyond 1,024 characters, in
// the middle, so that the file's name stays; never inside a surrogate pair.
TEST(ShownValueTest, PathsAreCutOnlyWhenAbsurdlyLongAndKeepTheirEnd) {
    const QString real = QStringLiteral("/home/kullanıcı/") + QString(300, u'k') +
                         QStringLiteral("/AnaData/MeslekAna.mdb");
    EXPECT_EQ(shownvalue::shownPath(real), real);
    EXPECT_EQ(shownvalue::shownPath(QStringLiteral("/a\tb\u202E")),
              QStringLiteral("/a\\tb\\u202E"));
    const QString huge = QString(5000, u'a') + QStringLiteral("/son.mdb");
    const QString cut = shownvalue::shownPath(huge);
    EXPECT_EQ(cut.size(), shownvalue::MaxShownPathCharacters + 1);
    EXPECT_TRUE(cut.startsWith(QStringLiteral("aaa")));
    EXPECT_TRUE(cut.endsWith(QStringLiteral("a/son.mdb")));
    EXPECT_EQ(cut.at(shownvalue::MaxShownPathCharacters / 2), QChar(0x2026));
    QString pairs;
    for (int i = 0; i < 600; ++i) pairs += QString::fromUcs4(U"😀", 1);
    const QString cutPairs =
        shownvalue::shownPath(QStringLiteral("z") + pairs + QStringLiteral("z"));
    for (qsizetype i = 0; i + 1 < cutPairs.size(); ++i)
        EXPECT_EQ(cutPairs.at(i).isHighSurrogate(), cutPairs.at(i + 1).isLowSurrogate()) << i;
}
