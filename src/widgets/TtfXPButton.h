#pragma once

#include <QColor>
#include <QImage>
#include <QPixmap>

#include "widgets/HoverPressButton.h"

// A flat button that shows a picture: at rest the picture sits one pixel right
// and down on the button-face colour; under the pointer the face turns light
// blue-grey, the picture rises one pixel over its grey shadow and a dark blue
// frame goes round the button; held down, the picture sinks back.
//
// It never takes the keyboard focus and Tab passes it by. It clicks when the
// left button comes up inside it; a double click is one click.
class TtfXPButton : public HoverPressButton {
    Q_OBJECT
public:
    explicit TtfXPButton(QWidget* parent = nullptr);

    QPixmap glyph() const { return glyph_; }
    void setGlyph(const QPixmap& glyph);

    bool isPressed() const { return isPressedDown(); }

    static constexpr QColor BorderColor{8, 36, 107};
    static constexpr QColor BackHiColor{181, 190, 214};
    static constexpr QColor ShadowColor{132, 130, 132};
    // Pixels the picture rises over its shadow under the pointer.
    static constexpr int ShadowSize = 1;

    QSize sizeHint() const override { return {23, 22}; }

protected:
    void paintButton(QPainter& painter) override;

private:
    QPixmap glyph_;
    // The glyph's shadow, made once for each glyph rather than on every paint.
    QImage shadow_;
};
