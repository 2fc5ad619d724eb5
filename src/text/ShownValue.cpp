#include "text/ShownValue.h"

#include <algorithm>

namespace shownvalue {

namespace {

bool isBidiControl(char16_t c) {
    return c == 0x061C || c == 0x200E || c == 0x200F || (c >= 0x202A && c <= 0x202E) ||
           (c >= 0x2066 && c <= 0x2069);
}

bool needsEscape(char16_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 || isBidiControl(c);
}

void appendEscaped(QString& out, char16_t c) {
    switch (c) {
        case u'\n':
            out += QLatin1String("\\n");
            return;
        case u'\r':
            out += QLatin1String("\\r");
            return;
        case u'\t':
            out += QLatin1String("\\t");
            return;
        default:
            out += QLatin1String("\\u") +
                   QStringLiteral("%1").arg(unsigned(c), 4, 16, QLatin1Char('0')).toUpper();
    }
}

void appendEscaped(QString& out, QStringView text) {
    for (const QChar ch : text) {
        if (needsEscape(ch.unicode())) {
            appendEscaped(out, ch.unicode());
        } else {
            out += ch;
        }
    }
}

// The first `count` characters, one fewer when the cut would split a pair.
QStringView head(QStringView text, qsizetype count) {
    QStringView kept = text.first(count);
    if (kept.back().isHighSurrogate()) kept.chop(1);
    return kept;
}

// The last `count` characters, one fewer when the cut would split a pair.
QStringView tail(QStringView text, qsizetype count) {
    QStringView kept = text.last(count);
    if (kept.front().isLowSurrogate()) kept = kept.sliced(1);
    return kept;
}

}  // namespace

QString shown(QStringView value) {
    const bool cut = value.size() > MaxShownCharacters;
    QString out;
    out.reserve(std::min(value.size(), MaxShownCharacters) + 8);
    appendEscaped(out, cut ? head(value, MaxShownCharacters) : value);
    if (cut) out += QChar(0x2026);
    return out;
}

QString shownPath(QStringView path) {
    QString out;
    if (path.size() <= MaxShownPathCharacters) {
        appendEscaped(out, path);
        return out;
    }
    const qsizetype half = MaxShownPathCharacters / 2;
    appendEscaped(out, head(path, half));
    out += QChar(0x2026);
    appendEscaped(out, tail(path, half));
    return out;
}

}  // namespace shownvalue
