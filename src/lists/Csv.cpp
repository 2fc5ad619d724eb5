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

// The records of the decoded text, read field by field.
class Parser {
public:
    explicit Parser(const QString& text) : text_(text), s_(text.constData()), n_(text.size()) {}

    std::vector<Record> records() {
        std::vector<Record> records;
        while (i_ < n_) {
            // An empty line holds no record.
            if (atLineEnd()) {
                skipLineEnd();
                continue;
            }
            records.push_back(record());
        }
        return records;
    }

private:
    // At LF or CRLF; a CR alone is text.
    bool atLineEnd() const {
        return s_[i_] == u'\n' || (s_[i_] == u'\r' && i_ + 1 < n_ && s_[i_ + 1] == u'\n');
    }

    void skipLineEnd() {
        i_ += s_[i_] == u'\n' ? 1 : 2;
        ++line_;
    }

    Record record() {
        Record record;
        record.line = line_;
        for (;;) {
            record.fields.append(i_ < n_ && s_[i_] == u'"' ? quotedField() : plainField());
            if (i_ >= n_) break;
            if (s_[i_] == u',') {
                ++i_;
                continue;
            }
            skipLineEnd();
            break;
        }
        return record;
    }

    QString quotedField() {
        const int quoteLine = line_;
        QString field;
        ++i_;
        for (;;) {
            if (i_ >= n_) fail(quoteLine, QStringLiteral("tırnak işareti kapanmamış"));
            if (s_[i_] == u'"') {
                if (i_ + 1 < n_ && s_[i_ + 1] == u'"') {
                    field.append(u'"');
                    i_ += 2;
                    continue;
                }
                ++i_;
                break;
            }
            if (s_[i_] == u'\n') ++line_;
            field.append(s_[i_++]);
        }
        if (i_ < n_ && s_[i_] != u',' && !atLineEnd())
            fail(line_, QStringLiteral("kapanan tırnak işaretinden sonra virgül ya da "
                                       "satır sonu bekleniyordu"));
        return field;
    }

    QString plainField() {
        const qsizetype start = i_;
        while (i_ < n_ && s_[i_] != u',' && !atLineEnd()) {
            if (s_[i_] == u'"')
                fail(line_, QStringLiteral("tırnak işareti yalnızca tırnaklı bir alanın "
                                           "başında ve sonunda olabilir"));
            ++i_;
        }
        return text_.mid(start, i_ - start);
    }

    const QString& text_;
    const QChar* s_;
    qsizetype n_;
    qsizetype i_ = 0;
    int line_ = 1;
};

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
    return Parser(text).records();
}

}  // namespace csv
