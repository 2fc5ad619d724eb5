#include "text/RowTextBlock.h"

#include <algorithm>
#include <cstring>

#include "text/FoldSearchText.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define MESLEK_SCAN_X86 1
#endif

namespace {

std::size_t unitSize(char16_t c) { return 1 + std::size_t(c >= 0x80) + std::size_t(c >= 0x800); }

unsigned char* putUnit(char16_t c, unsigned char* out) {
    if (c < 0x80) {
        *out++ = static_cast<unsigned char>(c);
    } else if (c < 0x800) {
        *out++ = static_cast<unsigned char>(0xC0 | (c >> 6));
        *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    } else {
        *out++ = static_cast<unsigned char>(0xE0 | (c >> 12));
        *out++ = static_cast<unsigned char>(0x80 | ((c >> 6) & 0x3F));
        *out++ = static_cast<unsigned char>(0x80 | (c & 0x3F));
    }
    return out;
}

const char16_t* units(QStringView text) { return reinterpret_cast<const char16_t*>(text.utf16()); }

}  // namespace

std::size_t scanFormSize(QStringView text) {
    std::size_t size = 0;
    for (const char16_t c : std::u16string_view(units(text), std::size_t(text.size()))) {
        size += unitSize(c);
    }
    return size;
}

unsigned char* writeScanForm(QStringView text, unsigned char* out) {
    for (const char16_t c : std::u16string_view(units(text), std::size_t(text.size()))) {
        out = putUnit(c, out);
    }
    return out;
}

std::string scanForm(QStringView text) {
    std::string form(scanFormSize(text), '\0');
    writeScanForm(text, reinterpret_cast<unsigned char*>(form.data()));
    return form;
}

std::size_t foldedScanFormSize(QStringView text) {
    text = trimForFolding(text);
    std::size_t size = 0;
    // Folding changes the size of two letters only: I (1 byte) becomes ı (2)
    // and İ (2) becomes i (1).
    for (const char16_t c : std::u16string_view(units(text), std::size_t(text.size()))) {
        size += unitSize(c) + std::size_t(c == u'I') - std::size_t(c == 0x0130);
    }
    return size;
}

unsigned char* writeFoldedScanForm(QStringView text, unsigned char* out) {
    text = trimForFolding(text);
    for (const char16_t c : std::u16string_view(units(text), std::size_t(text.size()))) {
        out = putUnit(foldSearchChar(c), out);
    }
    return out;
}

RowTextBlock::RowTextBlock(std::vector<std::uint32_t> start)
    : start_(std::move(start)), bytes_(new unsigned char[start_.back() + Padding]) {
    for (std::size_t row = 1; row < start_.size(); ++row) bytes_[start_[row] - 1] = Separator;
    std::memset(bytes_.get() + start_.back(), Separator, Padding);
}

RowTextBlock RowTextBlock::rearranged(const std::vector<std::uint32_t>& from) const {
    RowTextBlock out;
    out.start_.resize(from.size() + 1);
    out.bytes_.reset(new unsigned char[size() + Padding]);
    // One pass: each row with its separator, written where the last one ended.
    // The rows come from all over the block: where a row starts is asked for
    // a few rows ahead, and its text a little later, so that both are at hand.
    constexpr std::size_t startAhead = 16;
    constexpr std::size_t textAhead = 8;
    std::uint32_t used = 0;
    for (std::size_t row = 0; row < from.size(); ++row) {
        if (row + startAhead < from.size()) __builtin_prefetch(&start_[from[row + startAhead]]);
        if (row + textAhead < from.size()) {
            const unsigned char* text = bytes_.get() + start_[from[row + textAhead]];
            __builtin_prefetch(text);
            __builtin_prefetch(text + 64);
        }
        out.start_[row] = used;
        const std::uint32_t at = start_[from[row]];
        const std::uint32_t length = start_[from[row] + 1] - at;
        std::memcpy(out.bytes_.get() + used, bytes_.get() + at, length);
        used += length;
    }
    out.start_[from.size()] = used;
    std::memset(out.bytes_.get() + used, Separator, Padding);
    return out;
}

