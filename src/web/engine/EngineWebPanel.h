#pragma once

#include <QUrl>

#include "web/WebPanel.h"

class QWebEngineView;

// The web panel served by Qt WebEngine. Starting the engine blocks the
// interface thread for a while, so the view is built only after the panel's
// first paint, one step per event, and a start page asked for earlier is
// loaded then. A stop before that drops the pending page: nothing is loading.
class EngineWebPanel : public WebPanel {
    Q_OBJECT
public:
    explicit EngineWebPanel(QWidget* parent = nullptr);

    void navigate(const QUrl& address) override;
    void stop() override;

    // Null until the engine has started.
    QWebEngineView* view() const { return view_; }

signals:
    // The view's own report of a finished (ok) or failed or stopped load.
    void loadFinished(bool ok);
    // The view exists and has been handed the pending page, if any.
    void engineStarted();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void startEngine();
    void buildView();

    QWebEngineView* view_ = nullptr;  // a child of the panel
    QUrl pending_;
    bool startScheduled_ = false;
};
