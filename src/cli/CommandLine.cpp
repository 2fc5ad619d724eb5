#include "cli/CommandLine.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int runCommandLine(int argc, char** argv, CommandLineBody body) {
    QCoreApplication application(argc, argv);
    return runWithStandardStreams(body);
}

int runWithStandardStreams(CommandLineBody body) {
    QFile out;
    QFile err;
    out.open(stdout, QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
    err.open(stderr, QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
    QStringList arguments = QCoreApplication::arguments();
    arguments.removeFirst();
    const int code = body(arguments, out, err);
    out.flush();
    err.flush();
    return code;
}
