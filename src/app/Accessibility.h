#pragma once

#include <QLabel>

class QAccessibleEvent;

// Assistive technology (a screen reader through AT-SPI) sees the window's
// self-painted controls through interfaces of our own: the styled buttons and
// the image button as push buttons, the styled panels and the web panel as
// panels that leave hidden children out, the banner and the information label
// as links, the result grid as a table (grid/GridAccessible.h). The
// application installs the factory once, before any window exists.
void installAccessibleFactory();

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
