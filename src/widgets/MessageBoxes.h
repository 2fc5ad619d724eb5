#pragma once

#include <QString>

// Every message box the program shows goes through this interface, so that
// tests can answer boxes without anyone waiting on them.
class MessageBoxes {
public:
    enum class Icon { None, Error, Warning, Information, Question };
    enum class Buttons { Ok, OkCancel, YesNo };
    enum Result { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

    virtual ~MessageBoxes() = default;

    // A box owned by the application: all top-level windows are disabled while
    // it is open, then re-enabled, and the active window and focus restored.
    virtual int applicationMessageBox(const QString& text, const QString& caption, Icon icon,
                                      Buttons buttons) = 0;
    // The fatal report's box: no owner, task-modal, one OK button, error icon.
    virtual void fatalMessageBox(const QString& text, const QString& caption) = 0;
};

// Real boxes, with QMessageBox: centred on the screen of the active window (the
// primary screen for the fatal box), their text always plain, never markup.
// A box that ends without a button (closed by the program) answers with its
// refusing button: OK, Cancel or No.
class WidgetMessageBoxes : public MessageBoxes {
public:
    int applicationMessageBox(const QString& text, const QString& caption, Icon icon,
                              Buttons buttons) override;
    void fatalMessageBox(const QString& text, const QString& caption) override;

    // From now on no box is shown: each is answered at once with its refusing
    // button. A program that is asked to terminate waits on nobody.
    void answerAtOnce() { answerAtOnce_ = true; }

private:
    bool answerAtOnce_ = false;
};
