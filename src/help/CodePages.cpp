#include "help/CodePages.h"

#include <unicode/ucnv.h>

#include <string>

namespace codepages {

namespace {

UConverter* openConverter(int codePage) {
    const std::string number = std::to_string(codePage);
    for (const std::string& name : {"windows-" + number, "cp" + number, "ibm-" + number}) {
        UErrorCode status = U_ZERO_ERROR;
        UConverter* cnv = ucnv_open(name.c_str(), &status);
        if (U_SUCCESS(status) && cnv != nullptr) return cnv;
        if (cnv != nullptr) ucnv_close(cnv);
    }
    return nullptr;
}

}  // namespace

int forCharset(int charset) {
    switch (charset) {
        case 0:  // ANSI_CHARSET: Western, whatever the document's code page
            return 1252;
        case 2:
            return SymbolCodePage;
        case 77:
            return 10000;
        case 128:
            return 932;
        case 129:
            return 949;
        case 130:
            return 1361;
        case 134:
            return 936;
        case 136:
            return 950;
        case 161:
            return 1253;
        case 162:
            return 1254;
        case 163:
            return 1258;
        case 177:
            return 1255;
        case 178:
            return 1256;
        case 186:
            return 1257;
        case 204:
            return 1251;
        case 222:
            return 874;
        case 238:
            return 1250;
        case 254:
            return 437;
        case 255:
            return 850;
        default:
            return 0;
    }
}

Codec::Codec(int codePage) {
    for (int b = 0; b < 256; ++b) table_[b] = static_cast<char16_t>(b);
    const bool symbol = codePage == SymbolCodePage;
    UConverter* cnv = openConverter(symbol ? 1252 : codePage);
    if (cnv == nullptr && codePage != 1252) cnv = openConverter(1252);
    if (cnv == nullptr) return;  // Latin-1 then
    if (ucnv_getMaxCharSize(cnv) > 1) {
        cnv_ = cnv;
        return;
    }
    for (int b = 0; b < 256; ++b) {
        const char byte = static_cast<char>(b);
        UChar out[4];
        UErrorCode status = U_ZERO_ERROR;
        const int32_t n = ucnv_toUChars(cnv, out, 4, &byte, 1, &status);
        table_[b] = U_SUCCESS(status) && n == 1 ? out[0] : u'\uFFFD';
        ucnv_reset(cnv);
    }
    ucnv_close(cnv);
    if (symbol) table_[0xB7] = u'\u2022';
}

Codec::~Codec() {
    if (cnv_ != nullptr) ucnv_close(cnv_);
}

void Codec::decode(const char* bytes, qsizetype size, QString& out) const {
    if (size <= 0) return;
    if (cnv_ == nullptr) {
        const qsizetype start = out.size();
        out.resize(start + size);
        QChar* dst = out.data() + start;
        for (qsizetype i = 0; i < size; ++i) {
            dst[i] = QChar(table_[static_cast<unsigned char>(bytes[i])]);
        }
        return;
    }
    // No page yields more than two UTF-16 units per byte.
    const qsizetype room = 2 * size + 2;
    const qsizetype start = out.size();
    out.resize(start + room);
    UErrorCode status = U_ZERO_ERROR;
    ucnv_reset(cnv_);
    const int32_t n =
        ucnv_toUChars(cnv_, reinterpret_cast<UChar*>(out.data() + start),
                      static_cast<int32_t>(room), bytes, static_cast<int32_t>(size), &status);
    ucnv_reset(cnv_);
    out.resize(start + (U_SUCCESS(status) || status == U_STRING_NOT_TERMINATED_WARNING
                            ? qMin<qsizetype>(n, room)
                            : 0));
}

const Codec& CodecCache::get(int codePage) {
    auto it = codecs_.find(codePage);
    if (it == codecs_.end())
        it = codecs_.emplace(codePage, std::make_unique<Codec>(codePage)).first;
    return *it->second;
}

QString decode(const QByteArray& bytes, int codePage) {
    const Codec codec(codePage);
    QString out;
    out.reserve(bytes.size());
    codec.decode(bytes.constData(), bytes.size(), out);
    return out;
}

}  // namespace codepages
