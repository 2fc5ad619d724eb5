#include "rtf/RtfLexer.h"

#include <algorithm>
#include <string_view>

#include "rtf/RtfReader.h"

namespace rtf {

namespace {

bool isLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

Token Lexer::next() {
    while (p_ < end_) {
        const char c = *p_++;
        Token token;
        switch (c) {
            case '{':
                token.kind = Token::Kind::OpenGroup;
                return token;
            case '}':
                token.kind = Token::Kind::CloseGroup;
                return token;
            case '\\':
                if (p_ >= end_) return {};
                return controlSequence();
            case '\r':
            case '\n':
            case '\0':
                break;
            default:
                token.kind = Token::Kind::Text;
                token.byte = static_cast<unsigned char>(c);
                return token;
        }
    }
    return {};
}

Token Lexer::controlSequence() {
    Token token;
    if (!isLetter(*p_)) {
        const char symbol = *p_++;
        if (symbol == '\'') return hexByte();
        token.kind = Token::Kind::ControlSymbol;
        token.symbol = symbol;
        return token;
    }
    char name[MaxControlWordLength];
    int length = 0;
    bool tooLong = false;
    while (p_ < end_ && isLetter(*p_)) {
        if (length < MaxControlWordLength) {
            name[length++] = *p_;
        } else {
            tooLong = true;
        }
        ++p_;
    }
    bool negative = false;
    qint64 value = 0;
    if (p_ + 1 < end_ && *p_ == '-' && isDigit(p_[1])) {
        negative = true;
        ++p_;
    }
    while (p_ < end_ && isDigit(*p_)) {
        token.hasParameter = true;
        if (value < MaxParameter) value = value * 10 + (*p_ - '0');
        ++p_;
    }
    if (p_ < end_ && *p_ == ' ') ++p_;
    token.kind = Token::Kind::ControlWord;
    token.parameter = static_cast<int>(std::min<qint64>(value, MaxParameter)) * (negative ? -1 : 1);
    token.word = tooLong ? WordInfo{Word::Unknown} : lookupWord(std::string_view(name, length));
    if (token.word.word == Word::Bin) {
        const qsizetype n =
            std::clamp<qsizetype>(token.hasParameter ? token.parameter : 0, 0, end_ - p_);
        token.data = QByteArrayView(p_, n);
        p_ += n;
    }
    return token;
}

// Two hex digits make a byte; a lone digit is dropped.
Token Lexer::hexByte() {
    Token token;
    token.kind = Token::Kind::HexByte;
    int byte = 0;
    int digits = 0;
    while (digits < 2 && p_ < end_ && hexDigitValue(*p_) >= 0) {
        byte = byte * 16 + hexDigitValue(*p_++);
        ++digits;
    }
    token.byte = digits < 2 ? -1 : byte;
    return token;
}

}  // namespace rtf
