#include "help/TyardimF.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QWindow>

#include "help/HelpView.h"
#include "widgets/FailureReporter.h"
#include "widgets/PanelStatusBar.h"

namespace {

// The client area at the design size: the view (862 by 450) above the bar.
constexpr int ClientWidth = 862;
constexpr int ViewHeight = 450;
constexpr int StatusBarHeight = 19;

}  // namespace

TyardimF::TyardimF(FailureReporter& reporter, QWidget* parent)
    : TyardimF(reporter, WebProfile::builtIn(), parent) {}

TyardimF::TyardimF(FailureReporter& reporter, const WebProfile& web, QWidget* parent)
    : QWidget(parent, Qt::Window), reporter_(reporter) {
    setObjectName(QStringLiteral("yardimF"));
    setWindowTitle(QStringLiteral("Dermansa - Yardım"));
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    // The program ends with its main window, whatever this one shows.
    setAttribute(Qt::WA_QuitOnClose, false);

    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    RichEdit1 = new HelpView(this);
    RichEdit1->setAccessibleName(QStringLiteral("Yardım metni"));
    rows->addWidget(RichEdit1, 1);
    auto* bar = new PanelStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setFixedHeight(StatusBarHeight);
    bar->addPanel(20, QString());
    bar->addPanel(300, web.makerNotice());
    bar->addPanel(300, web.siteNotice());
    StatusBar1 = bar;
    rows->addWidget(StatusBar1);
    resize(ClientWidth, ViewHeight + StatusBarHeight);

    FormCreate();
}

void TyardimF::Show() {
    if (!isVisible()) {
        if (!placed_) placeCentred();
        placed_ = true;
        setVisible(true);
    }
    // A minimized window is neither raised nor activated: some window managers
    // (matchbox) restore a window that asks to be raised.
    if (windowState() & Qt::WindowMinimized) return;
    raise();
    activateWindow();
}

void TyardimF::loadHelpFile() {
    const std::optional<QByteArray> bytes = readHelpFile(QStringLiteral("yardim"), opener_);
    if (bytes) RichEdit1->load(*bytes);
}

void TyardimF::FormCreate() {
    try {
        loadHelpFile();
    } catch (...) {
        reporter_.ReportFailure(this);
    }
}

// Centred on the rectangle spanning every screen, measured from the primary
// screen's top-left corner; the halves round toward zero.
void TyardimF::placeCentred() {
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (!primary) return;
    const QSize desktop = primary->virtualGeometry().size();
    // The frame is known once the platform window exists (under X11 only
    // after the window manager framed it: until then the client size serves).
    create();
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    const QSize outer = size().grownBy(frame);
    move(primary->geometry().topLeft() +
         QPoint((desktop.width() - outer.width()) / 2, (desktop.height() - outer.height()) / 2));
}
