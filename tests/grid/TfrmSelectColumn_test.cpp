#include <QApplication>
#include <QCheckBox>
#include <QFontInfo>
#include <QFrame>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "data/Connection.h"
#include "data/ConnectionSettings.h"
#include "data/OccupationRecordSet.h"
#include "grid/OccupationGrid.h"
#include "grid/TfrmSelectColumn.h"
#include "support/OccupationFixtures.h"
#include "support/RecordingBoxes.h"
#include "support/TempWorkDir.h"
#include "widgets/Fonts.h"

namespace {

// Waits until `window` has the activation. (QTest::qWaitForWindowActive does
// not do for a tool window: it counts as active while its parent is.)
bool waitUntilActive(QWidget* window) {
    return QTest::qWaitFor([window] { return QApplication::activeWindow() == window; });
}

// Records and answers boxes at once, and moves the activation as a real box
// does: to the box while it is open, then back to the window that had it,
// either before the box returns or only afterwards (as on X11).
class ActivationTakingBoxes : public RecordingBoxes {
public:
    int applicationMessageBox(const QString& text, const QString& caption, Icon icon,
                              Buttons buttons) override {
        QWidget* owner = QApplication::activeWindow();
        QWidget box;
        box.setWindowTitle(caption);
        box.show();
        box.activateWindow();
        EXPECT_TRUE(waitUntilActive(&box));
        const int result = RecordingBoxes::applicationMessageBox(text, caption, icon, buttons);
        box.hide();
        if (owner) {
            owner->activateWindow();
            if (activationBackBeforeReturn) {
                EXPECT_TRUE(waitUntilActive(owner));
            }
        }
        return result;
    }

    bool activationBackBeforeReturn = true;
};

class SelectColumnTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(registerMsSansSerif());
        work.writeProgramDatabase(jet4::syntheticOccupations(20));
        ConnectionSettings::applyTo(connection);
        set = std::make_unique<OccupationRecordSet>(connection);
        set->setSql({QStringLiteral("select * from meslekler")});
        set->open();
        host = std::make_unique<QWidget>();
        host->setGeometry(40, 30, 600, 500);
        grid = new OccupationGrid(*set, host.get());
        grid->setGeometry(5, 7, 545, 400);
        host->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(host.get()));
    }

    void TearDown() override {
        dialog.reset();
        host.reset();
    }

    // Opens a chooser the way the grid's opener does, without waiting on it.
    void openChooser() {
        dialog.reset(makeColumnChooser(*grid, boxes));
        dialog->show();
        ASSERT_TRUE(waitUntilActive(dialog.get()));
        list = dialog->findChild<QListWidget*>(QStringLiteral("clbList"));
        option = dialog->findChild<QCheckBox*>(QStringLiteral("cbWithFieldName"));
        ok = dialog->findChild<QPushButton*>(QStringLiteral("ButtonOK"));
        ASSERT_TRUE(list && option && ok);
    }

    QStringList texts() const {
        QStringList result;
        for (int i = 0; i < list->count(); ++i) result << list->item(i)->text();
        return result;
    }

    std::vector<bool> checks() const {
        std::vector<bool> result;
        for (int i = 0; i < list->count(); ++i) {
            result.push_back(list->item(i)->checkState() == Qt::Checked);
        }
        return result;
    }

    // The space bar toggles the selected item; then the queued check rule runs.
    void toggle(int row) {
        list->setCurrentRow(row);
        QTest::keyClick(list, Qt::Key_Space);
        QCoreApplication::processEvents();
    }

    std::vector<bool> gridColumns() const {
        return {grid->isColumnVisible(0), grid->isColumnVisible(1)};
    }

    TempWorkDir work;
    Connection connection;
    std::unique_ptr<OccupationRecordSet> set;
    std::unique_ptr<QWidget> host;
    OccupationGrid* grid = nullptr;
    ActivationTakingBoxes boxes;
    std::unique_ptr<TfrmSelectColumn> dialog;
    QListWidget* list = nullptr;
    QCheckBox* option = nullptr;
    QPushButton* ok = nullptr;
};

