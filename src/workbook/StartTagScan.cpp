#include "workbook/StartTagScan.h"

#include <cstring>

namespace xlsx {

bool StartTagScan::feed(QByteArrayView bytes) {
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    for (; width_ == 0 && p < end; ++p)
        if (!takeHead(static_cast<unsigned char>(*p))) return false;
    if (width_ == 1) return scanBytes(p, end);
    for (; p < end; ++p)
        if (!takeUnitByte(static_cast<unsigned char>(*p))) return false;
    return true;
}

bool StartTagScan::takeHead(unsigned char byte) {
    head_[headSize_++] = byte;
    if (headSize_ < 4) return true;
    detectWidth();
    for (const unsigned char b : head_)
        if (!takeUnitByte(b)) return false;
    return true;
}

void StartTagScan::detectWidth() {
    const auto is = [&](unsigned char a, unsigned char b, unsigned char c, unsigned char d) {
        return head_[0] == a && head_[1] == b && head_[2] == c && head_[3] == d;
    };
    if (is(0x00, 0x00, 0xFE, 0xFF) || is(0x00, 0x00, 0x00, '<')) {
        width_ = 4;
    } else if (is(0xFF, 0xFE, 0x00, 0x00) || is('<', 0x00, 0x00, 0x00)) {
        width_ = 4;
        bigEndian_ = false;
    } else if ((head_[0] == 0xFE && head_[1] == 0xFF) || is(0x00, '<', 0x00, '?')) {
        width_ = 2;
    } else if ((head_[0] == 0xFF && head_[1] == 0xFE) || is('<', 0x00, '?', 0x00)) {
        width_ = 2;
        bigEndian_ = false;
    } else {
        width_ = 1;
    }
}

bool StartTagScan::scanBytes(const char* p, const char* const end) {
    while (p < end) {
        p = skipPlain(p, end);
        if (p == end) return true;
        if (!step(*p++)) return false;
    }
    return true;
}

const char* StartTagScan::skipPlain(const char* p, const char* const end) const {
    if (state_ == State::Text || (state_ == State::StartTag && quote_ != '\0')) {
        const char wanted = state_ == State::Text ? '<' : quote_;
        const void* found = std::memchr(p, wanted, static_cast<std::size_t>(end - p));
        return found ? static_cast<const char*>(found) : end;
    }
    const bool start = state_ == State::StartTag;
    if (start || (state_ == State::OtherTag && quote_ == '\0'))
        while (p < end && *p != '"' && *p != '\'' && *p != '>' && (!start || *p != '=')) ++p;
    return p;
}

bool StartTagScan::takeUnitByte(unsigned char byte) {
    if (width_ == 1) return step(byte < 0x80 ? static_cast<char>(byte) : '\0');
    unit_ = bigEndian_ ? (unit_ << 8) | byte : unit_ | (std::uint32_t{byte} << (8 * unitBytes_));
    if (++unitBytes_ < width_) return true;
    const std::uint32_t unit = unit_;
    unit_ = 0;
    unitBytes_ = 0;
    return step(unit < 0x80 ? static_cast<char>(unit) : '\0');
}

bool StartTagScan::step(char c) {
    switch (state_) {
        case State::Text:
            if (c == '<') state_ = State::Open;
            return true;
        case State::Open:
            open(c);
            return true;
        case State::Bang:
            state_ = c == '-' ? State::Comment : c == '[' ? State::CData : State::OtherTag;
            run_ = 0;
            return true;
        case State::StartTag:
            return inStartTag(c);
        case State::OtherTag:
            inOtherTag(c);
            return true;
        case State::Comment:
            closeAfterRun(c, '-', 2);
            return true;
        case State::CData:
            closeAfterRun(c, ']', 2);
            return true;
        case State::Instruction:
            closeAfterRun(c, '?', 1);
            return true;
    }
    return true;
}

void StartTagScan::open(char c) {
    quote_ = '\0';
    attributes_ = 0;
    if (c == '/') {
        state_ = State::OtherTag;
    } else if (c == '?') {
        state_ = State::Instruction;
        run_ = 0;
    } else if (c == '!') {
        state_ = State::Bang;
    } else {
        state_ = State::StartTag;
    }
}

bool StartTagScan::inStartTag(char c) {
    if (quote_ != '\0') {
        if (c == quote_) quote_ = '\0';
    } else if (c == '"' || c == '\'') {
        quote_ = c;
    } else if (c == '=') {
        return ++attributes_ <= limit_;
    } else if (c == '>') {
        state_ = State::Text;
    }
    return true;
}

void StartTagScan::inOtherTag(char c) {
    if (quote_ != '\0') {
        if (c == quote_) quote_ = '\0';
    } else if (c == '"' || c == '\'') {
        quote_ = c;
    } else if (c == '>') {
        state_ = State::Text;
    }
}

void StartTagScan::closeAfterRun(char c, char mark, int needed) {
    if (c == mark) {
        ++run_;
        return;
    }
    if (c == '>' && run_ >= needed) state_ = State::Text;
    run_ = 0;
}

}  // namespace xlsx
