#include <QCoreApplication>
#include <QFile>

#include <cstdio>

#include "jet4/MeslekMdb.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QFile out;
    QFile err;
    out.open(stdout, QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
    err.open(stderr, QIODevice::WriteOnly, QFileDevice::DontCloseHandle);
    QStringList arguments = app.arguments();
    arguments.removeFirst();
    const int code = jet4::runMeslekMdb(arguments, out, err);
    out.flush();
    err.flush();
    return code;
}
