#include <QAccessible>
#include <QLineEdit>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include "widgets/Accessibility.h"

#include <memory>
#include <vector>

#include "app/TmeslekanaF.h"
#include "data/OccupationRecordSet.h"
#include "grid/OccupationGrid.h"
#include "grid/TfrmSelectColumn.h"
#include "help/HelpView.h"
#include "help/TyardimF.h"
#include "support/OccupationFixtures.h"
#include "support/RecordingBoxes.h"
#include "support/TempWorkDir.h"
#include "web/MakerSite.h"
#include "widgets/FailureReporter.h"
#include "widgets/Fonts.h"
#include "widgets/TJvXPButton.h"
#include "widgets/TtfXPButton.h"

namespace {

// The notices a screen reader would speak, and the objects that carried them.
std::vector<QString> spokenNotices;
std::vector<QAccessible::Id> noticeObjects;
void recordEvent(QAccessibleEvent* event) {
    QAccessibleInterface* iface = event->accessibleInterface();
    if (event->type() == QAccessible::ObjectShow && iface != nullptr &&
        iface->role() == QAccessible::Notification) {
        spokenNotices.push_back(iface->text(QAccessible::Name));
        noticeObjects.push_back(QAccessible::uniqueId(iface));
    }
}

class AccessibilityTest : public ::testing::Test {
protected:
    void SetUp() override {
        work.writeProgramDatabase({{"2111.13", "Fizik Mühendisi", QString()},
                                   {"2142.01", "İnşaat Mühendisi", QString()},
                                   {"5120.01", "Aşçı", QString()},
                                   {"8160.03", "Paketleme İşçisi", QString()}});
        registerTahoma();
        reporter = std::make_unique<FailureReporter>(boxes);
        window = std::make_unique<TmeslekanaF>(*reporter, defaultConnectionFactory());
        window->resize(940, 500);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        previous = setAccessibleEventWatcher(recordEvent);
        spokenNotices.clear();
        noticeObjects.clear();
    }
    void TearDown() override { setAccessibleEventWatcher(previous); }

    QAccessibleInterface* of(const char* name) const {
        auto* widget = window->findChild<QWidget*>(QLatin1String(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget ? QAccessible::queryAccessibleInterface(widget) : nullptr;
    }

    TempWorkDir work;
    RecordingBoxes boxes;
    std::unique_ptr<FailureReporter> reporter;
    std::unique_ptr<TmeslekanaF> window;
    AccessibleEventWatcher previous = nullptr;
};

TEST_F(AccessibilityTest, EveryControlHasATurkishNameAndItsRole) {
    const struct {
        const char* object;
        QAccessible::Role role;
        QString name;
    } controls[] = {
        {"Label1", QAccessible::StaticText, "ARANACAK MESLEĞİ GİRİN"},
        {"Edit1", QAccessible::EditableText, "Arama terimi 1"},
        {"Edit3", QAccessible::EditableText, "Arama terimi 2"},
        {"JvXPButton1", QAccessible::Button, "ARA"},
        {"JvXPButton3", QAccessible::Button, "YENİ ARAMA"},
        {"JvXPButton4", QAccessible::Button, "KOPYALA"},
        {"tfXPButton1", QAccessible::Button, "Yardım"},
        {"CheckBox1", QAccessible::CheckBox, "Otomatik Ara"},
        {"RadioButton1", QAccessible::RadioButton, "VE"},
        {"RadioButton2", QAccessible::RadioButton, "VEYA"},
        {"meslekkoduGrid", QAccessible::Table, "Meslek listesi"},
        {"WebBrowser2", QAccessible::Pane,
         builtInSite().exists() ? "Web sayfası" : "Program sayfası"},
        // The banner opens the maker's download, or without a site the program's page.
        {"Image1", QAccessible::Link,
         builtInSite().exists() ? "Dermansa programını indir" : "Program sayfasını aç"},
        {"Label2", QAccessible::Link, "Detaylı bilgi sayfasını aç"},
    };
    for (const auto& control : controls) {
        QAccessibleInterface* iface = of(control.object);
        ASSERT_NE(iface, nullptr) << control.object;
        EXPECT_EQ(iface->role(), control.role) << control.object;
        EXPECT_EQ(iface->text(QAccessible::Name), control.name) << control.object;
    }

    TyardimF help(*reporter);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&help)->text(QAccessible::Name),
              "Dermansa - Yardım");
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&help.view())->text(QAccessible::Name),
              "Yardım metni");

    std::unique_ptr<TfrmSelectColumn> chooser(makeColumnChooser(window->grid(), boxes));
    chooser->show();
    const auto chooserName = [&chooser](const char* object) {
        return QAccessible::queryAccessibleInterface(
                   chooser->findChild<QWidget*>(QLatin1String(object)))
            ->text(QAccessible::Name);
    };
    EXPECT_EQ(QAccessible::queryAccessibleInterface(chooser.get())->text(QAccessible::Name),
              "Gösterilecek Kolonları Seç");
    EXPECT_EQ(chooserName("clbList"), "Gösterilecek kolonlar");
    EXPECT_EQ(chooserName("ButtonOK"), "Tamam");
}

