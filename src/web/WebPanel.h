#pragma once

#include <QUrl>
#include <QWidget>

#include <functional>

// The embedded web-page panel as the main window drives it: told once to load
// its start page and, at the close request, to stop loading. Loading happens
// on its own; nothing waits for it. A call the view refuses raises a failure
// of the family.
class WebPanel : public QWidget {
    Q_OBJECT
public:
    explicit WebPanel(QWidget* parent = nullptr);

    virtual void navigate(const QUrl& address) = 0;
    virtual void stop() = 0;
};

// Makes the panel inside its parent; the window calls it while it builds its layout.
using WebPanelFactory = std::function<WebPanel*(QWidget* parent)>;

// A white panel that loads nothing: the panel of a program built for a maker's
// site without the web engine (tests, benchmarks, the sanitizer build). The
// engine's panel lives in a library of its own, web/engine/, which the program
// links when it is built for a site; without a site the panel is a
// PageViewPanel (web/PageViewPanel.h).
class BlankWebPanel : public WebPanel {
    Q_OBJECT
public:
    explicit BlankWebPanel(QWidget* parent = nullptr);

    void navigate(const QUrl&) override {}
    void stop() override {}
};

WebPanelFactory blankWebPanelFactory();
