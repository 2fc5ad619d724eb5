#pragma once

#include <QByteArrayView>

#include "rtf/RtfWords.h"

// The bytes of an RTF file as tokens: group braces, control words with their
// parameters, control symbols, `\'hh` bytes, text bytes and `\bin` data. It
// knows nothing of what the words mean, except that `\bin` is followed by
// that many bytes of data. Line ends and NUL bytes between tokens are dropped,
// as RTF wants. The limits of RtfReader.h apply: a control word longer than
// MaxControlWordLength is Word::Unknown, parameters saturate at MaxParameter,
// and `\bin` data is bounded by the bytes that are there.
namespace rtf {

// The value of a hex digit, or -1.
int hexDigitValue(char c);

struct Token {
    enum class Kind {
        End,
        OpenGroup,
        CloseGroup,
        ControlWord,    // word, hasParameter, parameter; for \bin also data
        ControlSymbol,  // symbol: a backslash and one character other than '
        HexByte,        // byte: 0 to 255, or -1 for fewer than two hex digits
        Text,           // byte
    };
    Kind kind = Kind::End;
    WordInfo word{Word::Unknown};
    bool hasParameter = false;
    int parameter = 0;
    char symbol = 0;
    int byte = -1;
    QByteArrayView data;
};

class Lexer {
public:
    explicit Lexer(QByteArrayView rtf) : p_(rtf.data()), end_(rtf.data() + rtf.size()) {}

    // The next token; Kind::End once the bytes are used up.
    Token next();

private:
    Token controlSequence();
    Token hexByte();

    const char* p_;
    const char* end_;
};

}  // namespace rtf
