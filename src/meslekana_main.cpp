#include <cstdio>

#include "app/ProgramEntry.h"
#include "app/TerminationSignal.h"
#include "base/ProgramArguments.h"
#include "widgets/Application.h"
#ifdef MESLEK_WEB_ENGINE
#include "web/engine/WebEngineStart.h"
#endif

int main(int argc, char** argv) {
    recordEarlyTermination();
    // The command line is read before the application exists: every argument
    // is a search term, none reaches the toolkit (nor, through it, the web
    // engine), which takes its settings from the environment alone.
    ProgramArguments arguments(argc, argv, "meslekana");
    QStringList terms;
    const QString usage = parseWindowArguments(arguments.arguments(), terms);
    if (!usage.isEmpty()) {
        std::fprintf(stderr, "meslekana: %s\n", qUtf8Printable(usage));
        return 2;
    }
#ifdef MESLEK_WEB_ENGINE
    prepareWebEngine();
#endif
    Application application(arguments.toolkitArgc(), arguments.toolkitArgv());
    ProgramSeams seams;
#ifdef MESLEK_WEB_ENGINE
    seams.webPanel = engineWebPanelFactory();
#endif
    return runProgram(application, seams, terms);
}
