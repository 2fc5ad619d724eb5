#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontInfo>
#include <QImage>
#include <QLabel>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QTextBlock>
#include <QTranslator>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "app/TmeslekanaF.h"
#include "help/HelpView.h"
#include "help/TyardimF.h"
#include "support/RecordingBoxes.h"
#include "support/TempWorkDir.h"
#include "widgets/FailureReporter.h"
#include "widgets/Fonts.h"

namespace {

// The main window without a database (its two failures are dropped) and the
// help window, as start-up makes them.
struct Windows {
    Windows() {
        registerMsSansSerif();
        reporter = std::make_unique<FailureReporter>(boxes);
        main = std::make_unique<TmeslekanaF>(*reporter, defaultConnectionFactory());
        main->show();
        boxes.shown.clear();
        help = std::make_unique<TyardimF>(*reporter);
        main->setHelpWindow(help.get());
    }
    void pressHelpButton() {
        auto* button = main->findChild<QWidget*>(QStringLiteral("tfXPButton1"));
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    HelpView& view() { return help->view(); }
    QString text() { return view().toPlainText(); }

    ApplicationTitleScope title;
    RecordingBoxes boxes;
    std::unique_ptr<FailureReporter> reporter;
    std::unique_ptr<TmeslekanaF> main;
    std::unique_ptr<TyardimF> help;
};

QStringList captions(const QMenu& menu) {
    QStringList list;
    for (const QAction* action : menu.actions()) {
        list << (action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return list;
}

QString enabledEntries(HelpView& view) {
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 20),
                            view.viewport()->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(view.viewport(), &event);
    QMenu& menu = *view.editMenu();
    EXPECT_TRUE(menu.isVisible());
    QString enabled;
    for (const QAction* action : menu.actions()) {
        if (!action->isSeparator()) enabled += action->isEnabled() ? '1' : '0';
    }
    menu.hide();
    return enabled;
}

void select(HelpView& view, int from, int to) {
    QTextCursor cursor = view.textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    view.setTextCursor(cursor);
}

// The text of every link in the view, with the address it points to.
QStringList links(QTextDocument& document) {
    QStringList found;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isAnchor()) {
                found << it.fragment().text() + " -> " + it.fragment().charFormat().anchorHref();
            }
        }
    }
    return found;
}

// The pixels of `area` in `image` clearly darker than the view's silver.
int inkIn(const QImage& image, const QRect& area) {
    int ink = 0;
    const QRect inside = area.intersected(image.rect());
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 150) ++ink;
        }
    }
    return ink;
}

// Where the character at `position` stands in the view's viewport: from its
// left edge to the next character's, the height of its line.
QRect characterRect(HelpView& view, int position) {
    QTextCursor cursor(view.document());
    cursor.setPosition(position);
    const QRect left = view.cursorRect(cursor);
    cursor.setPosition(position + 1);
    const QRect right = view.cursorRect(cursor);
    return QRect(QPoint(left.left(), left.top()), QPoint(right.left() - 1, left.bottom()));
}

}  // namespace

