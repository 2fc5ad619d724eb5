#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <cmath>

#include <gtest/gtest.h>

#include "widgets/GradientImage.h"
#include "widgets/TJvXPButton.h"
#include "widgets/TJvXPContainer.h"
#include "widgets/TtfXPButton.h"

namespace {

const QColor Panel(106, 179, 232);

QColor pixel(const QImage& image, int x, int y) { return image.pixelColor(x, y); }

// Colour step i of 64 from top to bottom, each part rounded to the nearest.
QColor step(const QColor& top, const QColor& bottom, int i) {
    const auto part = [i](int from, int to) {
        return int(std::lround(from + (to - from) * i / 63.0));
    };
    return QColor(part(top.red(), bottom.red()), part(top.green(), bottom.green()),
                  part(top.blue(), bottom.blue()));
}

struct Face {
    QColor top, bottom;
};
const Face Background{TJvXPButton::BackgroundTop, TJvXPButton::BackgroundBottom};
const Face Pressed{TJvXPButton::PressedTop, TJvXPButton::PressedBottom};
const Face Focus{TJvXPButton::FocusRingTop, TJvXPButton::FocusRingBottom};
const Face Hot{TJvXPButton::HotRingTop, TJvXPButton::HotRingBottom};

// A face's 26 rows (the window's buttons are 28 high): bands 0 and 63 round
// to no rows, so the first row shows step 1 and the last step 62.
QColor firstRow(const Face& face) { return step(face.top, face.bottom, 1); }
QColor lastRow(const Face& face) { return step(face.top, face.bottom, 62); }

// A window-sized panel in the band colour with a search box, a styled button
// of the window's size at (20, 20) and an image button at (200, 20).
struct Host {
    Host() {
        panel.setColor(Panel);
        panel.resize(300, 100);
        edit = new QLineEdit(&panel);
        edit->setGeometry(20, 60, 100, 24);
        button = new TJvXPButton(QStringLiteral("ARA"), &panel);
        button->setFont(QFont(QStringLiteral("Tahoma"), 12, QFont::Bold));
        button->setGeometry(20, 20, 106, 28);
        image = new TtfXPButton(&panel);
        image->setGeometry(200, 20, 50, 50);
        panel.show();
        panel.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&panel));
        edit->setFocus();
    }
    QWindow* window() { return panel.windowHandle(); }
    QPoint on(QWidget* widget, QPoint at) { return widget->mapTo(&panel, at); }
    QImage shot() { return button->grab().toImage(); }

    TJvXPContainer panel;
    QLineEdit* edit;
    TJvXPButton* button;
    TtfXPButton* image;
};

void sendKey(QWidget* to, QEvent::Type type, int key, bool autoRepeat = false) {
    QKeyEvent event(type, key, Qt::NoModifier, key == Qt::Key_Space ? QStringLiteral(" ") : "",
                    autoRepeat);
    QApplication::sendEvent(to, &event);
}

