#include "app/TmeslekanaF.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>

#include "app/WindowAnnouncements.h"
#include "app/WindowSearchInputs.h"
#include "commands/CopyCommands.h"
#include "data/Connection.h"
#include "data/ConnectionSettings.h"
#include "data/OccupationRecordSet.h"
#include "grid/OccupationGrid.h"
#include "help/TyardimF.h"
#include "search/SearchCommands.h"
#include "web/Browser.h"
#include "web/PageViewPanel.h"
#include "widgets/Accessibility.h"
#include "widgets/Application.h"
#include "widgets/FailureReporter.h"
#include "widgets/TJvXPButton.h"
#include "widgets/TtfXPButton.h"

ConnectionFactory defaultConnectionFactory() {
    return [] { return std::make_unique<Connection>(); };
}

TmeslekanaF::TmeslekanaF(FailureReporter& reporter, const ConnectionFactory& connectionFactory,
                         QWidget* parent)
    : TmeslekanaF(reporter, connectionFactory, WebSide{}, parent) {}

TmeslekanaF::TmeslekanaF(FailureReporter& reporter, const ConnectionFactory& connectionFactory,
                         const WebSide& web, QWidget* parent)
    : QMainWindow(parent),
      reporter_(reporter),
      desktopBrowser_(web.browser ? std::unique_ptr<Browser>()
                                  : std::make_unique<DesktopBrowser>()),
      browser_(web.browser ? web.browser : desktopBrowser_.get()),
      web_(web.profile ? *web.profile : WebProfile::builtIn()),
      webPanelFactory_(web.panel        ? web.panel
                       : web_.hasSite() ? blankWebPanelFactory()
                                        : pageViewPanelFactory()) {
    setObjectName(QStringLiteral("meslekanaF"));
    setWindowTitle(QStringLiteral("Tresvoli Hızlı Arama Programı"));
    // The normal (not maximized) geometry stands at the centre of the screen.
    resize(940, 500);
    if (const QScreen* shownOn = screen()) {
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                        shownOn->availableGeometry()));
    }

    // The non-visual parts come first: the grid and the commands need them.
    ADOConnection1 = connectionFactory();
    ConnectionSettings::applyTo(*ADOConnection1);

    meslekkoduQuery = std::make_unique<OccupationRecordSet>(*ADOConnection1);
    meslekkoduQuery->setLoading(true);
    meslekkoduQuery->setSql({ConnectionSettings::startupStatement()});
    meslekkoduQuery->setFailureReport(
        [this](const Exception&) { reporter_.ReportFailure(this, std::current_exception()); });

    buildLayout();
    inputs_ = std::make_unique<WindowSearchInputs>(Edit1, Edit3, RadioButton2, CheckBox1);
    // The commands install their filter predicate on the record set.
    commands_ = std::make_unique<SearchCommands>(*meslekkoduQuery, *inputs_);
    copyCommands_ = std::make_unique<CopyCommands>(*meslekkoduQuery, *Edit2, reporter_.boxes());
    announcements_ = std::make_unique<WindowAnnouncements>(
        findChild<QWidget*>(QStringLiteral("JvXPContainer3")), meslekkoduGrid, *meslekkoduQuery);
    copyCommands_->setCopiedListener([this](const QString& text) { announcements_->copied(text); });
    buildPopupMenu();
    connectCommands();
    connectHelp();
    meslekkoduQuery->setLoading(false);

    loadConnection();
    FormCreate();

    // The closing steps run once, when the program really ends: at this
    // window's close, or when the application quits at the session's end. A
    // session save alone (commitDataRequest) runs none of them, so a log-off
    // that is cancelled leaves them to do.
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
            [this] { programEnding(); });
}

// The widgets observe the record set and call the commands, so they go first;
// left to QWidget they would outlive the members they use.
TmeslekanaF::~TmeslekanaF() {
    delete PopupMenu1;
    delete takeCentralWidget();
}

