#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleFactory>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>

#include "widgets/MessageBoxes.h"

namespace {

// Answers the next message box from inside its own event loop. Looks for
// the box every few milliseconds; if none turns up in time, closes every
// modal window so that the test fails instead of waiting for ever.
class BoxAnswerer {
public:
    explicit BoxAnswerer(std::function<void(QMessageBox&)> answer)
        : answer_(std::move(answer)), deadline_(5000) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }

    bool answered() const { return answered_; }

private:
    void poll() {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box && box->isVisible()) {
                timer_.stop();
                answered_ = true;
                answer_(*box);
                return;
            }
        }
        if (deadline_.hasExpired()) {
            timer_.stop();
            ADD_FAILURE() << "no message box was shown";
            while (QWidget* modal = QApplication::activeModalWidget()) {
                modal->close();
                if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                    box->done(0);
                }
            }
        }
    }

    std::function<void(QMessageBox&)> answer_;
    QDeadlineTimer deadline_;
    QTimer timer_;
    bool answered_ = false;
};

void click(QMessageBox& box, QMessageBox::StandardButton button) {
    ASSERT_NE(box.button(button), nullptr);
    box.button(button)->click();
}

// Two shown windows, the first active with the focus on its second text box,
// plus a hidden window and a shown but disabled one.
struct Windows {
    Windows() {
        auto* layout = new QVBoxLayout(&main);
        first = new QLineEdit(&main);
        second = new QLineEdit(&main);
        layout->addWidget(first);
        layout->addWidget(second);
        main.show();
        other = std::make_unique<QWidget>();
        other->show();
        disabled.setEnabled(false);
        disabled.show();
        main.activateWindow();
        second->setFocus();
    }

    bool ready() {
        return QTest::qWaitForWindowActive(&main) &&
               QTest::qWaitFor([this] { return QApplication::focusWidget() == second; });
    }

    QWidget main;
    QLineEdit* first = nullptr;
    QLineEdit* second = nullptr;
    std::unique_ptr<QWidget> other;
    QWidget hidden;
    QWidget disabled;
};

// A style that puts icons on dialog buttons, as some desktops' styles do.
class ButtonIconStyle : public QProxyStyle {
public:
    ButtonIconStyle() : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {}
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returned) const override {
        if (hint == QStyle::SH_DialogButtonBox_ButtonsHaveIcons) return 1;
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }
};

TEST(WidgetMessageBoxesTest, BlocksTheWindowsWithoutDisablingThemAndRestoresActiveWindowAndFocus) {
    const QString styleName = QApplication::style()->name();
    QApplication::setStyle(new ButtonIconStyle);
    struct StyleBack {
        QString name;
        ~StyleBack() { QApplication::setStyle(name); }
    } styleBack{styleName};
    Windows windows;
    ASSERT_TRUE(windows.ready());

    WidgetMessageBoxes boxes;
    bool mainEnabled = false, otherEnabled = false, hiddenEnabled = false;
    QWidget* modal = nullptr;
    QIcon okIcon = QIcon::fromTheme(QStringLiteral("dialog-ok"));
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::WindowModality modality = Qt::NonModal;
    BoxAnswerer answerer([&](QMessageBox& box) {
        mainEnabled = windows.main.isEnabled();
        otherEnabled = windows.other->isEnabled();
        hiddenEnabled = windows.hidden.isEnabled();
        title = box.windowTitle();
        text = box.text();
        icon = box.icon();
        modality = box.windowModality();
        modal = QApplication::activeModalWidget();
        okIcon = box.button(QMessageBox::Ok)->icon();
        click(box, QMessageBox::Ok);
    });
    const int result = boxes.applicationMessageBox(
        "Veritabanı açılamadı.", "Tresvoli", MessageBoxes::Icon::Error, MessageBoxes::Buttons::Ok);
    ASSERT_TRUE(answerer.answered());
    EXPECT_EQ(result, MessageBoxes::Ok);
    EXPECT_EQ(title, "Tresvoli");
    EXPECT_EQ(text, "Veritabanı açılamadı.");
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(modality, Qt::ApplicationModal);
    EXPECT_NE(modal, nullptr) << "the box blocks the other windows' input";
    EXPECT_TRUE(okIcon.isNull()) << "the button shows its caption alone";
    // Disabled windows would turn grey behind the box.
    EXPECT_TRUE(mainEnabled);
    EXPECT_TRUE(otherEnabled);
    EXPECT_TRUE(hiddenEnabled);

    EXPECT_TRUE(windows.main.isEnabled());
    EXPECT_TRUE(windows.other->isEnabled());
    EXPECT_FALSE(windows.disabled.isEnabled()) << "a window disabled before stays disabled";
    EXPECT_TRUE(QTest::qWaitFor([] { return QApplication::activeModalWidget() == nullptr; }));
    EXPECT_TRUE(QTest::qWaitForWindowActive(&windows.main));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == windows.second; }))
        << "focus is on " << (QApplication::focusWidget() ? "another widget" : "nothing");
}

