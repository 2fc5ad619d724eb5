#include <gtest/gtest.h>

#include "text/FoldSearchText.h"

TEST(FoldSearchTextTest, TrimsCharactersUpToBlankAtBothEndsOnly) {
    EXPECT_EQ(FoldSearchText(QString()), QString());
    EXPECT_EQ(FoldSearchText(" \t\r\n "), QString());
    EXPECT_EQ(FoldSearchText("  İSTANBUL  "), "istanbul");
    EXPECT_EQ(FoldSearchText("BÜRO  MEMURU "), "büro  memuru");
    EXPECT_EQ(FoldSearchText("\tAŞÇI\t"), "aşçı");
    EXPECT_EQ(FoldSearchText("A\tB"), "a\tb");
    EXPECT_EQ(FoldSearchText(QString(QChar(0x01)) + "X" + QChar(0x1F)), "x");
    // U+00A0 is above 32: not trimmed.
    EXPECT_EQ(FoldSearchText(QString(QChar(0xA0)) + "A"), QString(QChar(0xA0)) + "a");
}

TEST(FoldSearchTextTest, FoldsCapitalsTheTurkishWay) {
    EXPECT_EQ(FoldSearchText("IŞIK"), "ışık");
    EXPECT_EQ(FoldSearchText("İŞÇİ"), "işçi");
    EXPECT_EQ(FoldSearchText("IŞÇI"), "ışçı");
    EXPECT_EQ(FoldSearchText("ÇÖĞÜŞ"), "çöğüş");
    EXPECT_EQ(FoldSearchText("ABCDEFGHJKLMNOPQRSTUVWXYZ"), "abcdefghjklmnopqrstuvwxyz");
    EXPECT_EQ(FoldSearchText("KATİP 7112.01"), "katip 7112.01");
}

TEST(FoldSearchTextTest, LeavesEverythingElseAsItIs) {
    EXPECT_EQ(FoldSearchText("ıi"), "ıi");
    EXPECT_EQ(FoldSearchText("ÂÎÛÉÑ"), "ÂÎÛÉÑ");
    EXPECT_EQ(FoldSearchText("[@`{~]"), "[@`{~]");
    const QString folded = FoldSearchText("  Şoför (Kamyon) İŞÇİ ");
    EXPECT_EQ(FoldSearchText(folded), folded);
}
