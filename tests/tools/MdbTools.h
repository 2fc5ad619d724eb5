#pragma once

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <vector>

#include "jet4/Csv.h"

// Runs the mdbtools programs on a file, in a clean environment, so that tests
// read written databases back through the same library as the program does.
namespace mdbtools {

struct Result {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline Result run(const QString& program, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"MDBICONV", "MDB_ICONV", "MDBOPTS", "MDBPATH", "MDB_JET3_CHARSET"})
        env.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    Result result;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return result;
    }
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return result;
}

// User tables, as mdb-tables lists them (one a line).
inline QStringList tables(const QString& file) {
    const Result r = run(QStringLiteral("mdb-tables"), {QStringLiteral("-1"), file});
    return QString::fromUtf8(r.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

inline QString schema(const QString& file) {
    return QString::fromUtf8(run(QStringLiteral("mdb-schema"), {file}).out);
}

// Every row of a table as mdb-export writes it, the header row first. Dates
// come out as "YYYY-MM-DD HH:MM:SS". Returns nothing when mdb-export fails.
inline std::vector<QStringList> exportTable(const QString& file, const QString& table) {
    const Result r = run(QStringLiteral("mdb-export"),
                         {QStringLiteral("-T"), QStringLiteral("%Y-%m-%d %H:%M:%S"), file, table});
    std::vector<QStringList> rows;
    if (r.exitCode != 0) return rows;
    for (auto& record : csv::parse(r.out)) rows.push_back(record.fields);
    return rows;
}

}  // namespace mdbtools
