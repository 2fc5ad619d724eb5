#pragma once

#include <QStringList>

#include <functional>

#include "app/TmeslekanaF.h"

class Application;
class MessageBoxes;

// What tests may replace when they run the program's start-up.
struct ProgramSeams {
    MessageBoxes* boxes = nullptr;         // null: real message boxes
    ConnectionFactory connectionFactory;   // empty: the real connection
    std::function<void(int)> exitProcess;  // empty: std::exit
    bool runEventLoop = true;              // false: return after showing
    WebPanelFactory webPanel;              // empty: a blank panel (the program passes the engine)
};

// Start-up: application title, fonts and translations, the main window and
// the hidden help window, then the event loop. With search terms (at most
// two, from the command line) the boxes take them once the list is open and
// the search runs as "ARA" runs it; but when a window of the same working
// folder already runs in the session, the terms go to that window instead
// and the program ends at once with code 0. A failure that escapes start-up
// is reported as fatal and ends the program with exit code 1. SIGTERM ends it
// with code 0 at any moment, open boxes and dialogs included: before the main
// window exists at once, afterwards after the window's close request.
int runProgram(Application& application, const ProgramSeams& seams = {},
               const QStringList& terms = {});

// The window's command line (without the program name): the search terms,
// after an optional "--". Returns a message for the user when there are more
// than two. Every argument is a term, whatever it starts with: the program
// reads its command line before the application exists and gives the
// toolkit none of it, so the toolkit takes its settings from the environment
// only (QT_QPA_PLATFORM, DISPLAY, QT_SCALE_FACTOR and the like).
QString parseWindowArguments(const QStringList& arguments, QStringList& terms);
