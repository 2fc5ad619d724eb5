#pragma once

#include <QColor>
#include <QImage>
#include "widgets/HoverPressButton.h"
#include "widgets/WindowsTextMetrics.h"

// The window's command button: a rounded, dark blue border around a white to
// light grey face, an orange ring while the pointer is over it, a blue ring
// while it has the keyboard focus, a darker face with the caption moved one
// pixel while it is held down under the pointer. It paints every pixel itself
// and does not follow the platform's style.
//
// Its state is three flags: hot (the pointer is over it, or the space bar
// holds it down), pressed-down (the left mouse button or the space bar went
// down on it and has not come up) and focused. Painting only reads them.
//
// Clicks: a left press and release inside the button; a double click counts
// as two clicks. Space shows the pressed look while held and clicks when any
// key comes up; Enter clicks at once. Losing the focus drops the pressed look
// without a click. The click is announced while the pressed look still shows.
class TJvXPButton : public HoverPressButton {
    Q_OBJECT
public:
    explicit TJvXPButton(QWidget* parent = nullptr);
    TJvXPButton(const QString& caption, QWidget* parent);

    QString text() const { return caption_; }
    void setText(const QString& caption);

    bool isFocused() const { return focused_; }
    // Whether a ring shows inside the border: held down with the pointer off
    // the button, or at rest under the pointer or with the focus.
    bool isRinged() const;

    // The colour of the corners outside the border: the panel's colour,
    // taken from the palette the button inherits from its parent.
    QColor color() const { return palette().color(QPalette::Window); }

    // Top and bottom colours of the four faces.
    static constexpr QColor BackgroundTop{255, 255, 255};
    static constexpr QColor BackgroundBottom{239, 235, 231};
    static constexpr QColor PressedTop{214, 207, 198};
    static constexpr QColor PressedBottom{247, 243, 235};
    static constexpr QColor FocusRingTop{206, 231, 255};
    static constexpr QColor FocusRingBottom{109, 132, 239};
    static constexpr QColor HotRingTop{255, 243, 206};
    static constexpr QColor HotRingBottom{231, 150, 0};
    // The border and the corner lines; both grey while disabled.
    static constexpr QColor BorderColor{0, 56, 115};
    static constexpr QColor CornerColor{123, 158, 173};
    static constexpr QColor DisabledColor{206, 199, 189};

    QSize sizeHint() const override { return {73, 21}; }

protected:
    void paintButton(QPainter& painter) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void buildImages();
    void paintFace(QPainter& painter) const;
    void paintCaption(QPainter& painter) const;

    QString caption_;
    // The font's Windows metrics, read from its tables when the font changes
    // rather than on every paint.
    WindowsTextMetrics textMetrics_;
    bool focused_ = false;

    QImage background_;
    QImage pressed_;
    QImage focusRing_;
    QImage hotRing_;
};
