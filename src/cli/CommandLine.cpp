#include "cli/CommandLine.h"

#include <QCoreApplication>

#include "base/LargeBlocks.h"

int runCommandLine(int argc, char** argv, CommandLineBody body) {
    holdClosedStandardDescriptors();
    returnLargeBlocksAtOnce();
    ProgramArguments arguments(argc, argv, "meslek");
    QCoreApplication application(arguments.toolkitArgc(), arguments.toolkitArgv());
    return runWithStandardStreams(arguments.arguments(), body);
}
