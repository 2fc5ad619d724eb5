#include <QGuiApplication>

#include "base/ProgramArguments.h"
#include "base/StandardStreams.h"
#include "meslek-yardim/MeslekYardim.h"

// A text document measures fonts, so the tool runs a GUI application; without
// a display it uses the offscreen platform.
int main(int argc, char** argv) {
    holdClosedStandardDescriptors();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    ProgramArguments arguments(argc, argv, "meslek-yardim");
    QGuiApplication application(arguments.toolkitArgc(), arguments.toolkitArgv());
    return runWithStandardStreams(arguments.arguments(), yardim::runMeslekYardim);
}
