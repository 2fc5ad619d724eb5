#include <QFile>
#include <QGuiApplication>

#include <cstdio>

#include "yardim/MeslekYardim.h"

// A text document measures fonts, so the tool runs a GUI application; without
// a display it uses the offscreen platform.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    QFile out;
    QFile err;
    out.open(stdout, QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
    err.open(stderr, QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const int code = yardim::runMeslekYardim(arguments, out, err);
    out.flush();
    err.flush();
    return code;
}
