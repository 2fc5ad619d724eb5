#include "cli/CommandLine.h"
#include "mdbcommand/MeslekMdb.h"

int main(int argc, char** argv) { return runCommandLine(argc, argv, jet4::runMeslekMdb); }
