#include "data/ConnectionString.h"

#include "exceptions/Exceptions.h"
#include "jet/ProviderMessages.h"

namespace {

[[noreturn]] void raiseMalformed(const QString& detail) {
    throw EOleException(ProviderMessages::badConnectionString(detail), ResultCode::Fail);
}

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\r') ||
           c == QLatin1Char('\n');
}

class Parser {
public:
    explicit Parser(const QString& text) : text_(text) {}

    std::vector<std::pair<QString, QString>> run() {
        std::vector<std::pair<QString, QString>> pairs;
        while (true) {
            skipBlanks();
            if (atEnd()) break;
            if (peek() == QLatin1Char(';')) {
                ++pos_;
                continue;
            }
            QString key = readKey();
            QString value = readValue();
            pairs.emplace_back(std::move(key), std::move(value));
        }
        return pairs;
    }

private:
    bool atEnd() const { return pos_ >= text_.size(); }
    QChar peek() const { return text_.at(pos_); }
    void skipBlanks() {
        while (!atEnd() && isBlank(peek())) ++pos_;
    }

    QString readKey() {
        const qsizetype start = pos_;
        while (!atEnd() && peek() != QLatin1Char('=') && peek() != QLatin1Char(';')) ++pos_;
        if (atEnd() || peek() != QLatin1Char('=')) {
            raiseMalformed(QStringLiteral("\"%1\" anahtarının değeri yok (= eksik)")
                               .arg(text_.mid(start, pos_ - start).trimmed()));
        }
        QString key = text_.mid(start, pos_ - start).trimmed();
        if (key.isEmpty())
            raiseMalformed(QStringLiteral("%1. karakterde adı olmayan bir anahtar").arg(start + 1));
        ++pos_;  // '='
        return key;
    }

    QString readValue() {
        skipBlanks();
        if (!atEnd() && peek() == QLatin1Char('"')) return readQuotedValue();
        const qsizetype start = pos_;
        while (!atEnd() && peek() != QLatin1Char(';')) ++pos_;
        return text_.mid(start, pos_ - start).trimmed();
    }

    QString readQuotedValue() {
        const qsizetype start = pos_;
        ++pos_;  // opening quote
        QString value;
        while (true) {
            if (atEnd()) {
                raiseMalformed(
                    QStringLiteral("%1. karakterde başlayan tırnak kapanmamış").arg(start + 1));
            }
            const QChar c = peek();
            ++pos_;
            if (c != QLatin1Char('"')) {
                value.append(c);
                continue;
            }
            if (!atEnd() && peek() == QLatin1Char('"')) {
                value.append(c);
                ++pos_;
                continue;
            }
            break;
        }
        skipBlanks();
        if (!atEnd() && peek() != QLatin1Char(';')) {
            raiseMalformed(
                QStringLiteral("%1. karakterde tırnaktan sonra beklenmeyen metin").arg(pos_ + 1));
        }
        return value;
    }

    const QString& text_;
    qsizetype pos_ = 0;
};

}  // namespace

ConnectionString ConnectionString::parse(const QString& text) {
    ConnectionString result;
    result.pairs_ = Parser(text).run();
    return result;
}

bool ConnectionString::contains(const QString& key) const {
    for (const auto& pair : pairs_) {
        if (pair.first.compare(key, Qt::CaseInsensitive) == 0) return true;
    }
    return false;
}

QString ConnectionString::value(const QString& key) const {
    QString found;
    for (const auto& pair : pairs_) {
        if (pair.first.compare(key, Qt::CaseInsensitive) == 0) found = pair.second;
    }
    return found;
}
