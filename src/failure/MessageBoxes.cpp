#include "failure/MessageBoxes.h"

#include <QApplication>
#include <QGuiApplication>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <cstdio>

namespace {

bool haveWidgets() { return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr; }

QMessageBox::Icon toQt(MessageBoxes::Icon icon) {
    switch (icon) {
        case MessageBoxes::Icon::Error:
            return QMessageBox::Critical;
        case MessageBoxes::Icon::Warning:
            return QMessageBox::Warning;
        case MessageBoxes::Icon::Information:
            return QMessageBox::Information;
        case MessageBoxes::Icon::Question:
            return QMessageBox::Question;
        case MessageBoxes::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQt(MessageBoxes::Buttons buttons) {
    switch (buttons) {
        case MessageBoxes::Buttons::OkCancel:
            return QMessageBox::Ok | QMessageBox::Cancel;
        case MessageBoxes::Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case MessageBoxes::Buttons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

// The answer of a box that ends without a button: the refusing one.
int declined(MessageBoxes::Buttons buttons) {
    switch (buttons) {
        case MessageBoxes::Buttons::OkCancel:
            return MessageBoxes::Cancel;
        case MessageBoxes::Buttons::YesNo:
            return MessageBoxes::No;
        case MessageBoxes::Buttons::Ok:
            break;
    }
    return MessageBoxes::Ok;
}

int toResult(int button, MessageBoxes::Buttons buttons) {
    switch (button) {
        case QMessageBox::Ok:
            return MessageBoxes::Ok;
        case QMessageBox::Cancel:
            return MessageBoxes::Cancel;
        case QMessageBox::Yes:
            return MessageBoxes::Yes;
        case QMessageBox::No:
            return MessageBoxes::No;
        default:
            return declined(buttons);
    }
}

// Plain-text boxes break lines at "\n"; a "\r" would show as a glyph.
QString forDisplay(const QString& text) {
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return shown;
}

// Without widgets (a program run before or without its windows) the box's
// text goes to the error output instead.
void writeToErrorOutput(const QString& text, const QString& caption) {
    std::fprintf(stderr, "%s: %s\n", caption.toLocal8Bit().constData(),
                 text.toLocal8Bit().constData());
    std::fflush(stderr);
}

// Disables the program's enabled, visible windows for the life of a box, and
// afterwards gives back what it took: the windows' input, the active window
// and the focus. Runs its undo however the box ends.
class WindowsDisabledForBox {
public:
    WindowsDisabledForBox()
        : active_(QApplication::activeWindow()), focus_(QApplication::focusWidget()) {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isWindow() && window->isVisible() && window->isEnabled()) {
                window->setEnabled(false);
                disabled_.append(window);
            }
        }
    }
    ~WindowsDisabledForBox() {
        for (const QPointer<QWidget>& window : disabled_) {
            if (window) {
                window->setEnabled(true);
            }
        }
        if (active_) {
            active_->activateWindow();
        }
        if (focus_) {
            focus_->setFocus(Qt::OtherFocusReason);
        }
    }
    WindowsDisabledForBox(const WindowsDisabledForBox&) = delete;
    WindowsDisabledForBox& operator=(const WindowsDisabledForBox&) = delete;

    QWidget* activeWindow() const { return active_; }

private:
    QPointer<QWidget> active_;
    QPointer<QWidget> focus_;
    QList<QPointer<QWidget>> disabled_;
};

// A box that stands at the centre of a screen and shows its text as written,
// never as markup. QMessageBox fixes its size only when it is shown, so it is
// placed from its show event, before the platform window appears.
class CentredMessageBox : public QMessageBox {
public:
    CentredMessageBox(QMessageBox::Icon icon, const QString& caption, const QString& text,
                      QMessageBox::StandardButtons buttons, QScreen* screen)
        : QMessageBox(icon, caption, QString(), buttons), screen_(screen) {
        setTextFormat(Qt::PlainText);
        setText(forDisplay(text));
        setWindowModality(Qt::ApplicationModal);
        if (screen) {
            setScreen(screen);
        }
    }

protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        if (screen_) {
            // move() places the frame, where the platform gives one.
            move(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, frameGeometry().size(),
                                     screen_->availableGeometry())
                     .topLeft());
        }
    }

private:
    QPointer<QScreen> screen_;
};

}  // namespace

int WidgetMessageBoxes::applicationMessageBox(const QString& text, const QString& caption,
                                              Icon icon, Buttons buttons) {
    if (!haveWidgets()) {
        writeToErrorOutput(text, caption);
        return buttons == Buttons::YesNo ? Yes : Ok;
    }
    if (answerAtOnce_) {
        return declined(buttons);
    }
    WindowsDisabledForBox disabled;
    QWidget* active = disabled.activeWindow();
    CentredMessageBox box(toQt(icon), caption, text, toQt(buttons),
                          active ? active->screen() : QGuiApplication::primaryScreen());
    return toResult(box.exec(), buttons);
}

void WidgetMessageBoxes::fatalMessageBox(const QString& text, const QString& caption) {
    if (!haveWidgets()) {
        writeToErrorOutput(text, caption);
        return;
    }
    if (answerAtOnce_) {
        return;
    }
    CentredMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok,
                          QGuiApplication::primaryScreen());
    box.exec();
}