int RowTextBlock::firstRowWith(std::string_view needle, int lo, int hi) const {
    if (needle.empty() || lo >= hi) return hi;
    const std::size_t at =
        byte_scan::findFirst(byte_scan::Kernel::Best, bytes_.get(), size(), start_[std::size_t(lo)],
                             start_[std::size_t(hi)], needle);
    if (at == byte_scan::npos) return hi;
    // Hits are looked for from `lo` on: gallop up from there.
    const std::uint32_t* s = start_.data();
    const std::size_t n = start_.size();
    std::size_t below = std::size_t(lo);  // s[below] <= at
    std::size_t above = below + 1;
    for (std::size_t step = 1; above < n && s[above] <= at; step *= 2) {
        below = above;
        above = below + step;
    }
    above = std::min(above, n);
    return int(std::upper_bound(s + below + 1, s + above, at) - s) - 1;
}

int RowTextBlock::lastRowWith(std::string_view needle, int lo, int hi) const {
    if (needle.empty() || lo >= hi) return lo - 1;
    const std::size_t at =
        byte_scan::findLast(byte_scan::Kernel::Best, bytes_.get(), size(), start_[std::size_t(lo)],
                            start_[std::size_t(hi)], needle);
    if (at == byte_scan::npos) return lo - 1;
    // Hits are looked for from `hi` down: gallop down from there.
    const std::uint32_t* s = start_.data();
    std::size_t above = std::size_t(hi);  // s[above] > at
    std::size_t below = above - 1;
    for (std::size_t step = 1; below > 0 && s[below] > at; step *= 2) {
        above = below;
        below = above > step ? above - step : 0;
    }
    return int(std::upper_bound(s + below, s + above, at) - s) - 1;
}

// The scans. Each looks at candidate offsets in [begin, limit), where limit
// keeps a match inside `size`: a candidate is an offset where the needle's
// first and last bytes both stand, and only candidates are compared whole.
// The vector kernels test 16 or 32 offsets at once; their loads reach at most
// Padding - 1 bytes past `size`.
namespace byte_scan {
namespace {

bool middleMatches(const unsigned char* at, std::string_view needle) {
    return needle.size() <= 2 || std::memcmp(at + 1, needle.data() + 1, needle.size() - 2) == 0;
}

std::size_t plainFirst(const unsigned char* data, std::size_t begin, std::size_t limit,
                       std::string_view needle) {
    const auto first = static_cast<unsigned char>(needle.front());
    const auto last = static_cast<unsigned char>(needle.back());
    const std::size_t shift = needle.size() - 1;
    for (std::size_t at = begin; at < limit; ++at) {
        if (data[at] == first && data[at + shift] == last && middleMatches(data + at, needle)) {
            return at;
        }
    }
    return npos;
}

std::size_t plainLast(const unsigned char* data, std::size_t begin, std::size_t limit,
                      std::string_view needle) {
    const auto first = static_cast<unsigned char>(needle.front());
    const auto last = static_cast<unsigned char>(needle.back());
    const std::size_t shift = needle.size() - 1;
    for (std::size_t at = limit; at > begin; --at) {
        const std::size_t i = at - 1;
        if (data[i] == first && data[i + shift] == last && middleMatches(data + i, needle)) {
            return i;
        }
    }
    return npos;
}

#ifdef MESLEK_SCAN_X86

std::uint32_t sse2Mask(const unsigned char* p, std::size_t shift, __m128i first, __m128i last) {
    const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + shift));
    return static_cast<std::uint32_t>(
        _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(a, first), _mm_cmpeq_epi8(b, last))));
}

std::size_t sse2First(const unsigned char* data, std::size_t begin, std::size_t limit,
                      std::string_view needle) {
    const __m128i first = _mm_set1_epi8(needle.front());
    const __m128i last = _mm_set1_epi8(needle.back());
    const std::size_t shift = needle.size() - 1;
    for (std::size_t at = begin; at < limit; at += 16) {
        std::uint32_t mask = sse2Mask(data + at, shift, first, last);
        if (limit - at < 16) mask &= (1u << (limit - at)) - 1;
        for (; mask != 0; mask &= mask - 1) {
            const std::size_t i = at + std::size_t(__builtin_ctz(mask));
            if (middleMatches(data + i, needle)) return i;
        }
    }
    return npos;
}

std::size_t sse2Last(const unsigned char* data, std::size_t begin, std::size_t limit,
                     std::string_view needle) {
    const __m128i first = _mm_set1_epi8(needle.front());
    const __m128i last = _mm_set1_epi8(needle.back());
    const std::size_t shift = needle.size() - 1;
    for (std::size_t end = limit; end > begin;) {
        const std::size_t at = end - begin >= 16 ? end - 16 : begin;
        std::uint32_t mask = sse2Mask(data + at, shift, first, last);
        if (end - at < 16) mask &= (1u << (end - at)) - 1;
        while (mask != 0) {
            const int bit = 31 - __builtin_clz(mask);
            if (middleMatches(data + at + std::size_t(bit), needle)) return at + std::size_t(bit);
            mask &= ~(1u << bit);
        }
        end = at;
    }
    return npos;
}

