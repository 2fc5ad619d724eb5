#pragma once

#include <QByteArrayList>
#include <QString>
#include <QStringList>

#include <optional>

#include <memory>

#include "data/ResultCache.h"
#include "data/ResultSet.h"
#include "data/Statement.h"
#include "jet/JetFile.h"

// The database connection: provider, connection string and the settings the
// program gives it. Opening checks the file itself (format, version, password);
// statements are then run against the file, whose table is read in full.
// Nothing ever writes to the file.
class Connection {
public:
    Connection();

    void setProvider(const QString& provider) { provider_ = provider; }
    const QString& provider() const { return provider_; }
    void setConnectionString(const QString& text) { connectionString_ = text; }
    const QString& connectionString() const { return connectionString_; }
    void setConnectionTimeout(int seconds) { connectionTimeout_ = seconds; }
    int connectionTimeout() const { return connectionTimeout_; }
    void setCommandTimeout(int seconds) { commandTimeout_ = seconds; }
    int commandTimeout() const { return commandTimeout_; }
    void setMode(int mode) { mode_ = mode; }
    int mode() const { return mode_; }
    void setCursorLocation(int location) { cursorLocation_ = location; }
    int cursorLocation() const { return cursorLocation_; }
    void setLoginPrompt(bool prompt) { loginPrompt_ = prompt; }
    bool loginPrompt() const { return loginPrompt_; }
    void setKeepConnection(bool keep) { keepConnection_ = keep; }
    bool keepConnection() const { return keepConnection_; }
    // What a wrong-password message tells the user to do; each program says
    // where its password comes from. The window's default: use the program's own file.
    void setWrongPasswordAdvice(const QString& advice) { wrongPasswordAdvice_ = advice; }
    // The environment the reading process gets (NAME=VALUE entries); without
    // it, this process's whole environment.
    void setReaderEnvironment(const QByteArrayList& environment) {
        readerEnvironment_ = environment;
    }

    // The columns whose values statements read (names as a statement gives
    // them); the other columns come with their definitions and null cells.
    // Empty, as at first: every column's values. A statement's ORDER BY
    // column is always read.
    void setValueColumns(const QStringList& columns);
    const QStringList& valueColumns() const { return valueColumns_; }

    // Resolves the data source against the current working directory and checks
    // the file. Nothing happens when already open. Throws EOleException.
    void open();
    void close();
    bool connected() const { return connected_; }
    // The database file as resolved by the last successful open.
    const QString& databaseFile() const { return databaseFile_; }

    // Runs a statement on the open connection and returns its whole result.
    // The file is opened and checked again first, so a file removed or replaced
    // since the open is noticed; the reader reads that same open file. Throws
    // EOleException.
    std::unique_ptr<ResultSet> execute(const QString& statement);
    // The same for a statement already in its parts.
    std::unique_ptr<ResultSet> execute(const SelectStatement& statement);

private:
    void requireConnected() const;
    ResultCache::Table readTable(const JetFile& file, const QString& table,
                                 const QString& orderColumn);

    QString provider_;
    QString connectionString_;
    int connectionTimeout_ = 15;
    int commandTimeout_ = 30;
    int mode_ = 0;
    int cursorLocation_ = 2;
    bool loginPrompt_ = true;
    bool keepConnection_ = true;

    bool connected_ = false;
    QString databaseFile_;
    QString password_;
    QString wrongPasswordAdvice_;
    std::optional<QByteArrayList> readerEnvironment_;
    QStringList valueColumns_;
    ResultCache results_;
};

// Opens `file` once and checks from that descriptor that it is a Jet 4
// database that `password` opens. Throws EOleException with a description
// naming the file and what to do (`passwordAdvice` for a wrong password).
JetFile openDatabaseFile(const QString& file, const QString& password,
                         const QString& passwordAdvice);

// Resolves a data source ("AnaData\MeslekAna.mdb", "\" read as a directory
// separator) against the current working directory.
QString resolveDataSource(const QString& dataSource);
