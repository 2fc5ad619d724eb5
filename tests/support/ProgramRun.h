#pragma once

#include <QBuffer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

#include "base/StandardStreams.h"

// What a command-line program gave back.
struct ProgramOutput {
    int exitCode = -1;  // -1: it crashed or did not finish
    QString out;
    QString err;
};

// How a program is started.
struct RunOptions {
    QStringList environment;   // NAME=VALUE entries added to the environment
    QString outputFile;        // standard output goes to this file instead of a pipe
    bool closeOutput = false;  // the reader of standard output goes away at once
};

// Runs an executable and waits up to two minutes. libmdb's environment
// variables and the password variable are removed, so its output never
// depends on the caller's.
inline ProgramOutput runExecutable(const QString& program, const QStringList& arguments,
                                   const RunOptions& options = {}) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"MDBICONV", "MDB_ICONV", "MDBOPTS", "MDBPATH", "MDB_JET3_CHARSET",
                             "MESLEKANA_PASSWORD"}) {
        env.remove(QString::fromLatin1(name));
    }
    for (const QString& entry : options.environment) {
        env.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
    }
    process.setProcessEnvironment(env);
    if (!options.outputFile.isEmpty()) process.setStandardOutputFile(options.outputFile);
    // Standard output is a pipe whose read end is closed before the start.
    int closedPipe[2] = {-1, -1};
    if (options.closeOutput && ::pipe2(closedPipe, O_CLOEXEC) == 0) {
        ::close(closedPipe[0]);
        const int writeEnd = closedPipe[1];
        process.setChildProcessModifier([writeEnd] { ::dup2(writeEnd, STDOUT_FILENO); });
    }
    process.start(program, arguments);
    if (closedPipe[1] >= 0) ::close(closedPipe[1]);
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

// Whether a process comes to sleep and uses no processor time for half a
// second, within thirty seconds (the event loop runs meanwhile): a program
// that has finished starting and waits for its user, or one blocked.
inline bool waitUntilIdle(qint64 pid) {
    QByteArray last;
    int still = 0;
    for (int i = 0; i < 600 && still < 10; ++i) {
        QTest::qWait(50);
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly)) return false;
        // After the command's closing parenthesis: state, then utime and stime
        // as the 12th and 13th fields.
        const QList<QByteArray> fields = stat.readAll().split(')').last().trimmed().split(' ');
        if (fields.size() < 13) return false;
        const QByteArray now = fields[0] + ' ' + fields[11] + ' ' + fields[12];
        still = fields[0] == "S" && now == last ? still + 1 : 0;
        last = now;
    }
    return still >= 10;
}
