#include "app/TmeslekanaF.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include "commands/CopyCommands.h"
#include "data/Connection.h"
#include "data/ConnectionSettings.h"
#include "data/OccupationRecordSet.h"
#include "grid/OccupationGrid.h"
#include "grid/TfrmSelectColumn.h"
#include "help/TyardimF.h"
#include "search/SearchCommands.h"
#include "web/Browser.h"
#include "web/PageViewPanel.h"
#include "widgets/Accessibility.h"
#include "widgets/Application.h"
#include "widgets/FailureReporter.h"
#include "widgets/PanelStatusBar.h"
#include "widgets/TJvXPButton.h"
#include "widgets/TJvXPContainer.h"
#include "widgets/TtfXPButton.h"

namespace {

const QColor PanelColour(106, 179, 232);

QFont tahoma(int points, bool bold = false) {
    QFont font(QStringLiteral("Tahoma"), points);
    font.setBold(bold);
    return font;
}

// A styled panel; without a colour of its own it shows its parent's.
TJvXPContainer* panel(const QString& name, const QColor& colour = QColor(),
                      QWidget* parent = nullptr) {
    auto* container = new TJvXPContainer(parent);
    container->setObjectName(name);
    if (colour.isValid()) container->setColor(colour);
    return container;
}

// A box's first focus from the keyboard selects its text, and the first
// selection also moves the caret from "nowhere" to 0: both are told to
// assistive technology before the focus is, and a screen reader that follows
// the caret then takes the focus event for one it already had and says
// nothing. Selecting now, while nobody listens to the box, leaves its first
// focus as quiet as every later one, so the focus event is the first.
void primeCaret(QLineEdit* box) { box->selectAll(); }

TJvXPButton* commandButton(const QString& name, const QString& caption, QWidget* parent) {
    auto* button = new TJvXPButton(caption, parent);
    button->setObjectName(name);
    button->setFont(tahoma(12, true));
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

}  // namespace

// The search boxes, radio buttons and check box as the search commands read them.
class WindowSearchInputs : public SearchInputs {
public:
    WindowSearchInputs(QLineEdit* term1, QLineEdit* term2, QRadioButton* orButton,
                       QCheckBox* autoSearch)
        : term1_(term1), term2_(term2), or_(orButton), auto_(autoSearch) {}

    QString term1() const override { return term1_->text(); }
    QString term2() const override { return term2_->text(); }
    bool orChosen() const override { return or_->isChecked(); }
    bool autoSearchChecked() const override { return auto_->isChecked(); }
    void clearTerms() override {
        term1_->clear();
        term2_->clear();
    }

private:
    QLineEdit* term1_;
    QLineEdit* term2_;
    QRadioButton* or_;
    QCheckBox* auto_;
};

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
    setFont(tahoma(8));
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
    copyCommands_->setCopiedListener([this](const QString& text) { announceCopied(text); });
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

void TmeslekanaF::buildLayout() {
    auto* central = new QWidget(this);
    auto* rows = new QVBoxLayout(central);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    rows->addWidget(buildTopBand());
    rows->addWidget(buildLowerArea(), 1);
    setCentralWidget(central);
    buildStatusBar();
    setTabOrder();
}

QWidget* TmeslekanaF::buildTopBand() {
    QWidget* band = panel(QStringLiteral("JvXPContainer1"), PanelColour);
    band->setFixedHeight(121);
    auto* columns = new QHBoxLayout(band);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(0);
    columns->addWidget(buildSearchArea());

    QWidget* links = panel(QStringLiteral("JvXPContainer4"));
    auto* linkColumns = new QHBoxLayout(links);
    linkColumns->setContentsMargins(0, 0, 0, 0);
    linkColumns->setSpacing(0);
    auto* banner = Image1 = new LinkLabel(links);
    banner->setObjectName(QStringLiteral("Image1"));
    banner->setAccessibleName(web_.bannerName());
    banner->setFixedWidth(337);
    // The picture stands at its own size from the top-left corner; the band
    // cuts off what does not fit.
    banner->setPixmap(web_.bannerPicture());
    banner->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    banner->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Ignored);
    banner->setCursor(Qt::PointingHandCursor);
    linkColumns->addWidget(banner);
    auto* label2 = Label2 =
        new LinkLabel(QStringLiteral("DETAYLI BİLGİ İÇİN YAZIYA TIKLAYIN"), links);
    label2->setObjectName(QStringLiteral("Label2"));
    label2->setAccessibleName(QStringLiteral("Detaylı bilgi sayfasını aç"));
    QFont labelFont = tahoma(16, true);
    label2->setFont(labelFont);
    label2->setWordWrap(true);
    label2->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    linkColumns->addWidget(label2, 1);
    // A click anywhere in either area counts.
    banner->installEventFilter(this);
    label2->installEventFilter(this);
    columns->addWidget(links, 1);
    return band;
}