// Walks the tree as a screen reader does, from the window down.
void collect(QAccessibleInterface* iface, std::vector<QObject*>& objects) {
    if (iface->object()) objects.push_back(iface->object());
    for (int i = 0; i < iface->childCount(); ++i) {
        QAccessibleInterface* child = iface->child(i);
        if (child != nullptr && child->tableCellInterface() == nullptr) collect(child, objects);
    }
}

TEST_F(AccessibilityTest, HiddenControlsAreNotOffered) {
    std::vector<QObject*> offered;
    collect(QAccessible::queryAccessibleInterface(window.get()), offered);
    const auto isOffered = [&offered, this](const char* name) {
        QObject* object = window->findChild<QObject*>(QLatin1String(name));
        return std::find(offered.begin(), offered.end(), object) != offered.end();
    };
    EXPECT_TRUE(isOffered("JvXPButton1"));
    EXPECT_TRUE(isOffered("meslekkoduGrid"));
    EXPECT_TRUE(isOffered("WebBrowser2"));
    EXPECT_FALSE(isOffered("JvXPButton2"));     // "Sıralı Ara"
    EXPECT_FALSE(isOffered("JvXPContainer6"));  // the row with "PROGRAM WEB SAYFASINI GİZLE"
    EXPECT_FALSE(isOffered("JvXPButton5"));
    EXPECT_FALSE(isOffered("Edit2"));
}

TEST_F(AccessibilityTest, StyledButtonsArePressableButtonsWithTheirState) {
    auto* edit1 = window->findChild<QLineEdit*>(QLatin1String("Edit1"));
    QTest::keyClicks(edit1, "fizik");
    ASSERT_EQ(window->recordSet().shownCount(), 1);

    QAccessibleInterface* newSearch = of("JvXPButton3");
    ASSERT_NE(newSearch->actionInterface(), nullptr);
    EXPECT_TRUE(newSearch->actionInterface()->actionNames().contains(
        QAccessibleActionInterface::pressAction()));
    EXPECT_TRUE(newSearch->state().focusable);
    newSearch->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_TRUE(edit1->text().isEmpty());
    EXPECT_EQ(window->recordSet().shownCount(), 4);

    auto* ara = window->findChild<TJvXPButton*>(QLatin1String("JvXPButton1"));
    QTest::mousePress(ara, Qt::LeftButton);
    EXPECT_TRUE(of("JvXPButton1")->state().pressed);
    EXPECT_TRUE(of("JvXPButton1")->state().focused);
    QTest::mouseRelease(ara, Qt::LeftButton);
    EXPECT_FALSE(of("JvXPButton1")->state().pressed);

    // The help button never takes the focus, but can be pressed.
    QAccessibleInterface* help = of("tfXPButton1");
    EXPECT_FALSE(help->state().focusable);
    int helpClicks = 0;
    QObject::connect(window->findChild<TtfXPButton*>(QLatin1String("tfXPButton1")),
                     &TtfXPButton::clicked, [&helpClicks] { ++helpClicks; });
    help->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(helpClicks, 1);
}

