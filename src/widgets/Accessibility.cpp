#include "widgets/Accessibility.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QWindow>

#include <QHash>
#include <QPointer>

#include <functional>

#include "widgets/TJvXPButton.h"
#include "widgets/TJvXPContainer.h"
#include "widgets/TtfXPButton.h"

namespace {

// The caption as a name: without accelerator ampersands and outer blanks.
QString captionName(const QString& caption) {
    QString name;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) ++i;
        name += caption[i];
    }
    return name.trimmed();
}

// A push button or link drawn by the program: its name, a press action and,
// for the styled button, the pressed state.
class PressableAccessible : public QAccessibleWidget {
public:
    PressableAccessible(QWidget* widget, QAccessible::Role role, std::function<QString()> caption,
                        std::function<void()> press, std::function<bool()> pressed = {})
        : QAccessibleWidget(widget, role),
          caption_(std::move(caption)),
          press_(std::move(press)),
          pressed_(std::move(pressed)) {}

    QString text(QAccessible::Text t) const override {
        QString text = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && text.isEmpty() && caption_) text = captionName(caption_());
        return text;
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        if (pressed_ && pressed_()) state.pressed = true;
        return state;
    }

    QStringList actionNames() const override {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& action) override {
        if (!widget()->isEnabled()) return;
        if (action == pressAction()) {
            press_();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    std::function<QString()> caption_;
    std::function<void()> press_;
    std::function<bool()> pressed_;
};

// The notices, by the panel they belong to.
QHash<const QWidget*, QAccessible::Id>& notices() {
    static QHash<const QWidget*, QAccessible::Id> byPanel;
    return byPanel;
}

QAccessibleInterface* noticeOf(const QWidget* panel) {
    const auto found = notices().constFind(panel);
    return found == notices().constEnd() ? nullptr : QAccessible::accessibleInterface(*found);
}

class NoticeAccessible : public QAccessibleInterface {
public:
    explicit NoticeAccessible(QWidget* panel) : panel_(panel) {}

    bool isValid() const override { return !panel_.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return panel_ ? panel_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return panel_ ? QAccessible::queryAccessibleInterface(panel_.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name ? text_ : QString();
    }
    void setText(QAccessible::Text t, const QString& text) override {
        if (t == QAccessible::Name) text_ = text;
    }
    QRect rect() const override { return QRect(); }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.readOnly = true;
        state.invisible = text_.isEmpty();
        return state;
    }

private:
    QPointer<QWidget> panel_;
    QString text_;
};

// A panel: its children without the hidden ones, which the user can never
// reach, and its notice, if it has one.
class PanelAccessible : public QAccessibleWidget {
public:
    explicit PanelAccessible(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Pane) {}

    int childCount() const override {
        return int(shownChildren().size()) + (noticeOf(widget()) ? 1 : 0);
    }
    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> children = shownChildren();
        if (index == children.size()) return noticeOf(widget());
        if (index < 0 || index >= children.size()) return nullptr;
        return QAccessible::queryAccessibleInterface(children[index]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child == nullptr) return -1;
        const QList<QWidget*> children = shownChildren();
        if (child == noticeOf(widget())) return int(children.size());
        return int(children.indexOf(qobject_cast<QWidget*>(child->object())));
    }

private:
    QList<QWidget*> shownChildren() const {
        QList<QWidget*> shown;
        for (QObject* object : widget()->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            if (child != nullptr && !child->isWindow() && !child->isHidden()) shown << child;
        }
        return shown;
    }
};

const char* const OutOfTreeProperty = "meslekanaOutOfAccessibleTree";

// A control kept out of the tree: no role, no text interface (so the bridge
// passes on none of its text events), no place among its parent's children.
class OutOfTreeAccessible : public QAccessibleWidget {
public:
    explicit OutOfTreeAccessible(QWidget* widget)
        : QAccessibleWidget(widget, QAccessible::NoRole) {}
    // Not valid: the events that name it are dropped before they reach the
    // platform.
    bool isValid() const override { return false; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = true;
        return state;
    }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
};