TEST(HelpWindowTest, IsMadeHiddenWithItsCaptionViewAndStatusBar) {
    TempWorkDir work;
    // A style that greys a selection without the focus.
    const QPalette previous = QApplication::palette();
    QPalette greyed = previous;
    greyed.setColor(QPalette::Inactive, QPalette::Highlight, Qt::gray);
    greyed.setColor(QPalette::Active, QPalette::Highlight, Qt::darkBlue);
    QApplication::setPalette(greyed);
    Windows windows;
    QApplication::setPalette(previous);
    TyardimF& help = *windows.help;
    EXPECT_FALSE(help.isVisible());
    EXPECT_EQ(help.windowTitle(), "Dermansa - Yardım");
    EXPECT_FALSE(help.testAttribute(Qt::WA_QuitOnClose)) << "the program ends with its main window";
    EXPECT_EQ(QFontInfo(help.font()).family(), "MS Sans Serif");
    help.Show();
    EXPECT_EQ(help.size(), QSize(862, 469));
    EXPECT_EQ(windows.view().size(), QSize(862, 450));

    auto* bar = help.findChild<QStatusBar*>(QStringLiteral("StatusBar1"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->height(), 19);
    QList<int> widths;
    for (const QLabel* panel : bar->findChildren<QLabel*>()) {
        widths << panel->width();
        EXPECT_EQ(panel->textFormat(), Qt::PlainText);
    }
    EXPECT_EQ(widths, QList<int>({20, 300, 300}));

    HelpView& view = windows.view();
    EXPECT_EQ(view.objectName(), "RichEdit1");
    EXPECT_TRUE(view.isReadOnly());
    EXPECT_EQ(view.palette().color(QPalette::Base), QColor(192, 192, 192));
    EXPECT_EQ(QFontInfo(view.document()->defaultFont()).family(), "Liberation Sans");
    EXPECT_EQ(view.document()->defaultFont().pointSize(), 8);
    EXPECT_EQ(view.lineWrapMode(), QTextEdit::WidgetWidth);
    EXPECT_EQ(view.horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(view.verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    // A selection looks the same without the focus.
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
        EXPECT_EQ(view.palette().color(QPalette::Inactive, role),
                  view.palette().color(QPalette::Active, role));
    }
    EXPECT_TRUE(windows.text().isEmpty());
    EXPECT_TRUE(windows.boxes.shown.empty());

    // Every load keeps the view's settings for its text, and the text of the
    // load before is freed.
    for (int load = 0; load < 2; ++load) {
        view.load("Yard\xc4\xb1m");
        EXPECT_EQ(QFontInfo(view.document()->defaultFont()).family(), "Liberation Sans");
        EXPECT_EQ(view.document()->defaultFont().pointSize(), 8);
        EXPECT_EQ(view.document()->defaultTextOption().wrapMode(),
                  QTextOption::WrapAtWordBoundaryOrAnywhere);
        EXPECT_FALSE(view.document()->isUndoAvailable());
        EXPECT_EQ(view.findChildren<QTextDocument*>().size(), 1);
    }
    EXPECT_EQ(windows.text(), QStringLiteral("Yardım"));
}

TEST(HelpWindowTest, EditMenuHasEightEntriesInQtsOwnWordsEnabledByTheSelection) {
    QTranslator turkish;
    ASSERT_TRUE(turkish.load(QStringLiteral("qtbase_tr"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath)));
    QCoreApplication::installTranslator(&turkish);
    HelpView view;
    QCoreApplication::removeTranslator(&turkish);
    view.resize(300, 200);
    view.show();

    const auto qt = [](const char* text) {
        return QCoreApplication::translate("QWidgetTextControl", text);
    };
    QCoreApplication::installTranslator(&turkish);
    const QStringList expected = {qt("&Undo"),  "-",          qt("Cu&t"), qt("&Copy"),
                                  qt("&Paste"), qt("Delete"), "-",        qt("Select All")};
    QCoreApplication::removeTranslator(&turkish);
    EXPECT_EQ(captions(*view.editMenu()), expected);
    EXPECT_NE(expected[3], "&Copy") << "the captions read in Turkish";

    // Undo, Cut, Copy, Paste, Delete, Select All.
    EXPECT_EQ(enabledEntries(view), "000000");
    view.load("first line\nsecond line");
    EXPECT_EQ(enabledEntries(view), "000001");
    select(view, 0, 5);
    EXPECT_EQ(enabledEntries(view), "001001");
    select(view, 0, 22);
    EXPECT_EQ(enabledEntries(view), "001000");
    select(view, 22, 1);
    EXPECT_EQ(enabledEntries(view), "001001");

    QAction* copy = view.editMenu()->actions()[3];
    copy->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral("irst line") + QChar(u'\n') + "second line");
    select(view, 3, 3);
    view.editMenu()->actions().last()->trigger();
    EXPECT_EQ(view.textCursor().selectionStart(), 0);
    EXPECT_EQ(view.textCursor().selectionEnd(), 22);
    EXPECT_EQ(view.toPlainText(), "first line\nsecond line");
}

TEST(HelpWindowTest, TheHelpButtonShowsTheWindowThenReadsTheFileAgain) {
    TempWorkDir work;
    Windows windows;
    EXPECT_TRUE(windows.text().isEmpty()) << "no help file at start-up";
    windows.pressHelpButton();
    EXPECT_TRUE(windows.help->isVisible());
    EXPECT_TRUE(windows.text().isEmpty());

    QByteArray longText;
    for (int i = 0; i < 300; ++i) longText += "line " + QByteArray::number(i) + "\n";
    TempWorkDir::writeAll(QStringLiteral("yardim"), longText);
    windows.pressHelpButton();
    EXPECT_TRUE(windows.text().startsWith("line 0\nline 1\n"));
    HelpView& view = windows.view();
    select(view, 40, 60);
    view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
    ASSERT_GT(view.verticalScrollBar()->value(), 0);

    // Changed while open: read again, from its start, selection and scroll lost.
    TempWorkDir::writeAll(QStringLiteral("yardim"), longText + "new end\n");
    windows.pressHelpButton();
    EXPECT_TRUE(windows.text().endsWith("new end\n"));
    EXPECT_EQ(view.textCursor().position(), 0);
    EXPECT_FALSE(view.textCursor().hasSelection());
    EXPECT_EQ(view.verticalScrollBar()->value(), 0);

    // Gone, or a directory in its place (other kinds: HelpFileTest): the text
    // of the last load stays.
    const QString shown = windows.text();
    ASSERT_TRUE(QFile::remove(QStringLiteral("yardim")));
    windows.pressHelpButton();
    EXPECT_EQ(windows.text(), shown);
    ASSERT_TRUE(QDir().mkdir(QStringLiteral("yardim")));
    windows.pressHelpButton();
    EXPECT_EQ(windows.text(), shown);
    EXPECT_TRUE(windows.boxes.shown.empty());
}

TEST(HelpWindowTest, SymbolFontBulletsOfTheHelpFileAreDrawn) {
    TempWorkDir work;
    // List items as the help file writes them: the bullet is 0xB7 in the
    // Symbol font, then a tab to the item's hanging indent.
    QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1254\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset162 Arial;}"
        "{\\f1\\fnil\\fcharset2 Symbol;}}\r\n"
        "\\pard\\sa80\\plain\\f0\\fs20 Liste:\\par\r\n";
    for (const char* item : {"Birinci", "\\'ddkinci", "{\\b \\'dc\\'e7\\'fcnc\\'fc}"}) {
        rtf += QByteArray(
                   "{\\listtext\\plain\\f1\\fs20 \\'b7\\tab}\\pard\\fi-284\\li568\\sa40"
                   "\\plain\\f0\\fs20 ") +
               item + "\\par\r\n";
    }
    TempWorkDir::writeAll(QStringLiteral("yardim"), rtf + "}");
    Windows windows;
    windows.pressHelpButton();
    HelpView& view = windows.view();
    const QString text = view.toPlainText();
    ASSERT_EQ(text, QStringLiteral("Liste:\n•\tBirinci\n•\tİkinci\n•\tÜçüncü"));
    // No caret near the bullets.
    QTextCursor end(view.document());
    end.movePosition(QTextCursor::End);
    view.setTextCursor(end);
    const QImage shot = view.viewport()->grab().toImage();

    int bullets = 0;
    for (qsizetype at = text.indexOf(u'•'); at >= 0; at = text.indexOf(u'•', at + 1)) {
        ++bullets;
        const QRect bullet = characterRect(view, static_cast<int>(at));
        ASSERT_GT(bullet.width(), 1) << "bullet " << bullets;
        EXPECT_GE(inkIn(shot, bullet), 3)
            << "bullet " << bullets << " at " << bullet.x() << "," << bullet.y();
        // The measure tells ink from background: the tab after the bullet is
        // blank, the item's first letter is not.
        EXPECT_EQ(inkIn(shot, characterRect(view, static_cast<int>(at) + 1)), 0);
        EXPECT_GE(inkIn(shot, characterRect(view, static_cast<int>(at) + 2)), 3);
    }
    EXPECT_EQ(bullets, 3);
}

