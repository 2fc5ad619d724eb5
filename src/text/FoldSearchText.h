#pragma once

#include <QString>
#include <QStringView>

// The form in which occupation names and search terms are compared: characters
// of code 32 or less trimmed from both ends, and the capitals A-Z, Ç, Ğ, İ, Ö,
// Ş and Ü replaced by their small forms under Turkish rules (I becomes ı, İ
// becomes i). Every other character, other capitals included (Â, Î, É, ...),
// stays as it is, so the result is as long as the trimmed text.
QString FoldSearchText(const QString& text);

// `text` without the characters of code 32 or less at either end.
inline QStringView trimForFolding(QStringView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32) ++begin;
    while (end > begin && text[end - 1].unicode() <= 32) --end;
    return text.sliced(begin, end - begin);
}

// The same, written to `out` (room for text.size() characters); returns the
// number of characters written.
qsizetype foldSearchTextInto(QStringView text, char16_t* out);

// One character folded; no trimming.
inline char16_t foldSearchChar(char16_t c) {
    if (c < 0x80) {
        if (c >= u'A' && c <= u'Z') return c == u'I' ? char16_t(0x0131) : char16_t(c + 0x20);
        return c;
    }
    switch (c) {
        case 0x0130:
            return u'i';  // İ
        case 0x00C7:
            return 0x00E7;  // Ç
        case 0x011E:
            return 0x011F;  // Ğ
        case 0x00D6:
            return 0x00F6;  // Ö
        case 0x00DC:
            return 0x00FC;  // Ü
        case 0x015E:
            return 0x015F;  // Ş
        default:
            return c;
    }
}

// A folded character in its plain Latin form: ç, ğ, ı, ö, ş, ü become c, g,
// i, o, s, u; everything else stays. For searching without Turkish letters
// (meslek-ara --ascii), applied after folding to both the name and the term,
// so no capital is left to take.
inline char16_t plainLatinChar(char16_t c) {
    switch (c) {
        case 0x00E7:
            return u'c';  // ç
        case 0x011F:
            return u'g';  // ğ
        case 0x0131:
            return u'i';  // ı
        case 0x00F6:
            return u'o';  // ö
        case 0x015F:
            return u's';  // ş
        case 0x00FC:
            return u'u';  // ü
        default:
            return c;
    }
}

// A folded text in its plain Latin form (plainLatinChar on every unit).
QString toPlainLatin(QString folded);
// FoldSearchText(text), and with `plainLatin` in its plain Latin form too.
QString FoldSearchText(const QString& text, bool plainLatin);