using Checks = std::vector<bool>;

TEST_F(SelectColumnTest, OpensUnderTheCornerCellAsAButtonlessToolWindowWithTheDesignLayout) {
    openChooser();
    EXPECT_EQ(dialog->objectName(), "frmSelectColumn");
    EXPECT_EQ(dialog->windowTitle(), "Gösterilecek Kolonları Seç");
    EXPECT_EQ(dialog->parentWidget(), host.get());
    const Qt::WindowFlags flags = dialog->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
    EXPECT_FALSE(flags & (Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                          Qt::WindowMinMaxButtonsHint));
    EXPECT_EQ(dialog->frameGeometry().topLeft(), grid->columnChooserPosition());

    EXPECT_EQ(dialog->size(), QSize(189, 217));
    EXPECT_EQ(dialog->minimumSize(), QSize(92, 109));
    const auto* panel = dialog->findChild<QFrame*>(QStringLiteral("Panel1"));
    ASSERT_TRUE(panel);
    EXPECT_EQ(list->geometry(), QRect(2, 2, 185, 163));
    EXPECT_EQ(panel->geometry(), QRect(2, 165, 185, 50));
    EXPECT_EQ(option->geometry(), QRect(18, -2, 165, 25));
    EXPECT_EQ(ok->geometry(), QRect(56, 19, 75, 25));
    EXPECT_EQ(list->visualItemRect(list->item(0)).height(), 13);
    EXPECT_EQ(list->visualItemRect(list->item(1)).top(), 13);
    EXPECT_EQ(QFontInfo(dialog->font()).family(), "MS Sans Serif");
    EXPECT_EQ(dialog->font().pointSize(), 8);
    EXPECT_EQ(ok->text(), "&Tamam");
    EXPECT_TRUE(ok->isDefault());

    // Wider: the option box stretches, the button keeps to the centre.
    dialog->resize(289, 317);
    EXPECT_EQ(list->geometry(), QRect(2, 2, 285, 263));
    EXPECT_EQ(panel->geometry(), QRect(2, 265, 285, 50));
    EXPECT_EQ(option->geometry(), QRect(18, -2, 265, 25));
    EXPECT_EQ(ok->geometry(), QRect(106, 19, 75, 25));
    dialog->resize(10, 10);
    EXPECT_EQ(dialog->size(), QSize(92, 109));
}

TEST_F(SelectColumnTest, ListsTheColumnsInFieldOrderCheckedWithTheFirstSelected) {
    openChooser();
    EXPECT_EQ(texts(), QStringList({"Meslek Kodu", "Meslek Adı"}));
    EXPECT_EQ(checks(), Checks({true, true}));
    EXPECT_EQ(list->currentRow(), 0);
    EXPECT_TRUE(list->item(0)->isSelected());
    EXPECT_TRUE(option->isVisible());
    EXPECT_FALSE(option->isChecked());
    EXPECT_EQ(option->text(), "[With the real field name]");
}

TEST_F(SelectColumnTest, OkAppliesTheChecksAndAReopenedChooserShowsThem) {
    openChooser();
    toggle(0);
    ok->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(gridColumns(), Checks({false, true}));
    EXPECT_TRUE(grid->cellRect(-1, 0).isNull());

    openChooser();
    EXPECT_EQ(texts(), QStringList({"Meslek Kodu", "Meslek Adı"}));
    EXPECT_EQ(checks(), Checks({false, true}));
    // Enter in the list presses the default button.
    toggle(0);
    QTest::keyClick(list, Qt::Key_Return);
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_EQ(gridColumns(), Checks({true, true}));
}

TEST_F(SelectColumnTest, EscapeAndEveryOtherCloseLeaveTheGridAlone) {
    openChooser();
    toggle(0);
    ok->setFocus();  // Escape is the dialog's wherever the focus is
    QTest::keyClick(ok, Qt::Key_Escape);
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_FALSE(dialog->notCancelled());
    EXPECT_EQ(gridColumns(), Checks({true, true}));

    openChooser();
    toggle(1);
    dialog->close();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(gridColumns(), Checks({true, true}));
}