// The application: its top-level windows as the toolkit lists them, without
// the hidden ones.
class ApplicationAccessible : public QAccessibleApplication {
public:
    int childCount() const override { return int(shownWindows().size()); }
    QAccessibleInterface* child(int index) const override {
        const QList<QAccessibleInterface*> windows = shownWindows();
        return index >= 0 && index < windows.size() ? windows[index] : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return int(shownWindows().indexOf(const_cast<QAccessibleInterface*>(child)));
    }

private:
    QList<QAccessibleInterface*> shownWindows() const {
        QList<QAccessibleInterface*> shown;
        for (int i = 0; i < QAccessibleApplication::childCount(); ++i) {
            QAccessibleInterface* window = QAccessibleApplication::child(i);
            if (window == nullptr) continue;
            const QWindow* platformWindow = window->window();
            if (platformWindow != nullptr && platformWindow->isVisible()) shown << window;
        }
        return shown;
    }
};

QAccessibleInterface* makeAccessible(const QString& className, QObject* object) {
    if (object == QCoreApplication::instance()) return new ApplicationAccessible;
    if (object->property(OutOfTreeProperty).toBool()) {
        return new OutOfTreeAccessible(static_cast<QWidget*>(object));
    }
    if (className == QLatin1String("TJvXPButton")) {
        auto* button = static_cast<TJvXPButton*>(object);
        return new PressableAccessible(
            button, QAccessible::Button, [button] { return button->text(); },
            [button] { button->click(); }, [button] { return button->isPressedDown(); });
    }
    if (className == QLatin1String("TtfXPButton")) {
        auto* button = static_cast<TtfXPButton*>(object);
        return new PressableAccessible(
            button, QAccessible::Button, {}, [button] { button->click(); },
            [button] { return button->isPressed(); });
    }
    if (className == QLatin1String("LinkLabel")) {
        auto* label = static_cast<LinkLabel*>(object);
        return new PressableAccessible(
            label, QAccessible::Link, [label] { return label->text(); },
            [label] { label->activate(); });
    }
    // The web panel (web/WebPanel.h) is a panel too; known here by its name.
    if (className == QLatin1String("TJvXPContainer") || className == QLatin1String("WebPanel")) {
        return new PanelAccessible(static_cast<QWidget*>(object));
    }
    return nullptr;
}

}  // namespace

AccessibleNotice::AccessibleNotice(QWidget* panel)
    : panel_(panel), id_(QAccessible::registerAccessibleInterface(new NoticeAccessible(panel))) {
    notices().insert(panel_, id_);
}

AccessibleNotice::~AccessibleNotice() {
    notices().remove(panel_);
    QAccessible::deleteAccessibleInterface(id_);
    for (const unsigned earlier : earlier_) QAccessible::deleteAccessibleInterface(earlier);
}

QAccessibleInterface* AccessibleNotice::accessible() const {
    return QAccessible::accessibleInterface(id_);
}

void AccessibleNotice::announce(const QString& text, bool repeat) {
    QAccessibleInterface* old = accessible();
    if (old == nullptr || !old->isValid()) return;
    if (!repeat && old->text(QAccessible::Name) == text) return;
    // Each notice is an object never seen before. Screen readers keep the
    // name of an object they have read, and the bridge cannot tell them it
    // changed: a notice renamed in place would be read with its first text.
    auto* notice = new NoticeAccessible(panel_);
    notice->setText(QAccessible::Name, text);
    earlier_.push_back(id_);
    if (earlier_.size() >= KeptNotices) {
        QAccessible::deleteAccessibleInterface(earlier_.front());
        earlier_.pop_front();
    }
    id_ = QAccessible::registerAccessibleInterface(notice);
    notices().insert(panel_, id_);
    QAccessibleEvent shown(notice, QAccessible::ObjectShow);
    notifyAccessible(&shown);
}

void keepOutOfAccessibleTree(QWidget* widget) {
    widget->setProperty(OutOfTreeProperty, true);
    // An interface made before the mark (accessibility already on) goes; the
    // next query makes the inert one.
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(widget);
    if (made != nullptr && made->role() != QAccessible::NoRole) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    }
}

void installAccessibleFactory() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    QAccessible::installFactory(makeAccessible);
}

namespace {
AccessibleEventWatcher eventWatcher = nullptr;
}  // namespace

bool accessibilityListening() { return eventWatcher != nullptr || QAccessible::isActive(); }

void notifyAccessible(QAccessibleEvent* event) {
    if (eventWatcher != nullptr) eventWatcher(event);
    QAccessible::updateAccessibility(event);
}

AccessibleEventWatcher setAccessibleEventWatcher(AccessibleEventWatcher watcher) {
    const AccessibleEventWatcher previous = eventWatcher;
    eventWatcher = watcher;
    return previous;
}
