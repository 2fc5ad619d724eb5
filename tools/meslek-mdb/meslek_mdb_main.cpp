#include "cli/CommandLine.h"
#include "jet4/MeslekMdb.h"

int main(int argc, char** argv) { return runCommandLine(argc, argv, jet4::runMeslekMdb); }