TEST(WidgetMessageBoxesTest, BoxesStandAtTheCentreOfTheActiveWindowsScreenAndShowPlainText) {
    Windows windows;
    ASSERT_TRUE(windows.ready());
    const QPoint centre = windows.main.screen()->availableGeometry().center();
    WidgetMessageBoxes boxes;
    // A long text makes the laid-out box much larger than a box measured
    // before it is shown; the markup must come through as written.
    const QString text = QStringLiteral("Klasör bulunamadı: /home/a<b>c/") + QString(60, u'x') +
                         QStringLiteral("\n<i>son</i> &amp; satır");
    QRect shown;
    Qt::TextFormat format = Qt::AutoText;
    auto answer = [&](QMessageBox& box) {
        shown = box.geometry();
        format = box.textFormat();
        click(box, QMessageBox::Ok);
    };
    {
        BoxAnswerer answerer(answer);
        boxes.applicationMessageBox(text, "Tresvoli", MessageBoxes::Icon::Error,
                                    MessageBoxes::Buttons::Ok);
        ASSERT_TRUE(answerer.answered());
    }
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_LE((shown.center() - centre).manhattanLength(), 1)
        << shown.x() << "," << shown.y() << " " << shown.width() << "x" << shown.height();

    BoxAnswerer fatalAnswerer(answer);
    boxes.fatalMessageBox(text, "Application Error");
    ASSERT_TRUE(fatalAnswerer.answered());
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_LE((shown.center() - QGuiApplication::primaryScreen()->availableGeometry().center())
                  .manhattanLength(),
              1);
}

TEST(WidgetMessageBoxesTest, ReturnsTheButtonThatClosedTheBox) {
    WidgetMessageBoxes boxes;
    struct Case {
        MessageBoxes::Buttons buttons;
        QMessageBox::StandardButton press;
        int expected;
    };
    const Case cases[] = {
        {MessageBoxes::Buttons::OkCancel, QMessageBox::Cancel, MessageBoxes::Cancel},
        {MessageBoxes::Buttons::YesNo, QMessageBox::Yes, MessageBoxes::Yes},
    };
    for (const Case& c : cases) {
        BoxAnswerer answerer([&](QMessageBox& box) { click(box, c.press); });
        EXPECT_EQ(
            boxes.applicationMessageBox("?", "Tresvoli", MessageBoxes::Icon::Question, c.buttons),
            c.expected);
        EXPECT_TRUE(answerer.answered());
    }
}

TEST(WidgetMessageBoxesTest, OnceToldToAnswerAtOnceNoBoxIsShownAndEachAnswersWithItsRefusal) {
    WidgetMessageBoxes boxes;
    boxes.answerAtOnce();
    const std::pair<MessageBoxes::Buttons, int> cases[] = {
        {MessageBoxes::Buttons::YesNo, MessageBoxes::No},
        {MessageBoxes::Buttons::OkCancel, MessageBoxes::Cancel},
        {MessageBoxes::Buttons::Ok, MessageBoxes::Ok},
    };
    for (const auto& [buttons, refusal] : cases) {
        BoxAnswerer answerer([](QMessageBox& box) { box.done(0); });
        EXPECT_EQ(
            boxes.applicationMessageBox("?", "Tresvoli", MessageBoxes::Icon::Question, buttons),
            refusal);
        EXPECT_FALSE(answerer.answered());
    }
    BoxAnswerer answerer([](QMessageBox& box) { box.done(0); });
    boxes.fatalMessageBox("x", "Application Error");
    EXPECT_FALSE(answerer.answered());
}

TEST(WidgetMessageBoxesTest, AWindowDestroyedWhileTheBoxIsOpenIsLeftAlone) {
    Windows windows;
    ASSERT_TRUE(windows.ready());
    QPointer<QWidget> other = windows.other.get();
    WidgetMessageBoxes boxes;
    BoxAnswerer answerer([&](QMessageBox& box) {
        windows.other.reset();
        click(box, QMessageBox::Ok);
    });
    boxes.applicationMessageBox("x", "Tresvoli", MessageBoxes::Icon::Error,
                                MessageBoxes::Buttons::Ok);
    ASSERT_TRUE(answerer.answered());
    EXPECT_TRUE(other.isNull());
    EXPECT_TRUE(windows.main.isEnabled());
}

TEST(WidgetMessageBoxesTest, FatalBoxIsApplicationModalWithTheErrorIconAndOneButton) {
    QWidget window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    WidgetMessageBoxes boxes;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    Qt::WindowModality modality = Qt::NonModal;
    int buttons = 0;
    bool parentless = false, windowBlocked = false;
    BoxAnswerer answerer([&](QMessageBox& box) {
        title = box.windowTitle();
        text = box.text();
        icon = box.icon();
        modality = box.windowModality();
        buttons = static_cast<int>(box.buttons().size());
        parentless = box.parentWidget() == nullptr;
        windowBlocked = QApplication::activeModalWidget() == &box;
        click(box, QMessageBox::Ok);
    });
    boxes.fatalMessageBox("Exception Exception in module meslekana at 00001234.\r\nYok.\r\n",
                          "Application Error");
    ASSERT_TRUE(answerer.answered());
    EXPECT_EQ(title, "Application Error");
    EXPECT_EQ(text, "Exception Exception in module meslekana at 00001234.\nYok.\n");
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(modality, Qt::ApplicationModal);
    EXPECT_EQ(buttons, 1);
    EXPECT_TRUE(parentless);
    EXPECT_TRUE(windowBlocked);
}

}  // namespace
