#include "app/ProgramEntry.h"

#include <QDir>
#include <QIcon>

#include <memory>

#include "app/TerminationSignal.h"
#include "app/WindowHandoff.h"
#include "help/TyardimF.h"
#include "widgets/Application.h"
#include "widgets/FailureReporter.h"
#include "widgets/Fonts.h"
#include "widgets/MessageBoxes.h"

namespace {

const void* raiseAddressOf(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const Exception& e) {
        return e.raiseAddress();
    } catch (...) {
        return nullptr;
    }
}

// The window icon, from the PNG files of the installed icon: an SVG icon
// would need Qt's SVG plugin.
QIcon programIcon() {
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icon/%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

}  // namespace

QString parseWindowArguments(const QStringList& arguments, QStringList& terms) {
    terms = arguments;
    if (!terms.isEmpty() && terms.constFirst() == QLatin1String("--")) terms.removeFirst();
    if (terms.size() > 2) {
        terms.clear();
        return QStringLiteral(
            "en çok iki arama terimi verilebilir\n"
            "Kullanım: meslekana [TERİM1 [TERİM2]]");
    }
    return {};
}

int runProgram(Application& application, const ProgramSeams& seams, const QStringList& terms) {
    // The list is the one under the working folder: a window of this folder
    // that already runs takes the terms, and brings itself to the front.
    if (!terms.isEmpty() && WindowHandoff::handToRunning(QDir::currentPath(), terms)) return 0;
    QCoreApplication::setApplicationName(QStringLiteral("Tresvoli"));
    // The desktop file, the AppStream component and the icon share this id.
    QGuiApplication::setDesktopFileName(QStringLiteral(MESLEK_APP_ID));
    QApplication::setWindowIcon(programIcon());
    registerTahoma();
    registerMsSansSerif();
    loadTurkishTranslations(application);

    WidgetMessageBoxes widgetBoxes;
    MessageBoxes& boxes = seams.boxes ? *seams.boxes : widgetBoxes;
    // From a termination request on, no box waits for an answer.
    TerminationSignal termination([&widgetBoxes] { widgetBoxes.answerAtOnce(); });
    const std::function<void(int)> exitProcess =
        seams.exitProcess ? seams.exitProcess : FailureReporter::defaultExit();
    // A fatal report cut short by a termination request ends the program as
    // the request does, with code 0.
    FailureReporter reporter(boxes, [&termination, exitProcess](int code) {
        exitProcess(termination.requested() ? 0 : code);
    });
    application.setFailureReporter(&reporter);

    std::unique_ptr<TmeslekanaF> mainWindow;
    std::unique_ptr<TyardimF> helpWindow;
    try {
        mainWindow = std::make_unique<TmeslekanaF>(
            reporter,
            seams.connectionFactory ? seams.connectionFactory : defaultConnectionFactory(),
            WebSide{seams.webPanel, nullptr, std::nullopt});
        helpWindow = std::make_unique<TyardimF>(reporter);
        mainWindow->setHelpWindow(helpWindow.get());
    } catch (...) {
        const std::exception_ptr failure = std::current_exception();
        mainWindow.reset();
        reporter.ReportFatalFailure(failure, raiseAddressOf(failure));
    }

    // Asked to terminate before the main window existed: the program ends
    // without showing it and without its close request.
    if (termination.requested()) {
        application.setFailureReporter(nullptr);
        return 0;
    }
    mainWindow->showMaximized();
    if (!terms.isEmpty()) mainWindow->searchFor(terms);
    TmeslekanaF* window = mainWindow.get();
    WindowHandoffService handoff([window](const QStringList& handed) {
        window->searchFor(handed);
        window->bringToFront();
    });
    handoff.serve(QDir::currentPath());
    int code = 0;
    if (seams.runEventLoop) code = QApplication::exec();
    // Asked to terminate while running: the close request runs once, on a
    // clean stack after every handler has returned, and the program ends even
    // if one of its steps fails.
    if (termination.requested()) {
        if (mainWindow->isVisible()) mainWindow->close();
        code = 0;
    }
    application.setFailureReporter(nullptr);
    return code;
}
