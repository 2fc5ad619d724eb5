#include "help/TyardimF.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>
#include <QWindow>

#include "failure/FailureReporter.h"
#include "help/HelpView.h"

namespace {

// The client area at the design size: the view (862 by 450) above the bar.
constexpr int ClientWidth = 862;
constexpr int ViewHeight = 450;
constexpr int StatusBarHeight = 19;

// Panels side by side from the bar's left edge, without the gaps and frames
// QStatusBar gives the widgets handed to it: they live in a row of their own
// that covers the bar, under the size grip.
class PanelStatusBar : public QStatusBar {
public:
    explicit PanelStatusBar(QWidget* parent) : QStatusBar(parent), row_(new QWidget(this)) {
        setObjectName(QStringLiteral("StatusBar1"));
        setFixedHeight(StatusBarHeight);
        auto* panels = new QHBoxLayout(row_);
        panels->setContentsMargins(0, 0, 0, 0);
        panels->setSpacing(0);
        const struct {
            int width;
            QString text;
        } items[] = {{20, QString()},
                     {300, QStringLiteral("Tresvoli Yazılım Hizmetleri")},
                     {300, QStringLiteral("www.tresvoli.com.tr  -  bilgi@tresvoli.com.tr")}};
        for (const auto& item : items) {
            auto* label = new QLabel(item.text, row_);
            label->setTextFormat(Qt::PlainText);
            label->setFixedWidth(item.width);
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            panels->addWidget(label);
        }
        panels->addStretch(1);
        row_->lower();
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QStatusBar::resizeEvent(event);
        row_->setGeometry(rect());
    }

private:
    QWidget* row_;
};

}  // namespace

TyardimF::TyardimF(FailureReporter& reporter, QWidget* parent)
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
    rows->addWidget(RichEdit1, 1);
    StatusBar1 = new PanelStatusBar(this);
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
    raise();
    if (!(windowState() & Qt::WindowMinimized)) activateWindow();
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