// The bounding box of the caption's solid black pixels inside the border.
QRect captionBox(const QImage& shot) {
    QRect box;
    for (int y = 2; y < shot.height() - 2; ++y) {
        for (int x = 2; x < shot.width() - 2; ++x) {
            if (shot.pixel(x, y) == qRgb(0, 0, 0)) box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

// A picture whose every pixel tells where it came from.
QPixmap codedPicture(int size) {
    QImage picture(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) picture.setPixel(x, y, qRgb(x * 4, y * 4, 100));
    }
    return QPixmap::fromImage(picture);
}

}  // namespace

TEST(StyledControlsTest, GradientRunsInSixtyFourRoundedBandsFromTopToBottom) {
    const QColor top(206, 231, 255), bottom(109, 132, 239);
    const QImage tall = gradientImage(3, 128, top, bottom);
    EXPECT_EQ(pixel(tall, 0, 0), top);
    EXPECT_EQ(pixel(tall, 2, 1), top);
    // Step 1 is top + (bottom - top) / 63, each part rounded to the nearest.
    EXPECT_EQ(pixel(tall, 0, 2), QColor(204, 229, 255));
    EXPECT_EQ(pixel(tall, 0, 127), bottom);
    EXPECT_EQ(pixel(tall, 0, 125), QColor(111, 134, 239));

    // 26 rows: bands 0 and 63 round to no rows at all.
    const QImage low = gradientImage(2, 26, top, bottom);
    EXPECT_EQ(pixel(low, 0, 0), QColor(204, 229, 255));
    EXPECT_EQ(pixel(low, 0, 25), QColor(111, 134, 239));
    EXPECT_TRUE(gradientImage(0, 5, top, bottom).isNull());
}

TEST(StyledControlsTest, ButtonAtRestShowsTheRoundedBorderOnTheGradientFaceAndPanelCorners) {
    Host host;
    const QImage shot = host.shot();
    const int w = 106, h = 28;
    ASSERT_EQ(shot.size(), QSize(w, h));
    for (QPoint corner : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h - 1), QPoint(w - 1, h - 1)}) {
        EXPECT_EQ(pixel(shot, corner.x(), corner.y()), Panel) << corner.x() << "," << corner.y();
    }
    // The border stops two pixels short of each corner and takes its
    // diagonal pixel; nothing is drawn past the right and bottom edges.
    for (QPoint on :
         {QPoint(2, 0), QPoint(w - 3, 0), QPoint(0, 2), QPoint(0, h - 3), QPoint(w - 1, 2),
          QPoint(w - 1, h - 3), QPoint(2, h - 1), QPoint(w - 3, h - 1), QPoint(1, 1),
          QPoint(w - 2, 1), QPoint(1, h - 2), QPoint(w - 2, h - 2)}) {
        EXPECT_EQ(pixel(shot, on.x(), on.y()), TJvXPButton::BorderColor) << on.x() << "," << on.y();
    }
    for (QPoint soft :
         {QPoint(1, 0), QPoint(0, 1), QPoint(w - 2, 0), QPoint(w - 1, 1), QPoint(0, h - 2),
          QPoint(1, h - 1), QPoint(w - 2, h - 1), QPoint(w - 1, h - 2)}) {
        EXPECT_EQ(pixel(shot, soft.x(), soft.y()), TJvXPButton::CornerColor)
            << soft.x() << "," << soft.y();
    }
    EXPECT_EQ(pixel(shot, 2, 1), firstRow(Background));
    EXPECT_EQ(pixel(shot, w - 3, h - 2), lastRow(Background));
    // The caption stands in the middle.
    const QRect caption = captionBox(shot);
    ASSERT_FALSE(caption.isEmpty());
    EXPECT_LE(std::abs(caption.center().x() - w / 2), 2);
    EXPECT_LE(std::abs(caption.center().y() - h / 2), 3);

    // A button given its font after it was made places the caption as one
    // that had the font from its parent from the start.
    QWidget holder;
    holder.setFont(host.button->font());
    TJvXPButton twin(QStringLiteral("ARA"), &holder);
    twin.setGeometry(0, 0, w, h);
    EXPECT_EQ(captionBox(twin.grab().toImage()), caption);
}

TEST(StyledControlsTest, PointerShowsTheOrangeRingAndFocusTheBlueOneUnlessThePointerIsThere) {
    Host host;
    const QImage rest = host.shot();
    QTest::mouseMove(host.window(), host.on(host.button, {50, 14}));
    ASSERT_TRUE(host.button->isHot());
    QImage shot = host.shot();
    EXPECT_EQ(pixel(shot, 5, 1), firstRow(Hot));
    EXPECT_EQ(pixel(shot, 5, 26), lastRow(Hot));
    EXPECT_EQ(pixel(shot, 2, 14), pixel(shot, 1, 14));
    // Inside the two-pixel ring, the face as at rest.
    EXPECT_EQ(pixel(shot, 5, 3), firstRow(Background));
    EXPECT_EQ(pixel(shot, 0, 0), Panel);

    host.button->setFocus();
    EXPECT_EQ(pixel(host.shot(), 5, 1), firstRow(Hot));
    QTest::mouseMove(host.window(), {290, 90});
    EXPECT_FALSE(host.button->isHot());
    shot = host.shot();
    EXPECT_EQ(pixel(shot, 5, 1), firstRow(Focus));
    EXPECT_EQ(pixel(shot, 5, 26), lastRow(Focus));

    host.edit->setFocus();
    EXPECT_EQ(host.shot(), rest);
}

TEST(StyledControlsTest, HeldDownUnderThePointerShowsThePressedFaceWithTheCaptionMoved) {
    Host host;
    const QRect restCaption = captionBox(host.shot());
    QSignalSpy clicks(host.button, &TJvXPButton::clicked);

    QTest::mouseMove(host.window(), host.on(host.button, {50, 14}));
    QTest::mousePress(host.window(), Qt::LeftButton, {}, host.on(host.button, {50, 14}));
    // The press takes the focus from the search box.
    EXPECT_TRUE(host.button->hasFocus());
    QImage shot = host.shot();
    EXPECT_EQ(pixel(shot, 5, 1), firstRow(Pressed));
    EXPECT_EQ(pixel(shot, 5, 26), lastRow(Pressed));
    EXPECT_EQ(captionBox(shot), restCaption.translated(1, 1));

    // Moved off while held: the blue ring and the caption back in place.
    QTest::mouseMove(host.window(), {290, 90});
    shot = host.shot();
    EXPECT_EQ(pixel(shot, 5, 1), firstRow(Focus));
    EXPECT_EQ(captionBox(shot), restCaption);
    QTest::mouseRelease(host.window(), Qt::LeftButton, {}, {290, 90});
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_FALSE(host.button->isPressedDown());

    QTest::mouseClick(host.window(), Qt::LeftButton, {}, host.on(host.button, {50, 14}));
    EXPECT_EQ(clicks.count(), 1);
    QTest::mouseClick(host.window(), Qt::RightButton, {}, host.on(host.button, {50, 14}));
    EXPECT_EQ(clicks.count(), 1);
    QTest::mouseDClick(host.window(), Qt::LeftButton, {}, host.on(host.button, {50, 14}));
    EXPECT_EQ(clicks.count(), 3) << "a double click is two clicks";
}