TEST_F(AccessibilityTest, SearchAnnouncesTheShownRowsWithoutChangingTheWindow) {
    auto* edit1 = window->findChild<QLineEdit*>(QLatin1String("Edit1"));
    edit1->setFocus();
    QTest::keyClicks(edit1, "hendis");
    ASSERT_EQ(window->recordSet().shownCount(), 2);
    ASSERT_FALSE(spokenNotices.empty());
    EXPECT_EQ(spokenNotices.back(), "2 meslek gösteriliyor");
    // Typing on without a change of the count says nothing more.
    const std::size_t said = spokenNotices.size();
    QTest::keyClicks(edit1, "i");
    EXPECT_EQ(spokenNotices.size(), said);
    // The notice belongs to the search area.
    QAccessibleInterface* area = of("JvXPContainer3");
    QAccessibleInterface* notice = area->child(area->childCount() - 1);
    EXPECT_EQ(notice->role(), QAccessible::Notification);
    EXPECT_EQ(area->indexOfChild(notice), area->childCount() - 1);
    EXPECT_EQ(notice->parent(), area);
    EXPECT_EQ(of("meslekkoduGrid")->text(QAccessible::Description), "2 meslek gösteriliyor");
    // Said where the user is: in the description of the box, which a screen reader speaks.
    EXPECT_EQ(of("Edit1")->text(QAccessible::Description), "2 meslek gösteriliyor");

    // From the button the count moves to the button.
    auto* newSearch = window->findChild<TJvXPButton*>(QLatin1String("JvXPButton3"));
    QTest::mouseClick(newSearch, Qt::LeftButton);
    EXPECT_EQ(of("JvXPButton3")->text(QAccessible::Description), "4 meslek gösteriliyor");
    EXPECT_EQ(spokenNotices.back(), "4 meslek gösteriliyor");
    EXPECT_TRUE(of("Edit1")->text(QAccessible::Description).isEmpty());
    // Every notice is a new object: a screen reader keeps the first name it
    // read of an object, and no renaming would reach it. The one before stays
    // readable, with its own text, for a screen reader that comes to it late.
    const QAccessible::Id before = noticeObjects[said - 1];
    EXPECT_NE(noticeObjects.back(), before);
    ASSERT_NE(QAccessible::accessibleInterface(before), nullptr);
    EXPECT_EQ(QAccessible::accessibleInterface(before)->text(QAccessible::Name),
              "2 meslek gösteriliyor");
}

