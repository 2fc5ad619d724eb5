#include "cli/CommandLine.h"
#include "cli/MeslekAra.h"

int main(int argc, char** argv) { return runCommandLine(argc, argv, "meslek-ara", runMeslekAra); }
