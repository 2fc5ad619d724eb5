#include "cli/CommandLine.h"

#include <QCoreApplication>

#include "base/LargeBlocks.h"

int runCommandLine(int argc, char** argv, const char* ownName, CommandLineBody body) {
    holdClosedStandardDescriptors();
    returnLargeBlocksAtOnce();
    ProgramArguments arguments(argc, argv, ownName);
    QCoreApplication application(arguments.toolkitArgc(), arguments.toolkitArgv());
    return runWithStandardStreams(arguments.arguments(), body);
}
