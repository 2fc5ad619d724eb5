#include "data/Statement.h"

#include <QStringList>

#include <algorithm>
#include <vector>

#include "exceptions/Exceptions.h"
#include "jet/ProviderMessages.h"

namespace {

struct Token {
    enum Kind { Word, Name, Star, Semicolon } kind;
    QString text;
};

[[noreturn]] void raiseSyntax(const QString& statement) {
    throw EOleException(ProviderMessages::syntaxError(statement), ResultCode::Fail);
}

bool isWordChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }

bool isReserved(const QString& word) {
    static const QStringList reserved = {"select", "from", "order", "by", "asc", "desc"};
    return reserved.contains(word, Qt::CaseInsensitive);
}

// A name the tokenizer reads as one word, not a keyword.
bool isPlainName(const QString& text) {
    return !text.isEmpty() && std::all_of(text.begin(), text.end(), isWordChar) &&
           !isReserved(text);
}

std::vector<Token> tokenize(const QString& text) {
    std::vector<Token> tokens;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('*')) {
            tokens.push_back({Token::Star, QString(c)});
            ++i;
        } else if (c == QLatin1Char(';')) {
            tokens.push_back({Token::Semicolon, QString(c)});
            ++i;
        } else if (c == QLatin1Char('[')) {
            const qsizetype close = text.indexOf(QLatin1Char(']'), i + 1);
            if (close < 0 || close == i + 1) raiseSyntax(text);
            tokens.push_back({Token::Name, text.mid(i + 1, close - i - 1)});
            i = close + 1;
        } else if (isWordChar(c)) {
            const qsizetype start = i;
            while (i < text.size() && isWordChar(text.at(i))) ++i;
            tokens.push_back({Token::Word, text.mid(start, i - start)});
        } else {
            raiseSyntax(text);
        }
    }
    return tokens;
}

class Matcher {
public:
    Matcher(const std::vector<Token>& tokens, const QString& text) : tokens_(tokens), text_(text) {}

    bool atEnd() const { return pos_ >= tokens_.size(); }

    bool peekKeyword(const char* keyword) const {
        return !atEnd() && tokens_[pos_].kind == Token::Word &&
               tokens_[pos_].text.compare(QLatin1String(keyword), Qt::CaseInsensitive) == 0;
    }
    void keyword(const char* word) {
        if (!peekKeyword(word)) raiseSyntax(text_);
        ++pos_;
    }
    void expect(Token::Kind kind) {
        if (atEnd() || tokens_[pos_].kind != kind) raiseSyntax(text_);
        ++pos_;
    }
    QString name() {
        if (atEnd()) raiseSyntax(text_);
        const Token& token = tokens_[pos_];
        if (token.kind != Token::Word && token.kind != Token::Name) raiseSyntax(text_);
        if (token.kind == Token::Word && isReserved(token.text)) raiseSyntax(text_);
        ++pos_;
        return token.text;
    }

private:
    const std::vector<Token>& tokens_;
    const QString& text_;
    std::size_t pos_ = 0;
};

}  // namespace

SelectStatement parseSelectStatement(const QString& text) {
    const std::vector<Token> tokens = tokenize(text);
    Matcher m(tokens, text);
    SelectStatement statement;
    m.keyword("select");
    m.expect(Token::Star);
    m.keyword("from");
    statement.table = m.name();
    if (m.peekKeyword("order")) {
        m.keyword("order");
        m.keyword("by");
        statement.orderColumn = m.name();
        if (m.peekKeyword("asc")) {
            m.keyword("asc");
        } else if (m.peekKeyword("desc")) {
            m.keyword("desc");
            statement.descending = true;
        }
    }
    if (!m.atEnd()) m.expect(Token::Semicolon);
    if (!m.atEnd()) raiseSyntax(text);
    return statement;
}

std::optional<SelectStatement> orderedSelect(const QString& table, const QString& column,
                                             const QString& direction) {
    if (!isPlainName(table) || !isPlainName(column)) return std::nullopt;
    const bool descending = direction.compare(QLatin1String("desc"), Qt::CaseInsensitive) == 0;
    if (!descending && !direction.isEmpty() &&
        direction.compare(QLatin1String("asc"), Qt::CaseInsensitive) != 0) {
        return std::nullopt;
    }
    return SelectStatement{table, column, descending};
}

QString joinStatementLines(const QStringList& lines) {
    QString joined;
    for (const QString& line : lines) {
        joined += line;
        joined += QStringLiteral("\r\n");
    }
    return joined;
}
