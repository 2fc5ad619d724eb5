#include "widgets/MessageBoxes.h"

#include <QAbstractButton>
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

// Keeps the active window and the focus of the moment a box opens, and gives
// them back however the box ends. The box itself is application-modal, which
// blocks the input of every other window; the windows are not disabled, so
// they keep their look behind the box.
class ActiveWindowKept {
public:
    ActiveWindowKept()
        : active_(QApplication::activeWindow()), focus_(QApplication::focusWidget()) {}
    ~ActiveWindowKept() {
        if (active_) {
            active_->activateWindow();
        }
        if (focus_) {
            focus_->setFocus(Qt::OtherFocusReason);
        }
    }
    ActiveWindowKept(const ActiveWindowKept&) = delete;
    ActiveWindowKept& operator=(const ActiveWindowKept&) = delete;

    QWidget* activeWindow() const { return active_; }

private:
    QPointer<QWidget> active_;
    QPointer<QWidget> focus_;
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
        // Captions only: some styles put an icon on each standard button.
        for (QAbstractButton* button : this->buttons()) button->setIcon(QIcon());
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
    ActiveWindowKept kept;
    QWidget* active = kept.activeWindow();
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
