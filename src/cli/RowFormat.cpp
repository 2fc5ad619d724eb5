#include "cli/RowFormat.h"

#include <cstring>

namespace {

// Fixed bytes of a row around its two values, in any format: at most
// `,\n{"kod":"` + `","ad":"` + `"}`.
constexpr std::size_t RowOverhead = 32;

char* put(char* out, std::string_view text) {
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

// UTF-16 to UTF-8; `ascii(c, out)` writes an ASCII character (and may escape
// it), `wide(c, out)` may escape a character from U+0080 up and returns
// nullptr to have it encoded as it is.
template <typename Ascii, typename Wide>
char* encode(QStringView text, char* w, Ascii ascii, Wide wide) {
    const char16_t* p = reinterpret_cast<const char16_t*>(text.utf16());
    const char16_t* end = p + text.size();
    while (p < end) {
        char32_t c = *p++;
        if (c < 0x80) {
            w = ascii(static_cast<char>(c), w);
            continue;
        }
        if (c >= 0xD800 && c <= 0xDBFF && p < end && *p >= 0xDC00 && *p <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (*p++ - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        if (char* escaped = wide(c, w)) {
            w = escaped;
            continue;
        }
        if (c < 0x800) {
            *w++ = static_cast<char>(0xC0 | (c >> 6));
        } else {
            if (c < 0x10000) {
                *w++ = static_cast<char>(0xE0 | (c >> 12));
            } else {
                *w++ = static_cast<char>(0xF0 | (c >> 18));
                *w++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            }
            *w++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        }
        *w++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return w;
}

char* asIs(char32_t, char*) { return nullptr; }

char* tsvField(QStringView text, char* w) {
    return encode(
        text, w,
        [](char c, char* out) {
            *out++ = (c == '\t' || c == '\n' || c == '\r') ? ' ' : c;
            return out;
        },
        asIs);
}

char* csvField(QStringView text, char* w) {
    bool quoted = false;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == ',' || u == '"' || u == '\r' || u == '\n') {
            quoted = true;
            break;
        }
    }
    if (!quoted) {
        return encode(
            text, w,
            [](char c, char* out) {
                *out++ = c;
                return out;
            },
            asIs);
    }
    *w++ = '"';
    w = encode(
        text, w,
        [](char c, char* out) {
            if (c == '"') *out++ = '"';
            *out++ = c;
            return out;
        },
        asIs);
    *w++ = '"';
    return w;
}

char* unicodeEscape(char32_t c, char* out) {
    static constexpr char Hex[] = "0123456789abcdef";
    out = put(out, "\\u");
    for (int shift = 12; shift >= 0; shift -= 4) *out++ = Hex[(c >> shift) & 0xF];
    return out;
}

char* jsonString(QStringView text, char* w) {
    *w++ = '"';
    w = encode(
        text, w,
        [](char c, char* out) {
            switch (c) {
                case '"':
                    return put(out, "\\\"");
                case '\\':
                    return put(out, "\\\\");
                case '\b':
                    return put(out, "\\b");
                case '\f':
                    return put(out, "\\f");
                case '\n':
                    return put(out, "\\n");
                case '\r':
                    return put(out, "\\r");
                case '\t':
                    return put(out, "\\t");
                default:
                    if (static_cast<unsigned char>(c) < 0x20) return unicodeEscape(c, out);
                    *out++ = c;
                    return out;
            }
        },
        // Valid JSON as they stand, but they end a line in JavaScript.
        [](char32_t c, char* out) -> char* {
            return c == 0x2028 || c == 0x2029 ? unicodeEscape(c, out) : nullptr;
        });
    *w++ = '"';
    return w;
}

}  // namespace

std::optional<OutputFormat> outputFormatNamed(QStringView name) {
    if (name == u"tsv") return OutputFormat::Tsv;
    if (name == u"csv") return OutputFormat::Csv;
    if (name == u"json") return OutputFormat::Json;
    return std::nullopt;
}

std::string_view ListFormat::opening() const {
    switch (format_) {
        case OutputFormat::Csv:
            return "meslek_kodu,meslek_adi\r\n";
        case OutputFormat::Json:
            return "[";
        case OutputFormat::Tsv:
            break;
    }
    return {};
}

std::string_view ListFormat::closing(bool anyRows) const {
    if (format_ != OutputFormat::Json) return {};
    return anyRows ? "\n]\n" : "]\n";
}

std::size_t ListFormat::rowBound(QStringView code, QStringView name) const {
    // A UTF-16 unit takes at most three bytes (a pair four), a doubled quote
    // two; a JSON escape six.
    const std::size_t perUnit = format_ == OutputFormat::Json ? 6 : 3;
    return perUnit * static_cast<std::size_t>(code.size() + name.size()) + RowOverhead;
}

char* ListFormat::row(char* out, QStringView code, QStringView name, bool first) const {
    switch (format_) {
        case OutputFormat::Tsv:
            out = tsvField(code, out);
            *out++ = '\t';
            out = tsvField(name, out);
            *out++ = '\n';
            return out;
        case OutputFormat::Csv:
            out = csvField(code, out);
            *out++ = ',';
            out = csvField(name, out);
            return put(out, "\r\n");
        case OutputFormat::Json:
            out = put(out, first ? "\n{\"kod\":" : ",\n{\"kod\":");
            out = jsonString(code, out);
            out = put(out, ",\"ad\":");
            out = jsonString(name, out);
            *out++ = '}';
            return out;
    }
    return out;
}
