#pragma once

#include <QWidget>

#include "help/HelpFile.h"
#include "web/WebProfile.h"

class FailureReporter;
class HelpView;
class QStatusBar;

// The help window (`yardimF`): the help file "yardim" of the working directory
// in a read-only rich-text view above a status bar.
//
// Created hidden at start-up; its creation reads the help file and reports a
// failure without stopping. Closing it only hides it, and it never keeps the
// program running once the main window has closed. The main window's help
// button calls Show() and then loadHelpFile().
class TyardimF : public QWidget {
    Q_OBJECT
public:
    explicit TyardimF(FailureReporter& reporter, QWidget* parent = nullptr);
    // The status bar's notices are those of `web`, as in the main window.
    TyardimF(FailureReporter& reporter, const WebProfile& web, QWidget* parent = nullptr);

    HelpView& view() const { return *RichEdit1; }

    // Makes the window visible (centred on the desktop the first time, where
    // the user left it afterwards), raises it and activates it. A minimized
    // window stays minimized: it is neither raised nor activated, since window
    // managers may restore a window for either.
    void Show();

    // Replaces the view's content with the help file's, the caret at the
    // start. Without a help file nothing at all happens. Raises "Cannot open
    // file ..." or "Failed to Load Stream" (see help/HelpFile.h).
    void loadHelpFile();

    // How the help file is opened; tests make the open fail with it.
    void setFileOpener(FileOpener opener) { opener_ = std::move(opener); }

private:
    void FormCreate();
    void placeCentred();

    FailureReporter& reporter_;
    HelpView* RichEdit1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    FileOpener opener_ = openFileForReading;
    bool placed_ = false;
};
