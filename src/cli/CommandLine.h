#pragma once

#include "base/ProgramArguments.h"
#include "base/StandardStreams.h"

// Runs `body` over the process's arguments and standard streams (see
// runWithStandardStreams) in a console application of its own, named
// `ownName` when argv has no name. Large blocks of memory go back to the
// system as soon as they are freed.
int runCommandLine(int argc, char** argv, const char* ownName, CommandLineBody body);
