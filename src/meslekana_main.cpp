#include "app/Application.h"
#include "app/ProgramEntry.h"

int main(int argc, char** argv) {
    Application application(argc, argv);
    return runProgram(application);
}
