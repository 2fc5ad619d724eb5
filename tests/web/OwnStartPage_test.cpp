#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

#include "web/OwnStartPage.h"
#include "web/PageViewPanel.h"

namespace {

const QString BuiltPage = QStringLiteral(MESLEK_BUILD_DIR "/baslangic.html");

QString fileText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

// The bundled list's figures as its file gives them: one row a line after the
// header, in code order.
struct ListFigures {
    int rows = 0;
    QString first;
    QString last;
};

ListFigures bundledListFigures() {
    QStringList lines = fileText(QStringLiteral(MESLEK_SOURCE_DIR "/data/meslekler.csv"))
                            .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    lines.removeFirst();
    return {static_cast<int>(lines.size()), lines.constFirst().section(QLatin1Char(','), 0, 0),
            lines.constLast().section(QLatin1Char(','), 0, 0)};
}

// The page in the panel at a given size, laid out.
struct ShownPage {
    explicit ShownPage(QSize size, const QUrl& address = QUrl::fromLocalFile(BuiltPage)) {
        panel.resize(size);
        panel.show();
        panel.navigate(address);
        QCoreApplication::processEvents();
    }
    QTextBrowser& view() { return *panel.view(); }

    PageViewPanel panel;
};

// The figures come from the list the program carries, with Turkish digit
// grouping: the page never names a stale count.
TEST(OwnStartPage, NamesTheBundledListsFiguresAndWhereTheCopyComesFrom) {
    const ListFigures list = bundledListFigures();
    ASSERT_EQ(list.rows, 7764);
    ShownPage page(QSize(387, 329));
    const QString text = page.view().toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("7.764 meslek"))) << text.toStdString();
    EXPECT_TRUE(text.contains(list.first + QStringLiteral(" ile ") + list.last));
    EXPECT_TRUE(text.contains(QStringLiteral("hamzakamil/PersonelPlus")));
    EXPECT_TRUE(text.contains(QStringLiteral("İŞKUR tarafından onaylanmış değildir")));
}

// What a new user needs: what the program does, a new list from the
// agency's workbook, every shortcut, the desktop's search.
TEST(OwnStartPage, TellsHowToUseTheProgramInTurkish) {
    ShownPage page(QSize(387, 329));
    EXPECT_EQ(page.view().documentTitle(), "Meslek Arama: programın sayfası");
    const QString text = page.view().toPlainText();
    for (const char* piece :
         {"yazdığınız anda arar", "VE", "VEYA",
          "meslek-mdb create AnaData/MeslekAna.mdb --xlsx meslekkodlari.xlsx", "Ctrl+C", "Ctrl+B",
          "Ctrl+T", "F1", "Sütun seçici", "GNOME Shell", "KRunner"}) {
        EXPECT_TRUE(text.contains(QString::fromUtf8(piece))) << piece;
    }
}

// Local and quiet: no script, no address outside the file, nothing to fetch.
TEST(OwnStartPage, NeedsNoNetworkAndNoScript) {
    const QString html = fileText(BuiltPage);
    ASSERT_FALSE(html.isEmpty());
    for (const char* word : {"<script", "http:", "https:", "www.", "src=", "@import", "url("}) {
        EXPECT_FALSE(html.contains(QLatin1String(word), Qt::CaseInsensitive)) << word;
    }
    EXPECT_FALSE(html.contains(QLatin1Char('@'))) << "a placeholder was left unreplaced";
}

// At the panel's design size and wider the page wraps: no horizontal scroll
// bar, and the text runs down the panel.
TEST(OwnStartPage, ReadsAtThePanelsDesignSizeAndWider) {
    for (const QSize size : {QSize(387, 329), QSize(735, 600), QSize(300, 329)}) {
        ShownPage page(size);
        EXPECT_EQ(page.view().horizontalScrollBar()->maximum(), 0) << size.width();
        EXPECT_GT(page.view().document()->size().height(), 300) << size.width();
    }
}

// The built-in copy is the same page, for a program whose file went missing.
TEST(OwnStartPage, TheBuiltInCopyIsTheSamePage) {
    ShownPage file(QSize(387, 329));
    ShownPage copy(QSize(387, 329), builtInStartPage());
    EXPECT_EQ(copy.view().toPlainText().toStdString(), file.view().toPlainText().toStdString());
}

// Found as the fonts are: beside the program in the build tree, else in
// share/meslekana/ relative to an installed program's bin/.
TEST(OwnStartPage, IsFoundBesideTheProgramOrInTheInstalledDataFolder) {
    EXPECT_EQ(ownStartPageFor(QStringLiteral(MESLEK_BUILD_DIR "/meslekana")), BuiltPage);

    QTemporaryDir prefix;
    QDir(prefix.path()).mkpath(QStringLiteral("bin"));
    const QString program = prefix.filePath(QStringLiteral("bin/meslekana"));
    EXPECT_TRUE(ownStartPageFor(program).isEmpty());
    QDir(prefix.path()).mkpath(QStringLiteral("share/meslekana"));
    const QString installed = prefix.filePath(QStringLiteral("share/meslekana/baslangic.html"));
    ASSERT_TRUE(QFile::copy(BuiltPage, installed));
    EXPECT_EQ(ownStartPageFor(program), installed);
    // A page beside the program comes first.
    const QString beside = prefix.filePath(QStringLiteral("bin/baslangic.html"));
    ASSERT_TRUE(QFile::copy(BuiltPage, beside));
    EXPECT_EQ(ownStartPageFor(program), beside);
}

}  // namespace
