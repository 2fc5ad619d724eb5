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
    ProgramSeams seams;
#ifdef MESLEK_WEB_ENGINE
    seams.webPanel = engineWebPanelFactory();
#endif
    return runProgram(application, seams);
}
