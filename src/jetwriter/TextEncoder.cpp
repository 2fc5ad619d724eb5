#include "jetwriter/TextEncoder.h"

#include <QString>

#include <algorithm>
#include <limits>

#include "jetwriter/FileFormat.h"

namespace jet4 {

void TextEncoder::append(const char16_t* s, qsizetype n, bool allowCompression,
                         std::vector<unsigned char>& out) {
    if (allowCompression && n > 0 && planCompressed(s, n)) {
        emitCompressed(s, n, out);
        return;
    }
    if (n > 0 && s[0] == 0xFEFF)
        fail(QStringLiteral("text starting with U+FEFF cannot be stored uncompressed"));
    const std::size_t at = out.size();
    out.resize(at + 2 * static_cast<std::size_t>(n));
    for (qsizetype i = 0; i < n; ++i) {
        out[at + 2 * i] = static_cast<unsigned char>(s[i]);
        out[at + 2 * i + 1] = static_cast<unsigned char>(s[i] >> 8);
    }
}

// Finds the shortest mix of one-byte and two-byte segments (a 0x00 byte
// switches between them). Returns false when the plain form is as short,
// or when some character cannot appear in the compressed form at all.
bool TextEncoder::planCompressed(const char16_t* s, qsizetype n) {
    constexpr int Unreachable = std::numeric_limits<int>::max() / 4;
    fromNarrow_.resize(static_cast<std::size_t>(n));
    fromWide_.resize(static_cast<std::size_t>(n));
    int narrow = 0;  // cost so far when the last character was written narrow
    int wide = Unreachable;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = s[i];
        const bool canNarrow = c >= 0x01 && c <= 0xFF;
        const bool canWide = (c & 0xFF) != 0;  // a zero first byte would read as a switch
        if (!canNarrow && !canWide) return false;
        int nextNarrow = Unreachable;
        int nextWide = Unreachable;
        if (canNarrow) {
            fromNarrow_[i] = narrow <= wide + 1 ? Narrow : Wide;
            nextNarrow = std::min(narrow, wide + 1) + 1;
        }
        if (canWide) {
            fromWide_[i] = wide <= narrow + 1 ? Wide : Narrow;
            nextWide = std::min(wide, narrow + 1) + 2;
        }
        narrow = nextNarrow;
        wide = nextWide;
    }
    const int best = std::min(narrow, wide);
    if (2 + best >= 2 * n && s[0] != 0xFEFF) return false;

    modes_.resize(static_cast<std::size_t>(n));
    std::uint8_t mode = narrow <= wide ? Narrow : Wide;
    for (qsizetype i = n - 1; i >= 0; --i) {
        modes_[i] = mode;
        mode = mode == Narrow ? fromNarrow_[i] : fromWide_[i];
    }
    return true;
}

void TextEncoder::emitCompressed(const char16_t* s, qsizetype n, std::vector<unsigned char>& out) {
    out.push_back(0xFF);
    out.push_back(0xFE);
    std::uint8_t mode = Narrow;
    for (qsizetype i = 0; i < n; ++i) {
        if (modes_[i] != mode) {
            out.push_back(0x00);
            mode = modes_[i];
        }
        out.push_back(static_cast<unsigned char>(s[i]));
        if (mode == Wide) out.push_back(static_cast<unsigned char>(s[i] >> 8));
    }
}

}  // namespace jet4
