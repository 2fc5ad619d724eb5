#pragma once

#include <QIODevice>
#include <QString>
#include <QStringList>

#include "cli/PasswordSource.h"
#include "cli/RowFormat.h"

// The occupation list on the command line, all of it or, given one or two
// terms, the rows that the window's search would show. `arguments` excludes
// the program name. Returns the exit code: 0 done, 1 the database or the
// password file could not be read, 2 wrong usage. Output failures are the
// caller's to report (see runWithStandardStreams).
int runMeslekAra(const QStringList& arguments, QIODevice& out, QIODevice& err);

// meslek-ara's arguments.
struct MeslekAraOptions {
    QString database;  // null: the built-in data source
    PasswordOptions password;
    QString orderBy;  // empty: the start-up order (by code)
    bool descending = false;
    bool orMode = false;
    bool plainLatin = false;  // --ascii
    bool help = false;
    OutputFormat format = OutputFormat::Tsv;
    QStringList terms;  // at most two
};

// Parses the arguments alone; reads nothing. Returns what is wrong, in
// Turkish, or an empty string.
QString parseMeslekAraOptions(const QStringList& arguments, MeslekAraOptions& options);
