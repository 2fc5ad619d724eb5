#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include "app/TmeslekanaF.h"
#include "data/Connection.h"
#include "data/OccupationRecordSet.h"
#include "grid/OccupationGrid.h"
#include "support/NamedChild.h"
#include "support/OccupationFixtures.h"
#include "support/RecordSetWindow.h"
#include "support/RecordingBoxes.h"
#include "support/TempWorkDir.h"
#include "widgets/FailureReporter.h"
#include "widgets/Fonts.h"
#include "widgets/TJvXPButton.h"

namespace {

// In code order: 2142.01, 3112.04, 4110.02, 8160.03, 9629.05.
std::vector<jet4::OccupationRow> occupations() {
    return {{"3112.04", "Katip", QString()},
            {"4110.02", "MAHKEME KÂTİBİ", QString()},
            {"9629.05", "Kat Görevlisi (Otel)", QString()},
            {"2142.01", "İnşaat Mühendisi", QString()},
            {"8160.03", "Paketleme İşçisi", QString()}};
}

const QString Earlier = QStringLiteral("önceki metin");

QClipboard& clipboard() { return *QGuiApplication::clipboard(); }

class CopyCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        work.writeProgramDatabase(occupations());
        registerTahoma();
        window = std::make_unique<TmeslekanaF>(reporter, defaultConnectionFactory());
        window->resize(940, 500);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        ASSERT_EQ(window->recordSet().windowCount(), 5);
        ASSERT_TRUE(boxes.shown.empty());
        clipboard().setText(Earlier);
    }

    template <typename T>
    T* child(const char* name) {
        return namedChild<T>(*window, name);
    }
    QMenu* menu() { return child<QMenu>("PopupMenu1"); }
    QAction* item(int index) { return menu()->actions().at(index); }

    // Each key goes to `target` as a user would press it (shortcuts first).
    void press(QWidget* target, const std::vector<QKeyCombination>& keys) {
        for (const QKeyCombination key : keys) {
            QTest::keyClick(target, key.key(), key.keyboardModifiers());
        }
    }

    TempWorkDir work;
    ApplicationTitleScope title;
    RecordingBoxes boxes;
    FailureReporter reporter{boxes};
    std::unique_ptr<TmeslekanaF> window;
};

const std::vector<QKeyCombination> CopyKeys = {Qt::CTRL | Qt::Key_C, Qt::CTRL | Qt::Key_B,
                                               Qt::CTRL | Qt::Key_T};