QWidget* TmeslekanaF::buildSearchArea() {
    QWidget* area = panel(QStringLiteral("JvXPContainer3"));
    area->setFixedWidth(385);

    Label1 = new QLabel(QStringLiteral("ARANACAK MESLEĞİ GİRİN"), area);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(tahoma(12, true));
    Label1->setGeometry(8, 4, 226, 19);

    Edit1 = new QLineEdit(area);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setAccessibleName(QStringLiteral("Arama terimi 1"));
    Edit1->setFont(tahoma(12));
    Edit1->setGeometry(4, 29, 197, 27);
    // What the box is for, as a screen reader says it: labelled by Label1.
    Label1->setBuddy(Edit1);

    JvXPButton1 = commandButton(QStringLiteral("JvXPButton1"), QStringLiteral("ARA"), area);
    JvXPButton1->setGeometry(206, 28, 106, 28);

    CheckBox1 = new QCheckBox(QStringLiteral("Otomatik Ara"), area);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setFont(tahoma(10, true));
    CheckBox1->setGeometry(264, 10, 129, 17);
    CheckBox1->setChecked(true);

    JvXPButton4 = commandButton(QStringLiteral("JvXPButton4"), QStringLiteral("KOPYALA"), area);
    JvXPButton4->setGeometry(206, 60, 106, 28);

    JvXPButton3 = commandButton(QStringLiteral("JvXPButton3"), QStringLiteral("YENİ ARAMA "), area);
    JvXPButton3->setGeometry(206, 92, 163, 28);

    JvXPButton2 = commandButton(QStringLiteral("JvXPButton2"), QStringLiteral("Sıralı Ara"), area);
    JvXPButton2->setGeometry(340, 92, 29, 28);
    JvXPButton2->hide();

    tfXPButton1 = new TtfXPButton(area);
    tfXPButton1->setObjectName(QStringLiteral("tfXPButton1"));
    tfXPButton1->setGeometry(319, 32, 50, 50);
    tfXPButton1->setCursor(Qt::PointingHandCursor);
    tfXPButton1->setGlyph(QPixmap(QStringLiteral(":/images/help.png")));
    tfXPButton1->setToolTip(QStringLiteral("Yardım"));
    tfXPButton1->setAccessibleName(QStringLiteral("Yardım"));

    RadioButton1 = new QRadioButton(QStringLiteral("VE"), area);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setFont(tahoma(10, true));
    RadioButton1->setGeometry(16, 64, 57, 17);
    RadioButton1->setChecked(true);

    RadioButton2 = new QRadioButton(QStringLiteral("VEYA"), area);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton2->setFont(tahoma(10, true));
    RadioButton2->setGeometry(96, 64, 81, 17);

    Edit3 = new QLineEdit(area);
    Edit3->setObjectName(QStringLiteral("Edit3"));
    Edit3->setAccessibleName(QStringLiteral("Arama terimi 2"));
    Edit3->setFont(tahoma(12));
    Edit3->setGeometry(4, 85, 197, 27);
    primeCaret(Edit1);
    primeCaret(Edit3);

    // Carries copied text to the clipboard; never shown.
    Edit2 = new QLineEdit(area);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->hide();
    keepOutOfAccessibleTree(Edit2);
    return area;
}

QWidget* TmeslekanaF::buildLowerArea() {
    QWidget* lower = panel(QStringLiteral("JvXPContainer2"), PanelColour);
    auto* columns = new QHBoxLayout(lower);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(0);

    meslekkoduGrid = new OccupationGrid(*meslekkoduQuery, lower);
    meslekkoduGrid->setColumnChooserOpener(columnChooserOpener(reporter_.boxes()));
    meslekkoduGrid->setFixedWidth(545);
    meslekkoduGrid->setAccessibleName(QStringLiteral("Meslek listesi"));
    columns->addWidget(meslekkoduGrid);

    QWidget* webSide = panel(QStringLiteral("JvXPContainer5"), PanelColour);
    auto* webRows = new QVBoxLayout(webSide);
    webRows->setContentsMargins(0, 0, 0, 0);
    webRows->setSpacing(0);
    QWidget* hiddenRow = panel(QStringLiteral("JvXPContainer6"), QColor(), webSide);
    hiddenRow->setFixedHeight(28);
    JvXPButton5 = commandButton(QStringLiteral("JvXPButton5"),
                                QStringLiteral("PROGRAM WEB SAYFASINI GİZLE"), hiddenRow);
    hiddenRow->hide();
    webRows->addWidget(hiddenRow);
    WebBrowser2 = webPanelFactory_(webSide);
    WebBrowser2->setObjectName(QStringLiteral("WebBrowser2"));
    WebBrowser2->setAccessibleName(web_.panelName());
    webRows->addWidget(WebBrowser2, 1);
    columns->addWidget(webSide, 1);
    return lower;
}

