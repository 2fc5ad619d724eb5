#include "lists/Csv.h"

#include <QStringDecoder>

namespace csv {

namespace {

[[noreturn]] void fail(int line, const QString& text) {
    throw ParseError{line, atLine(line, text)};
}

// The line of the first byte sequence that is not UTF-8.
int firstInvalidLine(const QByteArray& utf8) {
    int line = 1;
    qsizetype start = 0;
    while (start <= utf8.size()) {
        qsizetype end = utf8.indexOf('\n', start);
        if (end < 0) end = utf8.size();
        QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        [[maybe_unused]] const QString text = decoder(utf8.mid(start, end - start));
        if (decoder.hasError()) return line;
        start = end + 1;
        ++line;
    }
    return line;
}

}  // namespace

QString atLine(int line, const QString& text) {
    return QStringLiteral("satır %1: %2").arg(line).arg(text);
}

std::vector<Record> parse(const QByteArray& utf8) {
    QByteArray bytes = utf8;
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(bytes);
    if (decoder.hasError())
        fail(firstInvalidLine(bytes), QStringLiteral("geçerli bir UTF-8 metni değil"));

    std::vector<Record> records;
    const qsizetype n = text.size();
    const QChar* s = text.constData();
    qsizetype i = 0;
    int line = 1;
    while (i < n) {
        Record record;
        record.line = line;
        // An empty line holds no record.
        if (s[i] == u'\n' || (s[i] == u'\r' && i + 1 < n && s[i + 1] == u'\n')) {
            i += s[i] == u'\n' ? 1 : 2;
            ++line;
            continue;
        }
        bool endOfRecord = false;
        while (!endOfRecord) {
            QString field;
            if (i < n && s[i] == u'"') {
                const int quoteLine = line;
                ++i;
                for (;;) {
                    if (i >= n) fail(quoteLine, QStringLiteral("tırnak işareti kapanmamış"));
                    if (s[i] == u'"') {
                        if (i + 1 < n && s[i + 1] == u'"') {
                            field.append(u'"');
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    if (s[i] == u'\n') ++line;
                    field.append(s[i++]);
                }
                if (i < n && s[i] != u',' && s[i] != u'\n' &&
                    !(s[i] == u'\r' && i + 1 < n && s[i + 1] == u'\n'))
                    fail(line, QStringLiteral("kapanan tırnak işaretinden sonra virgül ya da "
                                              "satır sonu bekleniyordu"));
            } else {
                const qsizetype start = i;
                while (i < n && s[i] != u',' && s[i] != u'\n' &&
                       !(s[i] == u'\r' && i + 1 < n && s[i + 1] == u'\n')) {
                    if (s[i] == u'"')
                        fail(line, QStringLiteral("tırnak işareti yalnızca tırnaklı bir alanın "
                                                  "başında ve sonunda olabilir"));
                    ++i;
                }
                field = text.mid(start, i - start);
            }
            record.fields.append(field);
            if (i >= n) {
                endOfRecord = true;
            } else if (s[i] == u',') {
                ++i;
            } else {
                i += s[i] == u'\n' ? 1 : 2;
                ++line;
                endOfRecord = true;
            }
        }
        records.push_back(std::move(record));
    }
    return records;
}

}  // namespace csv
