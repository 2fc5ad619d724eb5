#include "help/HelpView.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include "rtf/HelpDocument.h"
#include "widgets/Application.h"

namespace {

const QColor Silver(192, 192, 192);

// The strip at the view's left edge: a click beside a line selects it.
class SelectionBar : public QWidget {
public:
    explicit SelectionBar(HelpView* view) : QWidget(view), view_(view) {
        setObjectName(QStringLiteral("selectionBar"));
        setAutoFillBackground(true);
        setBackgroundRole(QPalette::Base);
        setCursor(Qt::ArrowCursor);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        guardEvent(this, [&] {
            if (event->button() != Qt::LeftButton) return;
            const QPoint inView = mapTo(view_, event->position().toPoint());
            view_->selectLineAt(view_->viewport()->mapFrom(view_, inView).y());
            view_->setFocus(Qt::MouseFocusReason);
        });
    }

    void mouseReleaseEvent(QMouseEvent* event) override { event->accept(); }

private:
    HelpView* view_;
};

// Qt's own caption for an entry of its text edit menu, translated when a
// translation is installed; the built-in caption where Qt has none.
QString menuCaption(const char* qtText, const char* builtIn) {
    const QString translated = QCoreApplication::translate("QWidgetTextControl", qtText);
    if (translated == QLatin1String(qtText)) return QString::fromLatin1(builtIn);
    return translated;
}

}  // namespace

HelpView::HelpView(QWidget* parent) : QTextEdit(parent) {
    setObjectName(QStringLiteral("RichEdit1"));
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard |
                            Qt::LinksAccessibleByMouse);
    setUndoRedoEnabled(false);
    setAcceptRichText(true);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFont(QFont(QStringLiteral("Arial"), 8));

    QPalette colours = palette();
    colours.setColor(QPalette::Base, Silver);
    colours.setColor(QPalette::Text, colours.color(QPalette::WindowText));
    // The selection looks the same with and without the focus.
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText}) {
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    }
    setPalette(colours);

    selectionBar_ = new SelectionBar(this);
    setViewportMargins(SelectionBarWidth, 0, 0, 0);
    placeSelectionBar();
    buildMenu();
}

// The text is built in a document apart from the view and handed over whole:
// the view then lays it out in the background, a screenful first, instead of
// again after every insertion.
void HelpView::load(const QByteArray& bytes) {
    QTextDocument* const previous = document();
    auto* fresh = new QTextDocument(this);           // asks this view for its resources
    fresh->setDefaultFont(previous->defaultFont());  // the view sets the wrapping itself
    loadHelpDocument(bytes, *fresh);                 // leaves nothing to undo
    // The first document belongs to the view's text control, which deletes it
    // on the change; later ones are the view's own.
    const bool ours = previous->parent() == this;
    setDocument(fresh);
    if (ours) delete previous;
    QTextCursor start(document());
    start.movePosition(QTextCursor::Start);
    setTextCursor(start);
    verticalScrollBar()->setValue(0);
    ensureCursorVisible();
}

void HelpView::selectLineAt(int y) {
    QTextCursor cursor = cursorForPosition(QPoint(0, y));
    const QTextBlock block = cursor.block();
    const QTextLayout* layout = block.layout();
    if (!layout) return;
    const QTextLine line = layout->lineForTextPosition(cursor.positionInBlock());
    if (!line.isValid()) return;
    const int start = block.position() + line.textStart();
    int end = start + line.textLength();
    const int blockEnd = block.position() + block.length() - 1;
    if (end >= blockEnd) end = blockEnd + (block.next().isValid() ? 1 : 0);
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

// A resource the document does not hold: Qt would read the file of that name
// (which may be a device that never ends). "data:" addresses carry their bytes
// in the name and are left to Qt.
QVariant HelpView::loadResource(int, const QUrl& name) {
    if (name.scheme().compare(QLatin1String("data"), Qt::CaseInsensitive) == 0) return {};
    return QByteArray();
}

void HelpView::contextMenuEvent(QContextMenuEvent* event) {
    guardEvent(this, [&] {
        enableMenu();
        menu_->popup(event->globalPos());
    });
}

// Tab and Shift+Tab stay with the view: being read-only it inserts nothing.
bool HelpView::focusNextPrevChild(bool) { return false; }

void HelpView::keyPressEvent(QKeyEvent* event) {
    const bool tab = event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab;
    if (tab && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        event->accept();
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void HelpView::resizeEvent(QResizeEvent* event) {
    QTextEdit::resizeEvent(event);
    placeSelectionBar();
}

void HelpView::buildMenu() {
    menu_ = new QMenu(this);
    menu_->setObjectName(QStringLiteral("editMenu"));
    undo_ = menu_->addAction(menuCaption("&Undo", "&Undo"));
    menu_->addSeparator();
    cut_ = menu_->addAction(menuCaption("Cu&t", "Cu&t"));
    copy_ = menu_->addAction(menuCaption("&Copy", "&Copy"));
    paste_ = menu_->addAction(menuCaption("&Paste", "&Paste"));
    delete_ = menu_->addAction(menuCaption("Delete", "&Delete"));
    menu_->addSeparator();
    selectAll_ = menu_->addAction(menuCaption("Select All", "Select &All"));

    const auto guardedSlot = [this](void (HelpView::*slot)()) {
        return [this, slot] { guardEvent(this, [this, slot] { (this->*slot)(); }); };
    };
    connect(undo_, &QAction::triggered, this, guardedSlot(&QTextEdit::undo));
    connect(cut_, &QAction::triggered, this, guardedSlot(&QTextEdit::cut));
    connect(copy_, &QAction::triggered, this, guardedSlot(&QTextEdit::copy));
    connect(paste_, &QAction::triggered, this, guardedSlot(&QTextEdit::paste));
    connect(selectAll_, &QAction::triggered, this, guardedSlot(&QTextEdit::selectAll));
    // Delete is never enabled: the view is read-only.
}

void HelpView::enableMenu() {
    const QTextCursor cursor = textCursor();
    const int length = document()->characterCount() - 1;
    const bool allSelected = cursor.selectionStart() == 0 && cursor.selectionEnd() >= length;
    undo_->setEnabled(document()->isUndoAvailable());
    cut_->setEnabled(false);
    copy_->setEnabled(cursor.hasSelection());
    paste_->setEnabled(false);
    delete_->setEnabled(false);
    selectAll_->setEnabled(length > 0 && !allSelected);
}

void HelpView::placeSelectionBar() {
    const QRect area = viewport()->geometry();
    selectionBar_->setGeometry(area.left() - SelectionBarWidth, area.top(), SelectionBarWidth,
                               area.height());
}
