#pragma once

#include <QStatusBar>

class QHBoxLayout;
class QWidget;

// A status bar of fixed panels side by side from its left edge, without gaps.
// QStatusBar spaces out and frames the widgets given to it, so the panels live
// in a row of their own that covers the whole bar, under the size grip. Panel
// texts are shown as plain text.
class PanelStatusBar : public QStatusBar {
public:
    explicit PanelStatusBar(QWidget* parent);

    void addPanel(int width, const QString& text);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* row_;
    QHBoxLayout* panels_;
};
