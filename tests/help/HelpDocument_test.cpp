#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <initializer_list>
#include <utility>

#include "help/HelpDocument.h"
#include "support/ProgramRun.h"

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

QString meslekYardim() { return QStringLiteral(MESLEK_BUILD_DIR "/meslek-yardim"); }

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

TEST(MeslekYardimTest, PrintsTheHelpWindowsText) {
    QTemporaryDir dir;
    const QString file = dir.filePath("yardim");
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(
        "{\\rtf1\\ansi\\ansicpg1254 Ba\\'fel\\'fdk\\par "
        "{\\field{\\*\\fldinst HYPERLINK \"http://x.example\"}{\\fldrslt ba\\u287?lant\\'fd}}}");
    f.close();
    const ProgramOutput text = runExecutable(meslekYardim(), {file});
    EXPECT_EQ(text.exitCode, 0) << text.err.toStdString();
    EXPECT_EQ(text.out, "Başlık\nbağlantı\n");
    const ProgramOutput html = runExecutable(meslekYardim(), {file, "--html"});
    EXPECT_EQ(html.exitCode, 0);
    EXPECT_TRUE(html.out.contains("<a href=\"http://x.example\"")) << html.out.toStdString();

    EXPECT_EQ(runExecutable(meslekYardim(), {dir.filePath("yok")}).exitCode, 1);
    EXPECT_EQ(runExecutable(meslekYardim(), {dir.path()}).exitCode, 1);
    EXPECT_EQ(runExecutable(meslekYardim(), {}).exitCode, 2);
    EXPECT_EQ(runExecutable(meslekYardim(), {file, "--xml"}).exitCode, 2);
}

TEST(MeslekYardimTest, TheBundledHelpTextReadsClean) {
    const ProgramOutput help = runExecutable(meslekYardim(), {MESLEK_BUILD_DIR "/yardim"});
    ASSERT_EQ(help.exitCode, 0) << help.err.toStdString();
    for (const char* expected :
         {"Meslek Kodu Arama - Yardım", "VEYA", "Otomatik Ara", "Ctrl+B\tMeslek Adını Kopyala",
          "AnaData", "MeslekAna.mdb", "•\t"}) {
        EXPECT_TRUE(help.out.contains(QString::fromUtf8(expected))) << expected;
    }
    // No RTF leaks through as text.
    EXPECT_FALSE(help.out.contains(u'\\'));
    EXPECT_FALSE(help.out.contains(u'{'));
    EXPECT_FALSE(help.out.contains(u'\uFFFD'));
}
