#pragma once

#include <QBuffer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include "cli/CommandLine.h"

// What a command-line program gave back.
struct ProgramOutput {
    int exitCode = -1;  // -1: it crashed or did not finish
    QString out;
    QString err;
};

// Runs an executable and waits up to two minutes. libmdb's environment
// variables are removed, so its output never depends on the caller's.
inline ProgramOutput runExecutable(const QString& program, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"MDBICONV", "MDB_ICONV", "MDBOPTS", "MDBPATH", "MDB_JET3_CHARSET"}) {
        env.remove(QString::fromLatin1(name));
    }
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    ProgramOutput output;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return output;
    }
    output.out = QString::fromUtf8(process.readAllStandardOutput());
    output.err = QString::fromUtf8(process.readAllStandardError());
    output.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return output;
}

// Runs a command-line program's body in this process, over buffers.
inline ProgramOutput runInProcess(CommandLineBody body, const QStringList& arguments) {
    QBuffer out;
    QBuffer err;
    out.open(QIODevice::WriteOnly);
    err.open(QIODevice::WriteOnly);
    ProgramOutput output;
    output.exitCode = body(arguments, out, err);
    output.out = QString::fromUtf8(out.data());
    output.err = QString::fromUtf8(err.data());
    return output;
}
