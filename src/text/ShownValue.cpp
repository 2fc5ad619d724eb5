#include "text/ShownValue.h"

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

}  // namespace

QString shown(QStringView value) {
    const bool cut = value.size() > MaxShownCharacters;
    QStringView kept = cut ? value.first(MaxShownCharacters) : value;
    // A surrogate pair is never split by the cut.
    if (cut && kept.back().isHighSurrogate()) kept.chop(1);
    QString out;
    out.reserve(kept.size() + 8);
    for (const QChar ch : kept) {
        if (needsEscape(ch.unicode())) {
            appendEscaped(out, ch.unicode());
        } else {
            out += ch;
        }
    }
    if (cut) out += QChar(0x2026);
    return out;
}

}  // namespace shownvalue
