#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "rtf/HelpDocument.h"

namespace {

QString hrefAt(QTextDocument& document, const QString& word) {
    QTextCursor cursor(&document);
    cursor.setPosition(static_cast<int>(document.toPlainText().indexOf(word)) + 1);
    return cursor.charFormat().isAnchor() ? cursor.charFormat().anchorHref() : QString();
}

// Each word's link target in the document; "" for a word that is no link.
void expectLinks(QTextDocument& document,
                 std::initializer_list<std::pair<const char*, const char*>> links) {
    for (const auto& [word, href] : links) EXPECT_EQ(hrefAt(document, word), href) << word;
}

}  // namespace

TEST(HelpDocumentTest, PlainTextIsUtf8ElseWindows1254) {
    EXPECT_EQ(plainHelpText("\xEF\xBB\xBFY\xC4\xB1ld\xC4\xB1z"), "Yıldız");
    EXPECT_EQ(plainHelpText("Y\xFDld\xFDz \xDE\xDD\xD0"), "Yıldız ŞİĞ");
    // One invalid sequence is enough to read the whole file as Windows-1254.
    EXPECT_EQ(plainHelpText("\xC4\xB1 \xFD"), "Ä± ı");
}

TEST(HelpDocumentTest, PlainTextLineEndsAreUniform) {
    EXPECT_EQ(plainHelpText("a\nb\rc\r\nd\r\r\ne\n\r"), "a\nb\nc\nd\n\ne\n\n");
    QTextDocument document;
    loadHelpDocument("bir\riki\r\nüç", document);
    EXPECT_EQ(document.blockCount(), 3);
    // Only "{\rtf" at the very start makes RTF.
    loadHelpDocument(" {\\rtf1 x}", document);
    EXPECT_EQ(document.toPlainText(), " {\\rtf1 x}");
}

TEST(HelpDocumentTest, TextPastTheCapacityIsDropped) {
    const QByteArray big(HelpTextCapacity + 10, 'a');
    EXPECT_EQ(plainHelpText(big).size(), HelpTextCapacity);
    EXPECT_EQ(plainHelpText(big.left(HelpTextCapacity)).size(), HelpTextCapacity);
}

TEST(HelpDocumentTest, BareWebAddressesBecomeLinks) {
    QTextDocument document;
    loadHelpDocument(
        "Bkz. www.example.com, ya da (https://a.example/yol?x=1). "
        "xwww.degil ve http:// bos",
        document);
    expectLinks(document, {{"www.example.com", "http://www.example.com"},
                           {",", ""},
                           {"https", "https://a.example/yol?x=1"},
                           {").", ""},
                           {"www.degil", ""},
                           {"http:// bos", ""}});
    // A field's link keeps its own target; RTF text gets the same treatment.
    loadHelpDocument(
        "{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"http://hedef.example\"}"
        "{\\fldrslt www.gorunen.example}} ve www.b.example}",
        document);
    expectLinks(document,
                {{"www.gorunen", "http://hedef.example"}, {"www.b", "http://www.b.example"}});
    // Loading replaces the content and leaves nothing to undo.
    EXPECT_FALSE(document.isUndoAvailable());
}