TEST_F(SelectColumnTest, UncheckingTheLastItemWarnsThenTheRebuiltListGetsTheSelectedItemBack) {
    for (const bool backBeforeReturn : {true, false}) {
        SCOPED_TRACE(backBeforeReturn ? "activation back before the box returns"
                                      : "activation back after the box returns");
        boxes.shown.clear();
        boxes.activationBackBeforeReturn = backBeforeReturn;
        grid->setColumnsVisible({{0, false}, {1, true}});
        openChooser();
        ASSERT_EQ(checks(), Checks({false, true}));

        toggle(1);
        ASSERT_TRUE(waitUntilActive(dialog.get()));
        QCoreApplication::processEvents();
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, "En az bir kolon seçilmelidir");
        EXPECT_EQ(boxes.shown[0].caption, "Warning");
        EXPECT_EQ(boxes.shown[0].icon, MessageBoxes::Icon::Warning);
        EXPECT_EQ(boxes.shown[0].buttons, MessageBoxes::Buttons::Ok);
        // Rebuilt from the grid (the name checked, the first item selected),
        // then the selected item checked again.
        EXPECT_EQ(checks(), Checks({true, true}));
        EXPECT_EQ(list->currentRow(), 0);
        EXPECT_TRUE(dialog->oneChecked());

        ok->click();
        EXPECT_EQ(gridColumns(), Checks({true, true}));
    }
}

TEST_F(SelectColumnTest, NothingCheckedIsNeverApplied) {
    openChooser();
    list->item(0)->setCheckState(Qt::Unchecked);
    list->item(1)->setCheckState(Qt::Unchecked);
    ok->click();  // before the warning has had its turn
    QCoreApplication::processEvents();
    EXPECT_EQ(gridColumns(), Checks({true, true}));
    EXPECT_TRUE(boxes.shown.empty());  // no warning over a closed dialog

    // Unchecked, then checked again before the warning had its turn: none.
    openChooser();
    list->item(0)->setCheckState(Qt::Unchecked);
    list->item(1)->setCheckState(Qt::Unchecked);
    list->item(1)->setCheckState(Qt::Checked);
    QCoreApplication::processEvents();
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(checks(), Checks({false, true}));
}

TEST_F(SelectColumnTest, OptionBoxRebuildsWithRealFieldNamesAndTheGridsChecks) {
    openChooser();
    toggle(0);
    QTest::mouseClick(option, Qt::LeftButton, {}, option->rect().center() + QPoint(0, 1));
    EXPECT_TRUE(option->isChecked());
    EXPECT_TRUE(option->isVisible());
    EXPECT_EQ(texts(), QStringList({"Meslek Kodu [meslek_kodu]", "Meslek Adı [meslek_adi]"}));
    EXPECT_EQ(checks(), Checks({true, true}));
    option->click();
    EXPECT_EQ(texts(), QStringList({"Meslek Kodu", "Meslek Adı"}));

    // Any return of the activation rebuilds too, losing unconfirmed changes.
    toggle(1);
    host->activateWindow();
    ASSERT_TRUE(waitUntilActive(host.get()));
    dialog->activateWindow();
    ASSERT_TRUE(waitUntilActive(dialog.get()));
    EXPECT_EQ(checks(), Checks({true, true}));
}

// A column moved in the grid keeps its item's place by field order and is still
// the column its item hides.
TEST_F(SelectColumnTest, AMovedColumnKeepsItsItem) {
    grid->moveColumn(1, 0);
    ASSERT_EQ(grid->columnFieldName(0), "meslek_adi");
    openChooser();
    EXPECT_EQ(texts(), QStringList({"Meslek Kodu", "Meslek Adı"}));
    toggle(0);
    ok->click();
    EXPECT_TRUE(grid->isColumnVisible(0));
    EXPECT_FALSE(grid->isColumnVisible(1));
    EXPECT_EQ(grid->columnFieldName(1), "meslek_kodu");
}

}  // namespace
