#pragma once

#include <QStringView>

#include <cstddef>
#include <optional>
#include <string_view>

// The forms in which meslek-ara writes the list, each UTF-8 (a lone surrogate
// becomes U+FFFD, so the output is always valid UTF-8):
//   tsv   per row: code, a tab, the name, LF; a tab, CR or LF inside a value
//         becomes a blank, so that every row is one line
//   csv   RFC 4180: the header "meslek_kodu,meslek_adi", then per row code,
//         a comma and the name; a field holding a comma, a double quote, CR or
//         LF is quoted, with its quotes doubled; every line ends in CR LF
//   json  an array of objects {"kod": ..., "ad": ...}, one row a line; quotes,
//         backslashes, control characters and U+2028/U+2029 are escaped
// A null value is written as empty text.
enum class OutputFormat { Tsv, Csv, Json };

// "tsv", "csv" or "json" (exactly so); nothing for any other name.
std::optional<OutputFormat> outputFormatNamed(QStringView name);

// Writes a whole list in one format: the opening, the rows, the closing. Rows
// are written at a raw pointer with room for rowBound() bytes, since the
// command line writes very many of them.
class ListFormat {
public:
    explicit ListFormat(OutputFormat format) : format_(format) {}
    OutputFormat format() const { return format_; }

    // Bytes before the first row and after the last.
    std::string_view opening() const;
    std::string_view closing(bool anyRows) const;

    // The most bytes row() writes for these values.
    std::size_t rowBound(QStringView code, QStringView name) const;
    // Writes one row at `out` and returns the end of what was written.
    // `first`: the first row of the list (JSON separates rows by commas).
    char* row(char* out, QStringView code, QStringView name, bool first) const;

private:
    OutputFormat format_;
};
