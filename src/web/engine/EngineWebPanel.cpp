#include "web/engine/EngineWebPanel.h"

#include <QOpenGLContext>
#include <QOpenGLWidget>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <QWindow>

EngineWebPanel::EngineWebPanel(QWidget* parent) : WebPanel(parent) {
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    // The view draws through OpenGL. A window whose native window was made
    // for raster drawing trades it for another when such a child arrives, so
    // the window would vanish and reappear after its first paint. A hidden
    // OpenGL widget made now, before the window is shown, has the window
    // made for OpenGL from the start; it never paints.
    // (Where the platform cannot make an OpenGL context, as offscreen, there
    // is no such trade and the widget could not work.)
    if (QOpenGLContext().create()) {
        auto* surfaceKeeper = new QOpenGLWidget(this);
        surfaceKeeper->setObjectName(QStringLiteral("WebBrowser2Surface"));
        surfaceKeeper->hide();
    }
}

void EngineWebPanel::navigate(const QUrl& address) {
    if (view_) {
        view_->load(address);
        return;
    }
    pending_ = address;
}

void EngineWebPanel::stop() {
    if (view_) {
        view_->stop();
        return;
    }
    pending_.clear();
}

void EngineWebPanel::paintEvent(QPaintEvent*) {
    // Blank until the engine paints over it.
    QPainter(this).fillRect(rect(), Qt::white);
    if (startScheduled_) return;
    startScheduled_ = true;
    // After the window's first paint has reached the screen: the engine's
    // own start-up comes first, the view and its page in a later event, so
    // that keys typed meanwhile wait for one step at most.
    // (A zero interval would post the calls as events, which run before any
    // key waiting in the queue: one millisecond makes them timers.)
    QTimer::singleShot(1, this, [this] {
        startEngine();
        QTimer::singleShot(1, this, [this] { buildView(); });
    });
}

void EngineWebPanel::startEngine() { QWebEngineProfile::defaultProfile(); }

void EngineWebPanel::buildView() {
    view_ = new QWebEngineView(this);
    view_->setObjectName(QStringLiteral("WebBrowser2View"));
    connect(view_, &QWebEngineView::loadFinished, this, &EngineWebPanel::loadFinished);
    // A screen reader names the view by the page's title, by the panel's name
    // while there is none.
    view_->setAccessibleName(accessibleName());
    connect(view_, &QWebEngineView::titleChanged, this, [this](const QString& title) {
        view_->setAccessibleName(title.trimmed().isEmpty() ? accessibleName() : title);
    });
    layout()->addWidget(view_);
    if (!pending_.isEmpty()) view_->load(pending_);
    pending_.clear();
    emit engineStarted();
}
