#include "grid/TfrmSelectColumn.h"

#include "widgets/Application.h"
#include "widgets/MessageBoxes.h"

#include <QCheckBox>
#include <QEvent>
#include <QFont>
#include <QFrame>
#include <QKeyEvent>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Items are a fixed height, whatever the font measures.
class FixedHeightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        return QSize(QStyledItemDelegate::sizeHint(option, index).width(),
                     TfrmSelectColumn::ItemHeight);
    }
};

// An item's grid column: its position in the grid's column collection.
constexpr int ColumnRole = Qt::UserRole;

// The panel's width at the design size; the OK button keeps its place
// relative to the panel's centre.
constexpr int DesignPanelWidth =
    TfrmSelectColumn::DesignSize.width() - 2 * TfrmSelectColumn::Margin;

}  // namespace

TfrmSelectColumn::TfrmSelectColumn(OccupationGrid& grid, MessageBoxes& boxes,
                                   const SelectColumnsDialogStrings& strings, QWidget* parent)
    : QDialog(parent), grid_(grid), boxes_(boxes), strings_(strings) {
    setObjectName(QStringLiteral("frmSelectColumn"));
    // A tool window on top of everything, with a title bar but no buttons on it.
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                   Qt::WindowTitleHint);
    setFont(QFont(QStringLiteral("MS Sans Serif"), 8));
    setMinimumSize(MinimumSize);

    clbList = new QListWidget(this);
    clbList->setObjectName(QStringLiteral("clbList"));
    clbList->setAccessibleName(QStringLiteral("Gösterilecek kolonlar"));
    clbList->setItemDelegate(new FixedHeightDelegate(clbList));
    clbList->setUniformItemSizes(true);
    clbList->setSelectionMode(QAbstractItemView::SingleSelection);
    clbList->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));

    cbWithFieldName = new QCheckBox(Panel1);
    cbWithFieldName->setObjectName(QStringLiteral("cbWithFieldName"));
    cbWithFieldName->hide();

    ButtonOK = new QPushButton(Panel1);
    ButtonOK->setObjectName(QStringLiteral("ButtonOK"));
    ButtonOK->setDefault(true);

    setTabOrder(cbWithFieldName, ButtonOK);
    setTabOrder(ButtonOK, clbList);

    // Escape closes from anywhere in the dialog, before a control sees it.
    for (QWidget* control : {static_cast<QWidget*>(clbList), static_cast<QWidget*>(cbWithFieldName),
                             static_cast<QWidget*>(ButtonOK)}) {
        control->installEventFilter(this);
    }

    connect(ButtonOK, &QPushButton::clicked, this, [this] { guardEvent(this, [&] { accept(); }); });
    connect(cbWithFieldName, &QCheckBox::clicked, this,
            [this] { guardEvent(this, [&] { rebuildList(); }); });
    connect(clbList, &QListWidget::itemChanged, this,
            [this] { guardEvent(this, [&] { checkChanged(); }); });

    setWindowTitle(strings_.Caption);
    cbWithFieldName->setText(strings_.RealNamesOption);
    ButtonOK->setText(strings_.OK);

    resize(DesignSize);
    layoutControls();
    clbList->setFocus();
}

// ---- the list -----------------------------------------------------------------

void TfrmSelectColumn::rebuildList() {
    QScopedValueRollback<bool> rebuilding(rebuilding_, true);
    clbList->clear();
    bool optionNeeded = false;
    // The record set's fields in their order; each field with a column gets an item.
    const ResultSet* result = grid_.recordSet().result();
    const std::vector<RawColumn> none;
    for (const RawColumn& field : result ? result->columns() : none) {
        int column = -1;
        for (int i = 0; i < grid_.columnCount(); ++i) {
            if (grid_.columnFieldName(i) == field.name) {
                column = i;
                break;
            }
        }
        if (column < 0) continue;
        QString text = grid_.columnTitle(column);
        if (text.compare(field.name, Qt::CaseInsensitive) != 0) {
            optionNeeded = true;
            if (cbWithFieldName->isChecked()) {
                text += QStringLiteral(" [") + field.name + QLatin1Char(']');
            }
        }
        auto* item = new QListWidgetItem(text);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setData(ColumnRole, column);
        // The record set's fields are always visible: the column decides.
        item->setCheckState(grid_.isColumnVisible(column) ? Qt::Checked : Qt::Unchecked);
        clbList->addItem(item);
    }
    // Hidden first and shown when needed, in one step so that its focus stays.
    cbWithFieldName->setVisible(optionNeeded);
    if (clbList->count() > 0) clbList->setCurrentRow(0);
    fitHeight();
}

void TfrmSelectColumn::fitHeight() {
    const int need = clbList->count() * ItemHeight;
    int clientHeight = height();
    if (need < MaximumFitHeight) {
        const int frame = 2 * clbList->frameWidth();
        while (clientHeight - 2 * Margin - PanelHeight - frame < need) clientHeight += ItemHeight;
    } else {
        clientHeight = MaximumFitHeight;
    }
    if (clientHeight != height()) resize(width(), clientHeight);
}