TEST(HelpWindowTest, AFileThatCannotBeOpenedIsReportedAndTheTextStays) {
    TempWorkDir work;
    TempWorkDir::writeAll(QStringLiteral("yardim"), "kept");
    {
        // At creation the failure is reported and the window made all the same.
        const int holder = ::open("yardim", O_RDONLY);
        ASSERT_EQ(::flock(holder, LOCK_EX), 0);
        Windows locked;
        ::close(holder);
        ASSERT_EQ(locked.boxes.shown.size(), 1u);
        EXPECT_TRUE(locked.boxes.shown[0].text.startsWith("Cannot open file"));
        EXPECT_TRUE(locked.text().isEmpty());
    }
    Windows windows;
    EXPECT_EQ(windows.text(), "kept");
    windows.help->setFileOpener([](const char*, int) {
        errno = EACCES;
        return -1;
    });
    windows.pressHelpButton();
    EXPECT_TRUE(windows.help->isVisible()) << "shown before the failure";
    EXPECT_EQ(windows.text(), "kept");
    ASSERT_EQ(windows.boxes.shown.size(), 1u);
    EXPECT_TRUE(windows.boxes.shown[0].text.startsWith(
        QStringLiteral("Cannot open file \"%1\". ").arg(work.path(QStringLiteral("yardim")))))
        << windows.boxes.shown[0].text.toStdString();
    EXPECT_EQ(windows.boxes.shown[0].caption, "Tresvoli");
}

TEST(HelpWindowTest, PlacedAtTheDesktopsCentreOnceThenWhereTheUserLeftIt) {
    TempWorkDir work;
    Windows windows;
    TyardimF& help = *windows.help;
    help.Show();
    const QScreen* primary = QGuiApplication::primaryScreen();
    const QSize desktop = primary->virtualGeometry().size();
    const QSize outer = help.frameGeometry().size();
    EXPECT_EQ(help.frameGeometry().topLeft(),
              primary->geometry().topLeft() + QPoint((desktop.width() - outer.width()) / 2,
                                                     (desktop.height() - outer.height()) / 2));

    help.setGeometry(30, 40, 500, 300);
    help.close();
    EXPECT_FALSE(help.isVisible());
    windows.pressHelpButton();
    EXPECT_TRUE(help.isVisible());
    EXPECT_EQ(help.geometry(), QRect(30, 40, 500, 300));
}

