#include <cstdio>

#include "app/ProgramEntry.h"
#include "app/TerminationSignal.h"
#include "widgets/Application.h"
#ifdef MESLEK_WEB_ENGINE
#include "web/engine/WebEngineStart.h"
#endif

int main(int argc, char** argv) {
    recordEarlyTermination();
#ifdef MESLEK_WEB_ENGINE
    prepareWebEngine();
#endif
    Application application(argc, argv);
    QStringList terms;
    const QString usage = parseWindowArguments(QCoreApplication::arguments().mid(1), terms);
    if (!usage.isEmpty()) {
        std::fprintf(stderr, "meslekana: %s\n", qUtf8Printable(usage));
        return 2;
    }
    ProgramSeams seams;
#ifdef MESLEK_WEB_ENGINE
    seams.webPanel = engineWebPanelFactory();
#endif
    return runProgram(application, seams, terms);
}
