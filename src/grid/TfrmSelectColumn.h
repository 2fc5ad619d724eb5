#pragma once

#include <QDialog>
#include <QSize>
#include <QString>

#include "grid/OccupationGrid.h"

class MessageBoxes;
class QCheckBox;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QWidget;

// The texts the column chooser shows; they replace the dialog's own English
// texts before it is shown.
struct SelectColumnsDialogStrings {
    QString Caption = QStringLiteral("Gösterilecek Kolonları Seç");
    QString RealNamesOption = QStringLiteral("[With the real field name]");
    QString OK = QStringLiteral("&Tamam");
    QString NoSelectionWarning = QStringLiteral("En az bir kolon seçilmelidir");
};

// The column chooser: a small tool window that lists the grid's columns with a
// check mark each, in the record set's field order. OK hides and shows the
// grid's columns in one batch; Escape and every other way of closing change
// nothing. At least one item stays checked: unchecking the last one brings a
// warning box, after which the selected item is checked again.
//
// The list is rebuilt from the grid each time the dialog becomes the active
// window (and when the real-field-name option is clicked), so unconfirmed
// check changes are lost whenever another window, the warning box included,
// has had the activation. The dialog never fails on its own; a closed record
// set simply gives an empty list.
//
// One instance per opening: `columnChooserOpener` makes it, shows it modally
// and destroys it. Tests build it with `makeColumnChooser` and show it
// without `exec()`.
class TfrmSelectColumn : public QDialog {
    Q_OBJECT

public:
    // Sizes in pixels, not scaled with the screen's dots per inch. The window
    // manager adds the frame; these are the client area's.
    static constexpr int ItemHeight = 13;
    static constexpr int Margin = 2;
    static constexpr int PanelHeight = 50;
    static constexpr QSize DesignSize{189, 217};
    // 100 by 140 outside, less a tool window's frame (8 wide, 31 high).
    static constexpr QSize MinimumSize{92, 109};
    // The list grows the window by whole items up to this client height.
    static constexpr int MaximumFitHeight = 400;

    TfrmSelectColumn(OccupationGrid& grid, MessageBoxes& boxes,
                     const SelectColumnsDialogStrings& strings = {}, QWidget* parent = nullptr);

    // False once Escape has been pressed.
    bool notCancelled() const { return notCancelled_; }
    // Whether an item was checked after the last check change (true on an empty list).
    bool oneChecked() const { return oneChecked_; }

    // Closing with Accepted applies the check marks to the grid, unless Escape
    // was pressed or no item is checked.
    void done(int result) override;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void rebuildList();
    void fitHeight();
    void layoutControls();
    void checkChanged();
    void warnNothingChecked();
    void checkSelectedItem();
    void cancelByEscape();
    void applyToGrid();
    bool anyChecked() const;

    OccupationGrid& grid_;
    MessageBoxes& boxes_;
    SelectColumnsDialogStrings strings_;
    QListWidget* clbList;
    QWidget* Panel1;
    QCheckBox* cbWithFieldName;
    QPushButton* ButtonOK;

    bool notCancelled_ = true;
    bool oneChecked_ = true;
    bool rebuilding_ = false;
    bool warningPending_ = false;
    // The warning box took the activation and has not given it back yet: the
    // selected item is checked again after the rebuild that its return brings.
    bool recheckOnActivation_ = false;
    bool active_ = false;
};

// Makes the chooser for `grid`, with the program's texts, as a child window of
// the grid's window, its top-left corner just below the grid's corner cell.
// The caller shows it and deletes it.
TfrmSelectColumn* makeColumnChooser(OccupationGrid& grid, MessageBoxes& boxes);

// The grid's opener: makes the chooser, shows it modally, destroys it.
OccupationGrid::ColumnChooserOpener columnChooserOpener(MessageBoxes& boxes);
