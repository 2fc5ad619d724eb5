#include <cstdio>

#include "app/ProgramEntry.h"
#include "app/TerminationSignal.h"
#include "widgets/Application.h"
#ifdef MESLEK_WEB_ENGINE
#include "web/engine/WebEngineStart.h"
#endif

int main(int argc, char** argv) {
    recordEarlyTermination();
    // The command line is read before the application exists: every argument
    // is a search term, none reaches the toolkit (nor, through it, the web
    // engine), which takes its settings from the environment alone.
    QStringList terms;
    const QString usage = parseWindowArguments(commandLineArguments(argc, argv), terms);
    if (!usage.isEmpty()) {
        std::fprintf(stderr, "meslekana: %s\n", qUtf8Printable(usage));
        return 2;
    }
#ifdef MESLEK_WEB_ENGINE
    prepareWebEngine();
#endif
    // The toolkit gets the program's name alone (one of its own when the
    // program was started without even that).
    char ownName[] = "meslekana";
    char* toolkitArgv[] = {argc > 0 ? argv[0] : ownName, nullptr};
    int toolkitArgc = 1;
    Application application(toolkitArgc, toolkitArgv);
    ProgramSeams seams;
#ifdef MESLEK_WEB_ENGINE
    seams.webPanel = engineWebPanelFactory();
#endif
    return runProgram(application, seams, terms);
}
