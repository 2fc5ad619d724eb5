#pragma once

#include <QCoreApplication>
#include <QString>

#include <vector>

#include "widgets/MessageBoxes.h"

// Boxes that are never shown: each one is recorded and answered at once.
class RecordingBoxes : public MessageBoxes {
public:
    struct Box {
        QString text;
        QString caption;
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        bool fatal = false;
    };

    int applicationMessageBox(const QString& text, const QString& caption, Icon icon,
                              Buttons buttons) override {
        shown.push_back({text, caption, icon, buttons, false});
        return answer;
    }
    void fatalMessageBox(const QString& text, const QString& caption) override {
        shown.push_back({text, caption, Icon::Error, Buttons::Ok, true});
    }

    std::vector<Box> shown;
    int answer = Ok;
};

// Stands in for ending the process: the fatal report's last step throws this
// instead, so the test goes on past it.
struct ExitRequested {
    int code;
};

inline void requestExit(int code) { throw ExitRequested{code}; }

// Gives the application the title the program sets at start-up, for the
// length of a test.
class ApplicationTitleScope {
public:
    explicit ApplicationTitleScope(const QString& title = QStringLiteral("Tresvoli"))
        : previous_(QCoreApplication::applicationName()) {
        QCoreApplication::setApplicationName(title);
    }
    ~ApplicationTitleScope() { QCoreApplication::setApplicationName(previous_); }

private:
    QString previous_;
};
