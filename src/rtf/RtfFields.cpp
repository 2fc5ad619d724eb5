#include "rtf/RtfFields.h"

#include "rtf/RtfReader.h"

namespace rtf {

namespace {

// A field code's words: blank-separated, or in double quotes.
QStringList fieldTokens(const QString& code, qsizetype from) {
    QStringList tokens;
    for (qsizetype i = from; i < code.size();) {
        if (code[i].isSpace()) {
            ++i;
        } else if (code[i] == u'"') {
            const qsizetype close = code.indexOf(u'"', i + 1);
            const qsizetype stop = close < 0 ? code.size() : close;
            tokens << code.mid(i + 1, stop - i - 1);
            i = stop + 1;
        } else {
            qsizetype j = i;
            while (j < code.size() && !code[j].isSpace()) ++j;
            tokens << code.mid(i, j - i);
            i = j;
        }
    }
    return tokens;
}

}  // namespace

QString hyperlinkTarget(const QString& instruction) {
    const QString code = instruction.trimmed();
    if (!code.startsWith(QLatin1String("HYPERLINK"), Qt::CaseInsensitive)) return {};
    const QStringList tokens = fieldTokens(code, 9);
    QString url;
    QString local;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const QString& t = tokens[i];
        if (t.startsWith(u'\\') && t.size() == 2) {
            const QChar option = t[1].toLower();
            if (option == u'l' && i + 1 < tokens.size()) local = tokens[++i];
            if (option == u'o' || option == u't') ++i;  // tooltip, target frame
        } else if (url.isEmpty()) {
            url = t;
        }
    }
    if (!local.isEmpty()) url += u'#' + local;
    return url;
}

void Fields::open(std::size_t depth) {
    if (open_.size() < 64) open_.push_back(Field{depth, QString()});
}

void Fields::closeGroup(std::size_t depth) {
    if (!open_.empty() && open_.back().depth == depth) open_.pop_back();
}

void Fields::instruction(QChar ch) {
    if (!open_.empty() && open_.back().instruction.size() < MaxFieldInstruction) {
        open_.back().instruction += ch;
    }
}

int Fields::resultLink() {
    const QString target = open_.empty() ? QString() : hyperlinkTarget(open_.back().instruction);
    if (target.isEmpty() || links_.size() >= 100000) return -1;
    links_ << target;
    return static_cast<int>(links_.size() - 1);
}

}  // namespace rtf
