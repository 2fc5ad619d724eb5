#pragma once

#include <QTextEdit>

class QAction;
class QMenu;
class QTextDocument;

// The help window's read-only rich-text view (`RichEdit1`).
//
// Silver, Arial 8 pt (Liberation Sans on Debian), word-wrapped with a vertical
// scroll bar only when needed. A selection stays highlighted without the focus.
// The view takes Tab and Shift+Tab for itself, so they never move the focus.
// A strip at its left edge (the selection bar) selects the line beside a
// click. Web addresses are shown as links, and clicking one does nothing: a
// QTextBrowser would follow it and empty the view.
//
// Its right-click menu holds Undo, Cut, Copy, Paste, Delete and Select All
// with Qt's own (translated) captions, enabled afresh at every opening.
//
// Pictures are shown from the document's own resources only: a name in a
// help file never makes the view read a file of the machine.
class HelpView : public QTextEdit {
    Q_OBJECT
public:
    static constexpr int SelectionBarWidth = 8;

    explicit HelpView(QWidget* parent = nullptr);

    // Replaces the whole content with what the help file's bytes show, marks
    // the web addresses in it and puts the caret at the start, scrolled there.
    void load(const QByteArray& bytes);

    QMenu* editMenu() const { return menu_; }
    QWidget* selectionBar() const { return selectionBar_; }

    // Selects the visual line at height `y` of the viewport, its line break
    // included.
    void selectLineAt(int y);

    QVariant loadResource(int type, const QUrl& name) override;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildMenu();
    void enableMenu();
    void placeSelectionBar();

    QWidget* selectionBar_ = nullptr;
    QMenu* menu_ = nullptr;
    QAction* undo_ = nullptr;
    QAction* cut_ = nullptr;
    QAction* copy_ = nullptr;
    QAction* paste_ = nullptr;
    QAction* delete_ = nullptr;
    QAction* selectAll_ = nullptr;
};