TEST(HelpWindowTest, AMinimizedWindowStaysMinimizedAndIsReadAgain) {
    TempWorkDir work;
    Windows windows;
    TyardimF& help = *windows.help;
    help.Show();
    help.showMinimized();
    windows.main->activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), windows.main.get());
    TempWorkDir::writeAll(QStringLiteral("yardim"), "read again");
    windows.pressHelpButton();
    QTest::qWait(20);
    EXPECT_TRUE(help.windowState() & Qt::WindowMinimized);
    EXPECT_EQ(QApplication::activeWindow(), windows.main.get());
    EXPECT_EQ(windows.text(), "read again");

    help.showNormal();
    windows.pressHelpButton();
    QTRY_COMPARE(QApplication::activeWindow(), &help);
}

TEST(HelpWindowTest, TheSelectionBarSelectsTheLineBesideAClick) {
    HelpView view;
    view.resize(300, 200);
    view.show();
    view.load("first line\nsecond line\nthird");
    const QTextBlock second = view.document()->findBlockByNumber(1);
    const int y = view.cursorRect(QTextCursor(second)).center().y();
    QWidget* bar = view.selectionBar();
    EXPECT_EQ(bar->width(), HelpView::SelectionBarWidth);
    EXPECT_EQ(bar->geometry().right() + 1, view.viewport()->geometry().left());
    QTest::mouseClick(
        bar, Qt::LeftButton, {},
        QPoint(3, bar->mapFromGlobal(view.viewport()->mapToGlobal(QPoint(0, y))).y()));
    EXPECT_EQ(view.textCursor().selectedText(), QStringLiteral("second line") + QChar(0x2029));

    // The last line has no line break to take.
    const int last = view.cursorRect(QTextCursor(view.document()->lastBlock())).center().y();
    QTest::mouseClick(
        bar, Qt::LeftButton, {},
        QPoint(3, bar->mapFromGlobal(view.viewport()->mapToGlobal(QPoint(0, last))).y()));
    EXPECT_EQ(view.textCursor().selectedText(), "third");
}

TEST(HelpWindowTest, TabStaysWithTheView) {
    QWidget host;
    auto* rows = new QVBoxLayout(&host);
    auto* view = new HelpView(&host);
    auto* other = new QLineEdit(&host);
    rows->addWidget(view);
    rows->addWidget(other);
    host.show();
    host.activateWindow();
    view->load("text");
    view->setFocus();
    QTRY_VERIFY(view->hasFocus());
    QTest::keyClick(view, Qt::Key_Tab);
    EXPECT_TRUE(view->hasFocus());
    QTest::keyClick(view, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_TRUE(view->hasFocus());
    EXPECT_EQ(view->toPlainText(), "text");
    EXPECT_TRUE(other->text().isEmpty());
}

TEST(HelpWindowTest, WebAddressesBecomeLinksThatAClickDoesNotFollow) {
    HelpView view;
    view.resize(400, 200);
    view.show();
    view.load(
        "See www.example.com, or HTTPS://a.example/x?y=1.\n"
        "(http://b.example/) xwww.no.example http:// and www.\n"
        "\"https://c.example\"");
    EXPECT_EQ(links(*view.document()),
              QStringList({"www.example.com -> http://www.example.com",
                           "HTTPS://a.example/x?y=1 -> HTTPS://a.example/x?y=1",
                           "http://b.example/ -> http://b.example/",
                           "https://c.example -> https://c.example"}));
    const QString text = view.toPlainText();

    QTextCursor onLink(view.document());
    onLink.setPosition(8);
    const QPoint at = view.cursorRect(onLink).center();
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(view.toPlainText(), text);
    EXPECT_EQ(links(*view.document()).size(), 4);
    EXPECT_EQ(view.anchorAt(at), "http://www.example.com");
}

TEST(HelpWindowTest, PicturesComeFromTheDocumentNeverFromFilesOfTheMachine) {
    TempWorkDir work;
    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(QStringLiteral("picture.png")));
    HelpView view;
    view.load("text");
    QTextDocument& document = *view.document();
    document.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("held")), red);
    const auto image = [&document](const QString& name) {
        return qvariant_cast<QImage>(document.resource(QTextDocument::ImageResource, QUrl(name)));
    };
    EXPECT_FALSE(image(QStringLiteral("held")).isNull());
    EXPECT_TRUE(image(QStringLiteral("picture.png")).isNull());
    EXPECT_TRUE(image(work.path(QStringLiteral("picture.png"))).isNull());
}
