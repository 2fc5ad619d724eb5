#include "rtf/CodePages.h"

#include <unicode/ucnv.h>

#include <iterator>
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

// The Symbol font's glyphs from 0x20 to 0xFF as characters. Where a glyph is
// a piece of a tall bracket or integral, the piece's own character; the
// radical's extension, which has none, is the overline it looks like. 0xFFFD:
// no glyph.
constexpr char16_t SymbolTable[] = {
    // 0x20: punctuation and digits, with for all (0x22), there exists (0x24),
    // such that (0x27), the asterisk operator (0x2A) and minus (0x2D)
    0x0020, 0x0021, 0x2200, 0x0023, 0x2203, 0x0025, 0x0026, 0x220B,  //
    0x0028, 0x0029, 0x2217, 0x002B, 0x002C, 0x2212, 0x002E, 0x002F,  //
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037,  //
    0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F,  //
    // 0x40: congruent, then the capital Greek letters in Latin order
    0x2245, 0x0391, 0x0392, 0x03A7, 0x0394, 0x0395, 0x03A6, 0x0393,  //
    0x0397, 0x0399, 0x03D1, 0x039A, 0x039B, 0x039C, 0x039D, 0x039F,  //
    0x03A0, 0x0398, 0x03A1, 0x03A3, 0x03A4, 0x03A5, 0x03C2, 0x03A9,  //
    0x039E, 0x03A8, 0x0396, 0x005B, 0x2234, 0x005D, 0x22A5, 0x005F,  //
    // 0x60: radical extension, then the small Greek letters
    0x203E, 0x03B1, 0x03B2, 0x03C7, 0x03B4, 0x03B5, 0x03C6, 0x03B3,  //
    0x03B7, 0x03B9, 0x03D5, 0x03BA, 0x03BB, 0x03BC, 0x03BD, 0x03BF,  //
    0x03C0, 0x03B8, 0x03C1, 0x03C3, 0x03C4, 0x03C5, 0x03D6, 0x03C9,  //
    0x03BE, 0x03C8, 0x03B6, 0x007B, 0x007C, 0x007D, 0x223C, 0xFFFD,  //
    // 0x80 to 0x9F: nothing
    0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD,  //
    0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD,  //
    0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD,  //
    0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD,  //
    // 0xA0: euro, upsilon with hook, prime, card suits, arrows
    0x20AC, 0x03D2, 0x2032, 0x2264, 0x2044, 0x221E, 0x0192, 0x2663,  //
    0x2666, 0x2665, 0x2660, 0x2194, 0x2190, 0x2191, 0x2192, 0x2193,  //
    // 0xB0: degree, plus-minus, double prime ... bullet (0xB7), ellipsis (0xBC)
    0x00B0, 0x00B1, 0x2033, 0x2265, 0x00D7, 0x221D, 0x2202, 0x2022,  //
    0x00F7, 0x2260, 0x2261, 0x2248, 0x2026, 0x23D0, 0x23AF, 0x21B5,  //
    // 0xC0: alef, fraktur I and R, Weierstrass p, set operators
    0x2135, 0x2111, 0x211C, 0x2118, 0x2297, 0x2295, 0x2205, 0x2229,  //
    0x222A, 0x2283, 0x2287, 0x2284, 0x2282, 0x2286, 0x2208, 0x2209,  //
    // 0xD0: angle, nabla, serif registered, copyright and trade marks, logic,
    // double arrows
    0x2220, 0x2207, 0x00AE, 0x00A9, 0x2122, 0x220F, 0x221A, 0x22C5,  //
    0x00AC, 0x2227, 0x2228, 0x21D4, 0x21D0, 0x21D1, 0x21D2, 0x21D3,  //
    // 0xE0: lozenge, angle bracket, sans-serif marks, sum, bracket pieces
    0x25CA, 0x2329, 0x00AE, 0x00A9, 0x2122, 0x2211, 0x239B, 0x239C,  //
    0x239D, 0x23A1, 0x23A2, 0x23A3, 0x23A7, 0x23A8, 0x23A9, 0x23AA,  //
    // 0xF0: nothing, angle bracket, integral and its pieces, bracket pieces
    0xFFFD, 0x232A, 0x222B, 0x2320, 0x23AE, 0x2321, 0x239E, 0x239F,  //
    0x23A0, 0x23A4, 0x23A5, 0x23A6, 0x23AB, 0x23AC, 0x23AD, 0xFFFD,  //
};
static_assert(std::size(SymbolTable) == 0x100 - 0x20);

}  // namespace

char16_t symbolCharacter(unsigned char byte) {
    return byte < 0x20 ? char16_t(byte) : SymbolTable[byte - 0x20];
}

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
    if (codePage == SymbolCodePage) {
        for (int b = 0; b < 256; ++b) table_[b] = symbolCharacter(static_cast<unsigned char>(b));
        return;
    }
    for (int b = 0; b < 256; ++b) table_[b] = static_cast<char16_t>(b);
    UConverter* cnv = openConverter(codePage);
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
