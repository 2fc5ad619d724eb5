#pragma once

#include <QWidget>

class QPainter;

// What the window's styled buttons share: they light up while the pointer is
// over them (hot), show a pressed look while a mouse button holds them down,
// click when the left button comes up inside them, and paint every pixel
// themselves, on an image at the screen's own resolution.
//
// The two kinds differ in a few rules, which they choose at construction:
// whether only the left button presses them, and whether the second press of
// a double click clicks again.
class HoverPressButton : public QWidget {
    Q_OBJECT
public:
    bool isHot() const { return hot_; }
    bool isPressedDown() const { return pressedDown_; }
    // Clicks without the pressed look: assistive technology pressing the button.
    void click() { emit clicked(); }

signals:
    void clicked();

protected:
    enum class PressedBy { LeftButton, AnyButton };
    enum class DoubleClick { ClicksAgain, ClicksOnce };

    HoverPressButton(PressedBy pressedBy, DoubleClick doubleClick, QWidget* parent);

    // Draws the whole button; `painter` covers rect() at the screen's resolution.
    virtual void paintButton(QPainter& painter) = 0;

    void setHot(bool hot);
    // Both at once, with one repaint.
    void setState(bool hot, bool pressedDown);

    void paintEvent(QPaintEvent* event) final;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool presses(const QMouseEvent* event) const;

    const PressedBy pressedBy_;
    const DoubleClick doubleClick_;
    bool hot_ = false;
    bool pressedDown_ = false;
    // Set by the second press of a double click when that must not click again.
    bool secondOfDoubleClick_ = false;
};
