#pragma once

#include <QWidget>

// A plain panel that holds other controls: its rectangle in its colour, with
// optional one-pixel lines along chosen sides and an optional caption. It
// paints itself through an off-screen image and never takes the focus.
//
// Its colour is the palette's window colour. A panel given a colour passes it
// on to its children through the palette; a panel given none shows its
// parent's, so a styled button inside shows the panel's colour in its corners.
class TJvXPContainer : public QWidget {
    Q_OBJECT
public:
    enum BoundLine { blLeft = 0x1, blTop = 0x2, blRight = 0x4, blBottom = 0x8 };
    Q_DECLARE_FLAGS(BoundLines, BoundLine)

    explicit TJvXPContainer(QWidget* parent = nullptr);

    QColor color() const { return palette().color(QPalette::Window); }
    void setColor(const QColor& colour);

    BoundLines boundLines() const { return boundLines_; }
    void setBoundLines(BoundLines lines);
    void setShowBoundLines(bool show);
    void setBoundColor(const QColor& colour);
    void setBorderWidth(int width);
    // The caption is the text drawn when ShowCaption is on; off by default, so
    // a panel named after itself shows no name.
    void setCaption(const QString& caption);
    void setShowCaption(bool show);

    QSize sizeHint() const override { return {185, 41}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    BoundLines boundLines_;
    bool showBoundLines_ = true;
    QColor boundColor_{128, 128, 128};
    int borderWidth_ = 0;
    QString caption_;
    bool showCaption_ = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TJvXPContainer::BoundLines)
