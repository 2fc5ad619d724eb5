#include "text/FoldSearchText.h"

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

QString toPlainLatin(QString folded) {
    for (QChar& c : folded) c = QChar(plainLatinChar(c.unicode()));
    return folded;
}

QString FoldSearchText(const QString& text, bool plainLatin) {
    return plainLatin ? toPlainLatin(FoldSearchText(text)) : FoldSearchText(text);
}