TEST_F(CopyCommandsTest, GridShortcutsAndKopyalaActOnTheCurrentRecord) {
    OccupationGrid& grid = window->grid();
    grid.setFocus();
    window->recordSet().setCurrentWindowIndex(3);

    press(&grid, {Qt::CTRL | Qt::Key_C});
    EXPECT_EQ(clipboard().text(), "8160.03");
    EXPECT_EQ(clipboard().mimeData()->formats(), QStringList{"text/plain"});
    press(&grid, {Qt::CTRL | Qt::Key_B});
    EXPECT_EQ(clipboard().text(), "Paketleme İşçisi");
    press(&grid, {Qt::CTRL | Qt::Key_T});
    EXPECT_EQ(clipboard().text(), "8160.03 Paketleme İşçisi");
    EXPECT_EQ(clipboard().mimeData()->formats(), QStringList{"text/plain"});

    press(&grid, {Qt::Key_F1});
    ASSERT_EQ(boxes.shown.size(), 1u);
    const RecordingBoxes::Box& box = boxes.shown[0];
    EXPECT_EQ(box.text.split(QStringLiteral("\r\n")),
              QStringList({"Meslek Kodu:8160.03", "Meslek Adı: Paketleme İşçisi"}));
    EXPECT_EQ(box.text.count(QLatin1Char('\n')), 1);
    EXPECT_EQ(box.caption, "Tresvoli");
    EXPECT_EQ(box.buttons, MessageBoxes::Buttons::Ok);
    EXPECT_FALSE(box.fatal);

    window->recordSet().setCurrentWindowIndex(2);
    QTest::mouseClick(child<TJvXPButton>("JvXPButton4"), Qt::LeftButton);
    EXPECT_EQ(clipboard().text(), "4110.02");
    grid.setFocus();  // the click took it
    press(&grid, {Qt::CTRL | Qt::Key_B});
    EXPECT_EQ(clipboard().text(), "MAHKEME KÂTİBİ");
    EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST_F(CopyCommandsTest, WithoutACurrentRecordNoCopyTouchesTheClipboard) {
    OccupationGrid& grid = window->grid();
    auto* kopyala = child<TJvXPButton>("JvXPButton4");
    child<QLineEdit>("Edit1")->setText(QStringLiteral("pilot"));
    QTest::mouseClick(child<TJvXPButton>("JvXPButton1"), Qt::LeftButton);
    ASSERT_TRUE(window->recordSet().isEmpty());

    grid.setFocus();
    press(&grid, CopyKeys);
    press(&grid, {Qt::Key_F1});
    QTest::mouseClick(kopyala, Qt::LeftButton);
    EXPECT_EQ(clipboard().text(), Earlier);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Meslek Kodu:\r\nMeslek Adı: ");

    // The set released at a close request that did not end the program.
    QTest::mouseClick(child<TJvXPButton>("JvXPButton3"), Qt::LeftButton);
    window->recordSet().close();
    grid.setFocus();
    press(&grid, CopyKeys);
    QTest::mouseClick(kopyala, Qt::LeftButton);
    EXPECT_EQ(clipboard().text(), Earlier);
}

TEST_F(CopyCommandsTest, CopiedTextOutlivesTheListItCameFrom) {
    window->recordSet().setCurrentWindowIndex(3);
    QTest::mouseClick(child<TJvXPButton>("JvXPButton4"), Qt::LeftButton);
    ASSERT_EQ(clipboard().text(), "8160.03");
    const QChar* listText = window->recordSet().fieldView(OccupationRecordSet::MeslekKodu).data();
    EXPECT_NE(clipboard().text().constData(), listText);
    EXPECT_NE(child<QLineEdit>("Edit2")->text().constData(), listText);

    // The list is released at a close request and read anew, from other rows,
    // by a search; the clipboard and the carrier keep their own copy.
    window->recordSet().close();
    std::vector<jet4::OccupationRow> others;
    for (int i = 0; i < 2000; ++i) {
        others.push_back({QStringLiteral("%1").arg(i, 7, 10, QLatin1Char('0')),
                          QStringLiteral("Başka meslek %1").arg(i), QString()});
    }
    work.writeProgramDatabase(others);
    QTest::mouseClick(child<TJvXPButton>("JvXPButton1"), Qt::LeftButton);
    ASSERT_EQ(window->recordSet().recordCount(), 2000);
    EXPECT_EQ(clipboard().text(), "8160.03");
    EXPECT_EQ(child<QLineEdit>("Edit2")->text(), "8160.03");
}

TEST_F(CopyCommandsTest, InASearchBoxTheBoxKeepsItsOwnKeys) {
    auto* edit1 = child<QLineEdit>("Edit1");
    edit1->setText(QStringLiteral("Kâtip"));
    edit1->setSelection(0, 3);
    edit1->setFocus();
    press(edit1, {Qt::CTRL | Qt::Key_C});
    EXPECT_EQ(clipboard().text(), "Kât");

    clipboard().setText(Earlier);
    press(edit1, {Qt::CTRL | Qt::Key_B, Qt::CTRL | Qt::Key_T, Qt::Key_F1});
    EXPECT_EQ(clipboard().text(), Earlier);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(edit1->text(), "Kâtip");
}

TEST_F(CopyCommandsTest, PopupMenuHasItsSixItemsAndOpensWhereTheGridAsks) {
    QMenu* popup = menu();
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(popup->actions().size(), 6);
    const std::pair<QString, QKeySequence> expected[] = {
        {"Meslek Kodunu Kopyala", QKeySequence(Qt::CTRL | Qt::Key_C)},
        {"Meslek Adını Kopyala", QKeySequence(Qt::CTRL | Qt::Key_B)},
        {"Meslek Kodu ve Adını Kopyala", QKeySequence(Qt::CTRL | Qt::Key_T)},
        {"Ara", QKeySequence()},
        {"Tümü", QKeySequence()},
        {"Meslek Adı ve Kodu Ne?", QKeySequence(Qt::Key_F1)},
    };
    const QList<QAction*> gridActions = window->grid().actions();
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(item(i)->text(), expected[i].first);
        EXPECT_EQ(item(i)->shortcut(), expected[i].second);
        EXPECT_EQ(item(i)->shortcutContext(), Qt::WidgetShortcut);
        EXPECT_TRUE(gridActions.contains(item(i)));
    }

    // A point well inside the screen, where the menu need not move to fit.
    const QPoint at =
        QGuiApplication::primaryScreen()->availableGeometry().topLeft() + QPoint(60, 80);
    emit window->grid().popupMenuRequested(at);
    EXPECT_TRUE(QTest::qWaitForWindowExposed(popup));
    EXPECT_TRUE(popup->isVisible());
    EXPECT_EQ(popup->pos(), at);
    popup->close();
    EXPECT_FALSE(popup->isVisible());

    window->recordSet().setCurrentWindowIndex(1);
    item(0)->trigger();
    EXPECT_EQ(clipboard().text(), "3112.04");
    item(5)->trigger();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "Meslek Kodu:3112.04\r\nMeslek Adı: Katip");
}

TEST_F(CopyCommandsTest, AraAndTumuRunTheSearchCommands) {
    auto* edit1 = child<QLineEdit>("Edit1");
    OccupationRecordSet& set = window->recordSet();
    edit1->setText(QStringLiteral("kat"));
    item(3)->trigger();  // "Ara"
    EXPECT_EQ(shownCodes(set), QStringList({"3112.04", "9629.05"}));
    EXPECT_TRUE(set.filtered());

    item(4)->trigger();  // "Tümü"
    EXPECT_TRUE(edit1->text().isEmpty());
    EXPECT_FALSE(set.filtered());
    EXPECT_EQ(set.windowCount(), 5);

    // A failure of the command is reported, and the program goes on.
    ASSERT_TRUE(QFile::remove(work.path(QStringLiteral("AnaData/MeslekAna.mdb"))));
    item(3)->trigger();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].caption, "Tresvoli");
    EXPECT_FALSE(boxes.shown[0].fatal);
    EXPECT_FALSE(set.active());
}

}  // namespace