TEST(StyledControlsTest, SpaceHeldShowsThePressedLookAndClicksOnceOnRelease) {
    Host host;
    QSignalSpy clicks(host.button, &TJvXPButton::clicked);
    host.button->setFocus();

    sendKey(host.button, QEvent::KeyPress, Qt::Key_Space);
    EXPECT_EQ(pixel(host.shot(), 5, 1), firstRow(Pressed));
    // X11 repeats a held key as release and press pairs.
    for (int i = 0; i < 3; ++i) {
        sendKey(host.button, QEvent::KeyRelease, Qt::Key_Space, true);
        sendKey(host.button, QEvent::KeyPress, Qt::Key_Space, true);
    }
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_TRUE(host.button->isPressedDown());
    sendKey(host.button, QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(host.button->isHot());
    EXPECT_EQ(pixel(host.shot(), 5, 1), firstRow(Focus));

    sendKey(host.button, QEvent::KeyPress, Qt::Key_Return);
    sendKey(host.button, QEvent::KeyPress, Qt::Key_Enter);
    EXPECT_EQ(clicks.count(), 3);

    // Losing the focus while Space is down drops the press without a click.
    sendKey(host.button, QEvent::KeyPress, Qt::Key_Space);
    host.edit->setFocus();
    EXPECT_FALSE(host.button->isPressedDown());
    sendKey(host.button, QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 3);

    // Space with a modifier does not press.
    host.button->setFocus();
    QKeyEvent shifted(QEvent::KeyPress, Qt::Key_Space, Qt::ShiftModifier, QStringLiteral(" "));
    QApplication::sendEvent(host.button, &shifted);
    EXPECT_FALSE(host.button->isPressedDown());
}

TEST(StyledControlsTest, DisabledButtonHasAGreyBorderAndAnEmbossedCaption) {
    Host host;
    host.button->setEnabled(false);
    const QImage shot = host.shot();
    EXPECT_EQ(pixel(shot, 2, 0), TJvXPButton::DisabledColor);
    EXPECT_EQ(pixel(shot, 1, 0), TJvXPButton::DisabledColor);
    const QColor shadow = host.button->palette().color(QPalette::Dark);
    const QColor light = host.button->palette().color(QPalette::Light);
    bool sawShadow = false, sawLight = false;
    for (int y = 2; y < 26; ++y) {
        for (int x = 2; x < 104; ++x) {
            sawShadow |= pixel(shot, x, y) == shadow;
            sawLight |= pixel(shot, x, y) == light && pixel(shot, x - 1, y - 1) == shadow;
        }
    }
    EXPECT_TRUE(sawShadow);
    EXPECT_TRUE(sawLight) << "the light copy lies one pixel right and down";
}

TEST(StyledControlsTest, ImageButtonRisesUnderThePointerClicksOnceAndNeverTakesTheFocus) {
    Host host;
    const QPixmap picture = codedPicture(50);
    const QImage source = picture.toImage();
    host.image->setGlyph(picture);
    QSignalSpy clicks(host.image, &TtfXPButton::clicked);

    QImage shot = host.image->grab().toImage();
    EXPECT_EQ(pixel(shot, 0, 10), host.image->palette().color(QPalette::Button));
    EXPECT_EQ(pixel(shot, 10, 0), host.image->palette().color(QPalette::Button));
    EXPECT_EQ(pixel(shot, 10, 10), pixel(source, 9, 9));

    const QPoint middle = host.on(host.image, {25, 25});
    QTest::mouseMove(host.window(), middle);
    ASSERT_TRUE(host.image->isHot());
    shot = host.image->grab().toImage();
    EXPECT_EQ(pixel(shot, 0, 0), TtfXPButton::BorderColor);
    EXPECT_EQ(pixel(shot, 49, 30), TtfXPButton::BorderColor);
    EXPECT_EQ(pixel(shot, 10, 10), pixel(source, 10, 10));

    QTest::mousePress(host.window(), Qt::LeftButton, {}, middle);
    shot = host.image->grab().toImage();
    EXPECT_EQ(pixel(shot, 10, 10), pixel(source, 9, 9));
    EXPECT_EQ(pixel(shot, 0, 0), TtfXPButton::BorderColor);
    QTest::mouseRelease(host.window(), Qt::LeftButton, {}, middle);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_TRUE(host.edit->hasFocus());

    QTest::mouseDClick(host.window(), Qt::LeftButton, {}, middle);
    EXPECT_EQ(clicks.count(), 2) << "a double click is one click";
    QTest::mouseClick(host.window(), Qt::LeftButton, {}, middle);
    EXPECT_EQ(clicks.count(), 3);
    QTest::mouseClick(host.window(), Qt::RightButton, {}, middle);
    EXPECT_EQ(clicks.count(), 3);
    // Pressed, moved off and released: no click.
    QTest::mousePress(host.window(), Qt::LeftButton, {}, middle);
    QTest::mouseRelease(host.window(), Qt::LeftButton, {}, {290, 90});
    EXPECT_EQ(clicks.count(), 3);
    EXPECT_FALSE(host.image->isPressed());

    EXPECT_TRUE(host.edit->hasFocus());
    EXPECT_EQ(host.image->focusPolicy(), Qt::NoFocus);

    // It tracks the pointer: a move with no button held lights it even when
    // no enter event came first (it appeared under a resting pointer).
    QTest::mouseMove(host.window(), {290, 90});
    ASSERT_FALSE(host.image->isHot());
    QMouseEvent move(QEvent::MouseMove, QPointF(5, 5), host.image->mapToGlobal(QPointF(5, 5)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(host.image, &move);
    EXPECT_TRUE(host.image->isHot());
}

TEST(StyledControlsTest, ImageButtonShowsTheSilhouetteOfASmallerPictureAsItsShadow) {
    Host host;
    QImage picture(20, 20, QImage::Format_RGB32);
    picture.fill(Qt::white);
    picture.setPixel(19, 19, qRgb(200, 0, 0));
    host.image->setGlyph(QPixmap::fromImage(picture));
    // At rest the picture stands at (16, 16) and covers its own shadow.
    QImage shot = host.image->grab().toImage();
    EXPECT_EQ(pixel(shot, 35, 35), QColor(200, 0, 0));
    EXPECT_EQ(pixel(shot, 36, 36), host.image->palette().color(QPalette::Button));

    QTest::mouseMove(host.window(), host.on(host.image, {25, 25}));
    shot = host.image->grab().toImage();
    EXPECT_EQ(pixel(shot, 34, 34), QColor(200, 0, 0));
    EXPECT_EQ(pixel(shot, 35, 35), TtfXPButton::ShadowColor);
    // White pixels cast no shadow.
    EXPECT_EQ(pixel(shot, 34, 20), QColor(Qt::white));
    EXPECT_EQ(pixel(shot, 35, 21), TtfXPButton::BackHiColor);

    // A new picture brings its own shadow.
    picture.fill(Qt::white);
    picture.setPixel(19, 0, qRgb(0, 0, 200));
    host.image->setGlyph(QPixmap::fromImage(picture));
    shot = host.image->grab().toImage();
    EXPECT_EQ(pixel(shot, 34, 15), QColor(0, 0, 200));
    EXPECT_EQ(pixel(shot, 35, 16), TtfXPButton::ShadowColor);
    EXPECT_EQ(pixel(shot, 35, 35), TtfXPButton::BackHiColor);
}

TEST(StyledControlsTest, PanelFillsWithItsColourAndDrawsOnlyTheNamedBoundLines) {
    TJvXPContainer outer;
    outer.setColor(Panel);
    outer.resize(60, 40);
    auto* inner = new TJvXPContainer(&outer);
    inner->setGeometry(10, 10, 30, 20);
    EXPECT_EQ(inner->color(), Panel) << "a panel without a colour shows its parent's";
    EXPECT_EQ(inner->focusPolicy(), Qt::NoFocus);

    outer.setBoundLines(TJvXPContainer::blLeft | TJvXPContainer::blBottom);
    QImage shot = outer.grab().toImage();
    const QColor line(128, 128, 128);
    EXPECT_EQ(pixel(shot, 0, 5), line);
    EXPECT_EQ(pixel(shot, 30, 39), line);
    EXPECT_EQ(pixel(shot, 59, 5), Panel);
    EXPECT_EQ(pixel(shot, 30, 0), Panel);
    EXPECT_EQ(pixel(shot, 20, 20), Panel);

    outer.setShowBoundLines(false);
    shot = outer.grab().toImage();
    EXPECT_EQ(pixel(shot, 0, 5), Panel);
}