void TmeslekanaF::connectCommands() {
    SearchCommands& commands = *commands_;
    auto autoSearch = guarded(reporter_, Edit1, [this, &commands] {
        commands.autoSearch();
        announceShownRows(true);
    });
    connect(Edit1, &QLineEdit::textEdited, this, autoSearch);
    connect(Edit1, &QLineEdit::returnPressed, this, autoSearch);
    connect(Edit3, &QLineEdit::textEdited, this, autoSearch);
    connect(Edit3, &QLineEdit::returnPressed, this, autoSearch);
    connect(JvXPButton1, &TJvXPButton::clicked, this,
            guarded(reporter_, JvXPButton1, [this, &commands] {
                commands.search();
                announceShownRows();
            }));
    connect(JvXPButton3, &TJvXPButton::clicked, this,
            guarded(reporter_, JvXPButton3, [this, &commands] {
                commands.newSearch();
                announceShownRows();
            }));
    connect(JvXPButton4, &TJvXPButton::clicked, this,
            guarded(reporter_, JvXPButton4, [this] { copyCommands_->copyCode(); }));
    connect(meslekkoduGrid, &OccupationGrid::popupMenuRequested, this,
            guarded(reporter_, meslekkoduGrid,
                    [this](const QPoint& globalPos) { PopupMenu1->popup(globalPos); }));
    connect(RadioButton1, &QRadioButton::toggled, this,
            guarded(reporter_, RadioButton1, [this, &commands](bool checked) {
                if (!checked) return;
                commands.andChosen();
                announceShownRows();
            }));
    connect(RadioButton2, &QRadioButton::toggled, this,
            guarded(reporter_, RadioButton2, [this, &commands](bool checked) {
                if (!checked) return;
                commands.orChosen();
                announceShownRows();
            }));
    connect(Image1, &LinkLabel::activated, this,
            guarded(reporter_, Image1, [this] { Image1Click(); }));
    connect(Label2, &LinkLabel::activated, this,
            guarded(reporter_, Label2, [this] { Label2Click(); }));
}

void TmeslekanaF::setHelpWindow(TyardimF* helpWindow) { helpWindow_ = helpWindow; }

void TmeslekanaF::announceShownRows(bool whileTyping) {
    announcements_->shownRows(focusWidget(), whileTyping);
}

void TmeslekanaF::connectHelp() {
    connect(tfXPButton1, &TtfXPButton::clicked, this,
            guarded(reporter_, tfXPButton1, [this] { tfXPButton1Click(); }));
}

// The window first shows the text of the previous load, then the file's text
// as it is now.
void TmeslekanaF::tfXPButton1Click() {
    if (!helpWindow_) return;
    helpWindow_->Show();
    helpWindow_->loadHelpFile();
}

void TmeslekanaF::searchFor(const QStringList& terms) {
    Edit1->setText(terms.value(0));
    Edit3->setText(terms.value(1));
    guarded(reporter_, Edit1, [this] {
        commands_->search();
        announceShownRows();
    })();
}

void TmeslekanaF::bringToFront() {
    if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

// The connection is marked to connect as soon as the layout is loaded; a
// failure is reported and loading goes on with the connection closed.
void TmeslekanaF::loadConnection() {
    try {
        ADOConnection1->open();
    } catch (...) {
        reporter_.ReportFailure(this);
    }
}

void TmeslekanaF::FormCreate() {
    try {
        meslekkoduQuery->open();
        WebBrowser2->navigate(web_.panelPage());
    } catch (...) {
        reporter_.ReportFailure(this);
    }
}

// The closing page first (a program without a site has none), then the record
// set (later commands open it anew), then the panel. A failure on the way
// leaves the steps before it done.
bool TmeslekanaF::FormCloseQuery() {
    openInBrowser(web_.closingPage());
    meslekkoduQuery->close();
    WebBrowser2->stop();
    return true;
}

bool TmeslekanaF::closeRequest() {
    if (closeGranted_) return true;
    bool canClose = false;
    try {
        canClose = FormCloseQuery();
    } catch (...) {
        reporter_.ReportFailure(this);
    }
    closeGranted_ = canClose;
    return canClose;
}

bool TmeslekanaF::programEnding() { return closeRequest(); }

void TmeslekanaF::closeEvent(QCloseEvent* event) {
    if (closeRequest()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void TmeslekanaF::Image1Click() { openInBrowser(web_.bannerAddress()); }

void TmeslekanaF::Label2Click() { openInBrowser(web_.labelAddress()); }

void TmeslekanaF::openInBrowser(const QUrl& address) {
    if (!address.isEmpty()) browser_->open(address);
}

// A click on the banner or the label: a left press and its release, both in
// the area.
bool TmeslekanaF::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == Image1 || watched == Label2) && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const auto* area = static_cast<QWidget*>(watched);
        if (mouse->button() == Qt::LeftButton &&
            area->rect().contains(mouse->position().toPoint())) {
            guardEvent(this, [&] {
                if (watched == Image1) {
                    Image1Click();
                } else {
                    Label2Click();
                }
            });
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
