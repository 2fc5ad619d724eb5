#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

// A small RFC 4180 reader: comma-separated fields, records ending in LF or
// CRLF, fields in double quotes may hold commas, line breaks and doubled quotes.
namespace csv {

struct Record {
    int line = 0;  // the line the record starts on, from 1
    QStringList fields;
};

// A malformed file; `message` is Turkish and already names the line.
struct ParseError {
    int line = 0;
    QString message;
};

// Parses UTF-8 text, skipping a leading byte order mark and empty lines.
// Throws ParseError on invalid UTF-8 or broken quoting.
std::vector<Record> parse(const QByteArray& utf8);

// "satır N: text"
QString atLine(int line, const QString& text);

}  // namespace csv
