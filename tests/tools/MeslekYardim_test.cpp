#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/ProgramRun.h"

namespace {

QString meslekYardim() { return QStringLiteral(MESLEK_BUILD_DIR "/meslek-yardim"); }

}  // namespace

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
