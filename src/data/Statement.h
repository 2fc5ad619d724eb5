#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The one statement form the provider understands:
//   select * FROM <table> [ORDER BY <column> [ASC|DESC]] [;]
// Keywords in any case; names plain or in [brackets]; blanks and line breaks
// anywhere between words.
struct SelectStatement {
    QString table;
    QString orderColumn;  // empty: no ORDER BY
    bool descending = false;
};

// Throws EOleException with a syntax-error description for anything else.
SelectStatement parseSelectStatement(const QString& text);

// select * FROM `table` ORDER BY `column` `direction` without the text: what
// parseSelectStatement makes of that text when `column` is one plain name and
// `direction` is ASC, DESC (any case) or empty. Nothing for other words,
// whose meaning only the text gives.
std::optional<SelectStatement> orderedSelect(const QString& table, const QString& column,
                                             const QString& direction);

// Joins statement lines the way they are sent: each line followed by CR LF.
QString joinStatementLines(const QStringList& lines);
