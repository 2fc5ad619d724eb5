// The main window's parts at their fixed places and sizes, its pop-up menu
// and its tab order.
#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/TmeslekanaF.h"
#include "commands/CopyCommands.h"
#include "grid/OccupationGrid.h"
#include "grid/TfrmSelectColumn.h"
#include "search/SearchCommands.h"
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

void TmeslekanaF::buildLayout() {
    setFont(tahoma(8));
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