void TfrmSelectColumn::layoutControls() {
    const int innerWidth = width() - 2 * Margin;
    const int innerHeight = height() - 2 * Margin;
    const int listHeight = std::max(0, innerHeight - PanelHeight);
    clbList->setGeometry(Margin, Margin, innerWidth, listHeight);
    Panel1->setGeometry(Margin, Margin + listHeight, innerWidth, PanelHeight);
    // The option box reaches 2 pixels above the panel and stretches with it.
    cbWithFieldName->setGeometry(18, -2, innerWidth - 20, 25);
    ButtonOK->setGeometry(56 + (innerWidth - DesignPanelWidth) / 2, 19, 75, 25);
}

bool TfrmSelectColumn::anyChecked() const {
    for (int i = 0; i < clbList->count(); ++i) {
        if (clbList->item(i)->checkState() == Qt::Checked) return true;
    }
    return false;
}

// ---- check marks ----------------------------------------------------------------

void TfrmSelectColumn::checkChanged() {
    if (rebuilding_) return;
    oneChecked_ = clbList->count() == 0 || anyChecked();
    if (oneChecked_ || warningPending_) return;
    // The warning runs once the toggle is over: its box takes the activation,
    // and the list is rebuilt when the activation comes back.
    warningPending_ = true;
    QMetaObject::invokeMethod(
        this, [this] { guardEvent(this, [&] { warnNothingChecked(); }); }, Qt::QueuedConnection);
}

void TfrmSelectColumn::warnNothingChecked() {
    warningPending_ = false;
    // Checked again meanwhile, or closed: nothing to warn about.
    if (oneChecked_ || !isVisible()) return;
    boxes_.applicationMessageBox(strings_.NoSelectionWarning, QStringLiteral("Warning"),
                                 MessageBoxes::Icon::Warning, MessageBoxes::Buttons::Ok);
    if (active_) {
        checkSelectedItem();
    } else {
        recheckOnActivation_ = true;
    }
}

void TfrmSelectColumn::checkSelectedItem() {
    const QList<QListWidgetItem*> selected = clbList->selectedItems();
    if (selected.isEmpty()) return;
    selected.first()->setCheckState(Qt::Checked);
    oneChecked_ = true;
}

// ---- closing ------------------------------------------------------------------

void TfrmSelectColumn::cancelByEscape() {
    notCancelled_ = false;
    reject();
}

void TfrmSelectColumn::done(int result) {
    if (result == Accepted && notCancelled_ && oneChecked_) {
        guardEvent(this, [&] { applyToGrid(); });
    }
    QDialog::done(result);
}

void TfrmSelectColumn::applyToGrid() {
    std::vector<std::pair<int, bool>> visibility;
    for (int i = 0; i < clbList->count(); ++i) {
        const QListWidgetItem* item = clbList->item(i);
        const int column = item->data(ColumnRole).toInt();
        if (column < 0 || column >= grid_.columnCount()) continue;
        visibility.emplace_back(column, item->checkState() == Qt::Checked);
    }
    grid_.setColumnsVisible(visibility);
}

// ---- events -------------------------------------------------------------------

bool TfrmSelectColumn::event(QEvent* event) {
    const bool handled = QDialog::event(event);
    if (event->type() == QEvent::WindowActivate) {
        guardEvent(this, [&] {
            active_ = true;
            rebuildList();
            if (recheckOnActivation_) {
                recheckOnActivation_ = false;
                checkSelectedItem();
            }
        });
    } else if (event->type() == QEvent::WindowDeactivate) {
        active_ = false;
    }
    return handled;
}

bool TfrmSelectColumn::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        guardEvent(this, [&] { cancelByEscape(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmSelectColumn::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        guardEvent(this, [&] { cancelByEscape(); });
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmSelectColumn::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Also for a window manager that shows the dialog without activating it.
    guardEvent(this, [&] { rebuildList(); });
}

void TfrmSelectColumn::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    guardEvent(this, [&] { layoutControls(); });
}

// ---- opening ------------------------------------------------------------------

TfrmSelectColumn* makeColumnChooser(OccupationGrid& grid, MessageBoxes& boxes) {
    auto* dialog = new TfrmSelectColumn(grid, boxes, SelectColumnsDialogStrings{}, grid.window());
    dialog->move(grid.columnChooserPosition());
    return dialog;
}

OccupationGrid::ColumnChooserOpener columnChooserOpener(MessageBoxes& boxes) {
    return [&boxes](OccupationGrid& grid) {
        // The grid's window owns the dialog too; should it go first, the
        // pointer knows.
        QPointer<TfrmSelectColumn> dialog = makeColumnChooser(grid, boxes);
        dialog->exec();
        delete dialog.data();
    };
}
