#include "search/FoldSearchText.h"

qsizetype foldSearchTextInto(QStringView text, char16_t* out) {
    text = trimForFolding(text);
    const char16_t* begin = text.utf16();
    const char16_t* end = begin + text.size();
    char16_t* w = out;
    for (const char16_t* p = begin; p < end; ++p) *w++ = foldSearchChar(*p);
    return w - out;
}

QString FoldSearchText(const QString& text) {
    QString folded(text.size(), Qt::Uninitialized);
    const qsizetype length = foldSearchTextInto(text, reinterpret_cast<char16_t*>(folded.data()));
    folded.truncate(length);
    return folded;
}

QString foldToPlainLatin(QString text) {
    for (QChar& c : text) {
        switch (c.unicode()) {
            case 0x00E7:  // ç
                c = u'c';
                break;
            case 0x011F:  // ğ
                c = u'g';
                break;
            case 0x0131:  // ı
                c = u'i';
                break;
            case 0x00F6:  // ö
                c = u'o';
                break;
            case 0x015F:  // ş
                c = u's';
                break;
            case 0x00FC:  // ü
                c = u'u';
                break;
            case 0x00C7:  // Ç
                c = u'C';
                break;
            case 0x011E:  // Ğ
                c = u'G';
                break;
            case 0x0130:  // İ
                c = u'I';
                break;
            case 0x00D6:  // Ö
                c = u'O';
                break;
            case 0x015E:  // Ş
                c = u'S';
                break;
            case 0x00DC:  // Ü
                c = u'U';
                break;
            default:
                break;
        }
    }
    return text;
}
