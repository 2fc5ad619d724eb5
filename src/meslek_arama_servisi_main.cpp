#include <QCoreApplication>

#include "base/ProgramArguments.h"
#include "desktopsearch/ServiceEntry.h"

// The service takes no arguments; none reaches the toolkit either.
int main(int argc, char** argv) {
    ProgramArguments arguments(argc, argv, "meslek-arama-servisi");
    QCoreApplication application(arguments.toolkitArgc(), arguments.toolkitArgv());
    return runSearchService(application);
}