__attribute__((target("avx2"))) std::uint32_t avx2Mask(const unsigned char* p, std::size_t shift,
                                                       __m256i first, __m256i last) {
    const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
    const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + shift));
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(
        _mm256_and_si256(_mm256_cmpeq_epi8(a, first), _mm256_cmpeq_epi8(b, last))));
}

__attribute__((target("avx2"))) std::size_t avx2First(const unsigned char* data, std::size_t begin,
                                                      std::size_t limit, std::string_view needle) {
    const __m256i first = _mm256_set1_epi8(needle.front());
    const __m256i last = _mm256_set1_epi8(needle.back());
    const std::size_t shift = needle.size() - 1;
    for (std::size_t at = begin; at < limit; at += 32) {
        std::uint32_t mask = avx2Mask(data + at, shift, first, last);
        if (limit - at < 32) mask &= (1u << (limit - at)) - 1;
        for (; mask != 0; mask &= mask - 1) {
            const std::size_t i = at + std::size_t(__builtin_ctz(mask));
            if (middleMatches(data + i, needle)) return i;
        }
    }
    return npos;
}

__attribute__((target("avx2"))) std::size_t avx2Last(const unsigned char* data, std::size_t begin,
                                                     std::size_t limit, std::string_view needle) {
    const __m256i first = _mm256_set1_epi8(needle.front());
    const __m256i last = _mm256_set1_epi8(needle.back());
    const std::size_t shift = needle.size() - 1;
    for (std::size_t end = limit; end > begin;) {
        const std::size_t at = end - begin >= 32 ? end - 32 : begin;
        std::uint32_t mask = avx2Mask(data + at, shift, first, last);
        if (end - at < 32) mask &= (1u << (end - at)) - 1;
        while (mask != 0) {
            const int bit = 31 - __builtin_clz(mask);
            if (middleMatches(data + at + std::size_t(bit), needle)) return at + std::size_t(bit);
            mask &= ~(1u << bit);
        }
        end = at;
    }
    return npos;
}

bool hasAvx2() {
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2;
}

#endif

Kernel resolve(Kernel kernel) {
    if (kernel != Kernel::Best) return kernel;
#ifdef MESLEK_SCAN_X86
    return hasAvx2() ? Kernel::Avx2 : Kernel::Sse2;
#else
    return Kernel::Plain;
#endif
}

// The end of the candidates: a match starting there or later would pass `size`.
std::size_t candidateLimit(std::size_t size, std::size_t end, std::size_t needleSize) {
    if (needleSize > size) return 0;
    return std::min(end, size - needleSize + 1);
}

}  // namespace

bool available(Kernel kernel) {
#ifdef MESLEK_SCAN_X86
    return kernel != Kernel::Avx2 || hasAvx2();
#else
    return kernel == Kernel::Plain || kernel == Kernel::Best;
#endif
}

std::size_t findFirst(Kernel kernel, const unsigned char* data, std::size_t size, std::size_t begin,
                      std::size_t end, std::string_view needle) {
    const std::size_t limit = candidateLimit(size, end, needle.size());
    if (needle.empty() || begin >= limit) return npos;
    switch (resolve(kernel)) {
#ifdef MESLEK_SCAN_X86
        case Kernel::Avx2:
            return avx2First(data, begin, limit, needle);
        case Kernel::Sse2:
            return sse2First(data, begin, limit, needle);
#endif
        default:
            return plainFirst(data, begin, limit, needle);
    }
}

std::size_t findLast(Kernel kernel, const unsigned char* data, std::size_t size, std::size_t begin,
                     std::size_t end, std::string_view needle) {
    const std::size_t limit = candidateLimit(size, end, needle.size());
    if (needle.empty() || begin >= limit) return npos;
    switch (resolve(kernel)) {
#ifdef MESLEK_SCAN_X86
        case Kernel::Avx2:
            return avx2Last(data, begin, limit, needle);
        case Kernel::Sse2:
            return sse2Last(data, begin, limit, needle);
#endif
        default:
            return plainLast(data, begin, limit, needle);
    }
}

}  // namespace byte_scan
