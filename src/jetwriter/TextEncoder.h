#pragma once

#include <QtGlobal>

#include <cstdint>
#include <vector>

// Text in Jet 4's stored form.
namespace jet4 {

class TextEncoder {
public:
    // Appends the stored bytes of `text`: the compressed form when it is
    // shorter (or when the plain form would be mistaken for it), UCS-2LE otherwise.
    void append(const char16_t* s, qsizetype n, bool allowCompression,
                std::vector<unsigned char>& out);

private:
    enum : std::uint8_t { Narrow = 0, Wide = 1 };

    bool planCompressed(const char16_t* s, qsizetype n);
    void emitCompressed(const char16_t* s, qsizetype n, std::vector<unsigned char>& out);

    std::vector<std::uint8_t> fromNarrow_;
    std::vector<std::uint8_t> fromWide_;
    std::vector<std::uint8_t> modes_;
};

}  // namespace jet4
