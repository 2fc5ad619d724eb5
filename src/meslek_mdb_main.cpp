#include "cli/CommandLine.h"
#include "mdbcommand/MeslekMdb.h"

int main(int argc, char** argv) {
    return runCommandLine(argc, argv, "meslek-mdb", jet4::runMeslekMdb);
}