void TmeslekanaF::buildStatusBar() {
    auto* bar = new PanelStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setFixedHeight(19);
    bar->setSizeGripEnabled(false);
    bar->addPanel(20, QString());
    bar->addPanel(200, web_.makerNotice());
    bar->addPanel(430, web_.siteNotice());
    bar->addPanel(50, QString());
    setStatusBar(bar);
}

// The grid's pop-up menu. Its items are the grid's own actions as well, so
// their shortcuts act while the grid has the focus, and only then: in a search
// box the box's own keys apply.
void TmeslekanaF::buildPopupMenu() {
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    CopyCommands& copy = *copyCommands_;
    SearchCommands& search = *commands_;
    const struct {
        QString caption;
        QKeySequence shortcut;
        std::function<void()> command;
    } items[] = {
        {QStringLiteral("Meslek Kodunu Kopyala"), QKeySequence(Qt::CTRL | Qt::Key_C),
         [&copy] { copy.copyCode(); }},
        {QStringLiteral("Meslek Adını Kopyala"), QKeySequence(Qt::CTRL | Qt::Key_B),
         [&copy] { copy.copyName(); }},
        {QStringLiteral("Meslek Kodu ve Adını Kopyala"), QKeySequence(Qt::CTRL | Qt::Key_T),
         [&copy] { copy.copyCodeAndName(); }},
        {QStringLiteral("Ara"), QKeySequence(),
         [this, &search] {
             search.search();
             announceShownRows();
         }},
        {QStringLiteral("Tümü"), QKeySequence(),
         [this, &search] {
             search.newSearch();
             announceShownRows();
         }},
        {QStringLiteral("Meslek Adı ve Kodu Ne?"), QKeySequence(Qt::Key_F1),
         [&copy] { copy.showCodeAndName(); }},
    };
    for (const auto& item : items) {
        QAction* action = PopupMenu1->addAction(item.caption);
        action->setShortcut(item.shortcut);
        action->setShortcutContext(Qt::WidgetShortcut);
        connect(action, &QAction::triggered, this, guarded(reporter_, action, item.command));
        meslekkoduGrid->addAction(action);
    }
}

void TmeslekanaF::setTabOrder() {
    QWidget* order[] = {Edit1, JvXPButton1, CheckBox1,    JvXPButton3, JvXPButton4,
                        Edit2, Edit3,       RadioButton1, RadioButton2};
    for (std::size_t i = 1; i < std::size(order); ++i) {
        QWidget::setTabOrder(order[i - 1], order[i]);
    }
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

// Nothing on the screen changes: the count is shown as a notice of the search
// area, which screen readers speak at once, and goes to the grid's description
// and to the description of the control the search came from, where it is read
// with the control. The control that carried the last count gives it up, so
// that no old count lingers.
void TmeslekanaF::announceShownRows(bool whileTyping) {
    if (!accessibilityListening()) return;
    const int count = meslekkoduQuery->shownCount();
    const QString text = QStringLiteral("%1 meslek gösteriliyor").arg(count);
    announce(text, !whileTyping);
    meslekkoduGrid->setAccessibleDescription(text);
    QWidget* from = focusWidget();
    if (announcedOn_ && announcedOn_ != from && announcedOn_ != meslekkoduGrid) {
        announcedOn_->setAccessibleDescription(QString());
    }
    announcedOn_ = nullptr;
    if (from == nullptr || from == meslekkoduGrid) return;
    from->setAccessibleDescription(text);
    announcedOn_ = from;
}

void TmeslekanaF::announceCopied(const QString& text) {
    if (!accessibilityListening()) return;
    announce(QStringLiteral("Kopyalandı: ") + text, true);
}

void TmeslekanaF::announce(const QString& text, bool repeat) {
    if (!notice_) {
        notice_ = std::make_unique<AccessibleNotice>(
            findChild<QWidget*>(QStringLiteral("JvXPContainer3")));
    }
    notice_->announce(text, repeat);
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
