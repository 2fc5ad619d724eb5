#pragma once

#include "web/WebPanel.h"

class QTextBrowser;

// The web panel of a program without a maker's site: the program's own page
// (a local file, or the copy built in) in a light read-only rich-text view, so
// the page keeps to the HTML that Qt's rich text draws. It loads at once and
// never from the network; links in the page are not followed. Stopping has
// nothing to end.
class PageViewPanel : public WebPanel {
    Q_OBJECT
public:
    explicit PageViewPanel(QWidget* parent = nullptr);

    void navigate(const QUrl& address) override;
    void stop() override {}

    QTextBrowser* view() const { return view_; }

private:
    QTextBrowser* view_ = nullptr;  // a child of the panel
};

WebPanelFactory pageViewPanelFactory();
