#pragma once

#include <QString>

#include <utility>
#include <vector>

// An OLE DB style connection string: "key=value" pairs joined by ";". A value
// may be enclosed in double quotes, inside which ";" is literal and "" stands
// for one quote character; `""` alone is an empty value. Keys are matched
// case-insensitively, and surrounding blanks are dropped.
class ConnectionString {
public:
    // Throws EOleException on malformed text (a pair without "=", an
    // unterminated quote, an empty key).
    static ConnectionString parse(const QString& text);

    bool contains(const QString& key) const;
    // The value of the last pair with that key, or a null string.
    QString value(const QString& key) const;
    const std::vector<std::pair<QString, QString>>& pairs() const { return pairs_; }

private:
    std::vector<std::pair<QString, QString>> pairs_;
};