// A copy is said with what it copied; a copy of nothing says nothing.
TEST_F(AccessibilityTest, ACopyIsAnnouncedWithTheCopiedText) {
    window->grid().setFocus();
    QTest::keyClick(&window->grid(), Qt::Key_C, Qt::ControlModifier);
    ASSERT_FALSE(spokenNotices.empty());
    EXPECT_EQ(spokenNotices.back(), "Kopyalandı: 2111.13");
    QTest::keyClick(&window->grid(), Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(spokenNotices.back(), "Kopyalandı: 2111.13 Fizik Mühendisi");
    // The same copy again is said again: the user pressed the keys again.
    QTest::keyClick(&window->grid(), Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(spokenNotices.size(), 3u);

    auto* edit1 = window->findChild<QLineEdit*>(QLatin1String("Edit1"));
    QTest::keyClicks(edit1, "zzz");
    ASSERT_EQ(window->recordSet().shownCount(), 0);
    const std::size_t said = spokenNotices.size();
    window->grid().setFocus();
    QTest::keyClick(&window->grid(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(spokenNotices.size(), said);
}

// Many notices in a row (fast typing): the newest is the panel's child, the
// ones before it still read their own text, and only the oldest beyond a
// bound go.
TEST(AccessibleNoticeTest, EarlierNoticesStayReadableUpToABound) {
    QWidget panel;
    std::vector<QAccessible::Id> shown;
    const AccessibleEventWatcher previous = setAccessibleEventWatcher([](QAccessibleEvent* e) {
        if (e->type() == QAccessible::ObjectShow)
            noticeObjects.push_back(QAccessible::uniqueId(e->accessibleInterface()));
    });
    noticeObjects.clear();
    {
        AccessibleNotice notice(&panel);
        const int count = AccessibleNotice::KeptNotices + 8;
        for (int i = 0; i < count; ++i) notice.announce(QString::number(i));
        ASSERT_EQ(int(noticeObjects.size()), count);
        for (int i = 0; i < count; ++i) {
            QAccessibleInterface* iface = QAccessible::accessibleInterface(noticeObjects[i]);
            if (i < count - AccessibleNotice::KeptNotices) {
                EXPECT_EQ(iface, nullptr) << i;
            } else {
                ASSERT_NE(iface, nullptr) << i;
                EXPECT_EQ(iface->text(QAccessible::Name), QString::number(i));
            }
        }
        EXPECT_EQ(notice.accessible(), QAccessible::accessibleInterface(noticeObjects.back()));
    }
    // Gone with their owner.
    for (const QAccessible::Id id : noticeObjects)
        EXPECT_EQ(QAccessible::accessibleInterface(id), nullptr);
    setAccessibleEventWatcher(previous);
    noticeObjects.clear();
}

// The first box says what it is for; the hidden clipboard box is nowhere: not
// in the tree, not as text whose caret or selection could be heard.
TEST_F(AccessibilityTest, BoxesAreLabelledHiddenOnesAbsentAndAFirstFocusMovesNoCaret) {
    QAccessibleInterface* edit1 = of("Edit1");
    const auto labels = edit1->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].first->object(), window->findChild<QObject*>(QLatin1String("Label1")));

    QAccessibleInterface* edit2 = of("Edit2");
    ASSERT_NE(edit2, nullptr);
    EXPECT_EQ(edit2->role(), QAccessible::NoRole);
    EXPECT_EQ(edit2->textInterface(), nullptr);
    EXPECT_TRUE(edit2->state().invisible);
    EXPECT_FALSE(edit2->state().focusable);

    // A box's first focus from the keyboard does not move its caret, which a
    // screen reader would follow silently and then take the focus for one it
    // already had.
    for (const char* name : {"Edit1", "Edit3"}) {
        window->findChild<QWidget*>(QStringLiteral("JvXPButton4"))->setFocus();
        auto* box = window->findChild<QLineEdit*>(QLatin1String(name));
        int moves = 0;
        QObject::connect(box, &QLineEdit::cursorPositionChanged, [&moves] { ++moves; });
        box->setFocus(Qt::TabFocusReason);
        EXPECT_TRUE(box->hasFocus()) << name;
        EXPECT_EQ(moves, 0) << name;
    }
}

// Windows the toolkit keeps hidden (offscreen surfaces) are not offered as
// the program's windows; shown ones are.
TEST_F(AccessibilityTest, TheApplicationOffersItsShownWindowsOnly) {
    QWindow offscreen;
    offscreen.setTitle(QStringLiteral("Offscreen"));
    offscreen.create();
    QAccessibleInterface* application = QAccessible::queryAccessibleInterface(qApp);
    ASSERT_NE(application, nullptr);
    EXPECT_EQ(application->role(), QAccessible::Application);
    std::vector<QObject*> windows;
    for (int i = 0; i < application->childCount(); ++i) {
        QAccessibleInterface* child = application->child(i);
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(application->indexOfChild(child), i);
        windows.push_back(child->object());
    }
    EXPECT_NE(std::find(windows.begin(), windows.end(), window.get()), windows.end());
    EXPECT_EQ(std::find(windows.begin(), windows.end(), &offscreen), windows.end());
    EXPECT_EQ(application->childCount(), 1);
}

}  // namespace
