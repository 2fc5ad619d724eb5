#include "app/ProgramEntry.h"

#include <memory>

#include "app/Application.h"
#include "app/Fonts.h"
#include "app/TerminationSignal.h"
#include "failure/FailureReporter.h"
#include "failure/MessageBoxes.h"
#include "help/TyardimF.h"

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

}  // namespace

int runProgram(Application& application, const ProgramSeams& seams) {
    QCoreApplication::setApplicationName(QStringLiteral("Tresvoli"));
    registerTahoma();
    registerMsSansSerif();
    loadTurkishTranslations(application);

    WidgetMessageBoxes widgetBoxes;
    MessageBoxes& boxes = seams.boxes ? *seams.boxes : widgetBoxes;
    FailureReporter reporter(
        boxes, seams.exitProcess ? seams.exitProcess : FailureReporter::defaultExit());
    application.setFailureReporter(&reporter);

    TerminationSignal termination;
    std::unique_ptr<TmeslekanaF> mainWindow;
    std::unique_ptr<TyardimF> helpWindow;
    try {
        mainWindow = std::make_unique<TmeslekanaF>(reporter, seams.connectionFactory
                                                                 ? seams.connectionFactory
                                                                 : defaultConnectionFactory());
        helpWindow = std::make_unique<TyardimF>();
    } catch (...) {
        const std::exception_ptr failure = std::current_exception();
        mainWindow.reset();
        reporter.ReportFatalFailure(failure, raiseAddressOf(failure));
    }

    termination.setWindow(mainWindow.get());
    mainWindow->showMaximized();
    int code = 0;
    if (seams.runEventLoop) code = QApplication::exec();
    application.setFailureReporter(nullptr);
    return code;
}
