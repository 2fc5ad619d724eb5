#pragma once

#include <QByteArrayView>

#include <cstdint>

namespace xlsx {

// Counts the attributes of every start tag in the bytes of an XML part before
// the XML reader is given them. QXmlStreamReader compares each attribute of an
// element with all the ones before it, so one tag with n attributes costs it
// n² steps: 40,000 of them take seconds, 160,000 more than a minute. The
// scanner refuses a tag with more than `limit` attributes, and counts one at
// each '=' outside quotes, which is where an attribute can be told apart from
// the name before it in any well-formed tag. A quoted value may hold '>' and
// '=', and comments, CDATA sections, processing instructions and declarations
// may hold anything, so none of them is taken for markup.
//
// The markup of a part is ASCII whether the part is UTF-8, UTF-16 or UTF-32,
// so the scanner reads code units of the width the part's first four bytes
// show (the XML autodetection: a byte order mark or "<?" in the wider form)
// and lets every unit outside ASCII pass as text. Reading UTF-16 as bytes
// would take the low byte of a letter such as м (U+043C) for '<'.
class StartTagScan {
public:
    explicit StartTagScan(int limit) : limit_(limit) {}

    // Scans the next bytes of the part; false once a start tag has had more
    // attributes than the limit.
    bool feed(QByteArrayView bytes);

private:
    enum class State {
        Text,
        Open,         // after '<'
        Bang,         // after "<!"
        StartTag,     // in "<name ...>"
        OtherTag,     // in an end tag or a declaration: up to '>' outside quotes
        Comment,      // up to "-->"
        CData,        // up to "]]>"
        Instruction,  // up to "?>"
    };

    // Collects the first four bytes, then scans them at the width they show.
    bool takeHead(unsigned char byte);
    void detectWidth();

    // One byte a character: the stretches where no byte can change the state
    // are passed over first, since they hold most of a sheet's bytes.
    bool scanBytes(const char* p, const char* const end);

    const char* skipPlain(const char* p, const char* const end) const;
    bool takeUnitByte(unsigned char byte);

    // One character of the part; '\0' stands for any outside ASCII.
    bool step(char c);
    void open(char c);
    bool inStartTag(char c);
    void inOtherTag(char c);

    // Ends the construct at a '>' after at least `needed` of `mark` in a row.
    void closeAfterRun(char c, char mark, int needed);

    int limit_;
    State state_ = State::Text;
    char quote_ = '\0';
    int attributes_ = 0;
    int run_ = 0;
    unsigned char head_[4] = {};
    int headSize_ = 0;
    int width_ = 0;  // bytes per code unit; 0 until the first four bytes are in
    bool bigEndian_ = true;
    std::uint32_t unit_ = 0;
    int unitBytes_ = 0;
};

}  // namespace xlsx
