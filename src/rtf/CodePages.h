#pragma once

#include <QByteArray>
#include <QString>

#include <memory>
#include <unordered_map>
#include <vector>

struct UConverter;

// Windows code pages through ICU's converters. A single-byte page is a table of
// 256 characters; a multi-byte page (932, 936, 949, 950, ...) converts whole
// byte runs. An unknown page falls back to Windows-1252.
namespace codepages {

// The code page of an RTF font's \fcharset, or 0 when the charset means "the
// document's ANSI code page" (0 ANSI, 1 default and any charset not listed).
// The symbol charset (2) gives SymbolCodePage.
int forCharset(int charset);

// A pseudo code page: the bytes of the Symbol font read as the characters its
// glyphs show (Greek letters, operators, arrows, the bullet at 0xB7 ...), so
// that any text font can draw them.
constexpr int SymbolCodePage = -2;

// What byte `byte` of the Symbol font shows: U+FFFD for the bytes from 0x20 up
// that have no glyph there, the byte itself below 0x20.
char16_t symbolCharacter(unsigned char byte);

// Word writes a Symbol glyph as \uN in the private range U+F020 to U+F0FF
// (U+F0B7 for the bullet); the byte is the code's low eight bits.
constexpr bool isSymbolPrivateUse(char32_t code) { return code >= 0xF020 && code <= 0xF0FF; }

class Codec {
public:
    explicit Codec(int codePage);
    ~Codec();
    Codec(const Codec&) = delete;
    Codec& operator=(const Codec&) = delete;

    bool singleByte() const { return cnv_ == nullptr; }
    char16_t at(unsigned char byte) const { return table_[byte]; }
    // Appends the characters of `bytes` to `out`.
    void decode(const char* bytes, qsizetype size, QString& out) const;

private:
    char16_t table_[256];
    UConverter* cnv_ = nullptr;  // only for multi-byte pages
};

// Codecs opened once and kept for the life of the cache.
class CodecCache {
public:
    const Codec& get(int codePage);

private:
    std::unordered_map<int, std::unique_ptr<Codec>> codecs_;
};

// The whole of `bytes` in one code page.
QString decode(const QByteArray& bytes, int codePage);

}  // namespace codepages
