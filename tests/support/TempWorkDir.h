#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include "data/ConnectionSettings.h"
#include "support/OccupationFixtures.h"

// A temporary directory that is the process's working directory while the
// object lives.
class TempWorkDir {
public:
    TempWorkDir() : previous_(QDir::currentPath()) { QDir::setCurrent(dir_.path()); }
    ~TempWorkDir() { QDir::setCurrent(previous_); }
    TempWorkDir(const TempWorkDir&) = delete;
    TempWorkDir& operator=(const TempWorkDir&) = delete;

    QString path(const QString& relative = QString()) const {
        return relative.isEmpty() ? dir_.path() : dir_.filePath(relative);
    }

    // Writes a database at `relative`, creating folders on the way.
    QString writeDatabase(const QString& relative, const jet4::DatabaseDef& database) const {
        const QString file = path(relative);
        QDir().mkpath(QFileInfo(file).absolutePath());
        jet4::writeDatabaseFile(file, database);
        return file;
    }

    // The program's database, AnaData/MeslekAna.mdb with the built-in
    // password, holding `rows`.
    QString writeProgramDatabase(const std::vector<jet4::OccupationRow>& rows) const {
        return writeDatabase(
            QStringLiteral("AnaData/MeslekAna.mdb"),
            jet4::occupationDatabase(rows, ConnectionSettings::builtInDatabasePassword()));
    }

    static QByteArray readAll(const QString& file) {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static void writeAll(const QString& file, const QByteArray& bytes) {
        QFile f(file);
        if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
    }

private:
    QTemporaryDir dir_;
    QString previous_;
};
