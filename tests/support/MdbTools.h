#pragma once

#include <QString>
#include <QStringList>

#include <vector>

#include "lists/Csv.h"
#include "support/ProgramRun.h"

// Runs the mdbtools programs on a file, in a clean environment, so that tests
// read written databases back through the same library as the program does.
namespace mdbtools {

inline ProgramOutput run(const QString& program, const QStringList& arguments) {
    return runExecutable(program, arguments);
}

// User tables, as mdb-tables lists them (one a line).
inline QStringList tables(const QString& file) {
    const ProgramOutput r = run(QStringLiteral("mdb-tables"), {QStringLiteral("-1"), file});
    return r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

inline QString schema(const QString& file) { return run(QStringLiteral("mdb-schema"), {file}).out; }

// Every row of a table as mdb-export writes it, the header row first. Dates
// come out as "YYYY-MM-DD HH:MM:SS". Returns nothing when mdb-export fails.
inline std::vector<QStringList> exportTable(const QString& file, const QString& table) {
    const ProgramOutput r =
        run(QStringLiteral("mdb-export"),
            {QStringLiteral("-T"), QStringLiteral("%Y-%m-%d %H:%M:%S"), file, table});
    std::vector<QStringList> rows;
    if (r.exitCode != 0) return rows;
    for (auto& record : csv::parse(r.out.toUtf8())) rows.push_back(record.fields);
    return rows;
}

}  // namespace mdbtools
