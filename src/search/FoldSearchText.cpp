#include "search/FoldSearchText.h"

qsizetype foldSearchTextInto(QStringView text, char16_t* out) {
    const char16_t* begin = text.utf16();
    const char16_t* end = begin + text.size();
    while (begin < end && *begin <= 32) ++begin;
    while (end > begin && end[-1] <= 32) --end;
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
