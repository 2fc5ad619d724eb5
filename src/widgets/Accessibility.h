#pragma once

#include <QLabel>

#include <deque>

class QAccessibleEvent;
class QAccessibleInterface;

// Assistive technology (a screen reader through AT-SPI) sees the window's
// self-painted controls through interfaces of our own: the styled buttons and
// the image button as push buttons, the styled panels and the web panel as
// panels that leave hidden children out, the banner and the information label
// as links. The application's own interface lists only the windows that are
// shown (toolkits make hidden windows of their own, for offscreen drawing).
// The application installs this factory once, before any window exists; the
// result grid installs its own for itself (grid/GridAccessible.h).
void installAccessibleFactory();

// Keeps a control that is never shown out of what assistive technology sees:
// it has no place in the tree, and its caret, selection and text changes are
// not passed on (a hidden box that carries text to the clipboard would
// otherwise be heard selecting it).
void keepOutOfAccessibleTree(QWidget* widget);

// Whether anybody listens to accessibility events: a screen reader through
// the platform, or a watcher (tests). Work done only for listeners (counting
// the shown list, events for cells) is skipped otherwise.
bool accessibilityListening();

// Hands an event of ours to assistive technology, and to the watcher if one
// is set. Qt passes events on only while a platform bridge is active, which
// the off-screen platform of the tests never is: they watch here.
void notifyAccessible(QAccessibleEvent* event);
using AccessibleEventWatcher = void (*)(QAccessibleEvent* event);
// Returns the watcher it replaces; null stops watching.
AccessibleEventWatcher setAccessibleEventWatcher(AccessibleEventWatcher watcher);

// A spoken notice without a widget: a notification object at the end of a
// panel's children whose text assistive technology speaks each time it is
// shown. Nothing is drawn. (Qt 6.4 has no announcement event, and its AT-SPI
// bridge sends name and description changes without their text.)
//
// A screen reader busy speaking reads a notice some time after it was shown,
// when newer ones may have come: the last KeptNotices notices stay readable
// with their own text, though only the newest is the panel's child.
class AccessibleNotice {
public:
    static constexpr int KeptNotices = 32;

    explicit AccessibleNotice(QWidget* panel);
    ~AccessibleNotice();
    AccessibleNotice(const AccessibleNotice&) = delete;
    AccessibleNotice& operator=(const AccessibleNotice&) = delete;

    // Shows a new notice with the text, so that it is spoken; the same text
    // again only when `repeat` is set.
    void announce(const QString& text, bool repeat = true);
    QAccessibleInterface* accessible() const;

private:
    QWidget* panel_;
    unsigned id_;
    std::deque<unsigned> earlier_;  // the notices before the newest, oldest first
};

// A label that a click opens something with; assistive technology sees a link
// that it can press. The window handles the mouse and connects `activated`.
class LinkLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    // What pressing the link through assistive technology does.
    void activate() { emit activated(); }

signals:
    void activated();
};
