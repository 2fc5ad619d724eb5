#pragma once

#include <QStringList>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QtGlobal>

#include <array>
#include <cstdint>
#include <vector>

#include "rtf/RtfWords.h"

// The character and paragraph formats as RTF sets them, the words that set
// them, and the Qt text formats they become.
namespace rtf {

class FontTable;
class ColourTable;

struct CharProps {
    int font = -1;       // font table index; -1: the view's default font
    int size = 0;        // half-points; 0: the view's default size
    int foreground = 0;  // colour table index; 0: automatic
    int background = 0;
    int link = -1;  // index into the reader's link targets
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    std::int8_t vertical = 0;  // 1 superscript, -1 subscript
    bool operator==(const CharProps&) const = default;
};

struct ParaProps {
    int align = 0;  // 0 left, 1 centre, 2 right, 3 justified
    int left = 0;   // twips
    int right = 0;
    int first = 0;
    int before = 0;
    int after = 0;
    int lineSpacing = 0;
    bool lineMultiple = false;
    bool inTable = false;
    std::uint8_t tabCount = 0;
    std::array<std::int16_t, 32> tabs{};  // \txN, twips from the left margin
};

// A length in twips, within 22 inches either way.
int twips(int value);
// Twips as pixels at 96 dots per inch.
inline qreal pixels(int twipsValue) { return twipsValue / 15.0; }

// Applies a character-format word (\plain, \f, \fs, \b, \i, \ul, \ulnone,
// \strike, \v, \cf, \cb and \highlight, \super, \sub, \nosupersub) to `chars`;
// false, and `chars` untouched, for any other word. `on` is false for a
// toggle given 0 (\b0). \plain goes back to `defaultFont` and keeps the link.
bool applyCharacterWord(CharProps& chars, Word word, int parameter, bool on, int defaultFont);

// Applies a paragraph-format word (\pard, alignment, indents, spacing, tab
// stops, \intbl) to `para`; false, and `para` untouched, for any other word.
bool applyParagraphWord(ParaProps& para, Word word, int parameter, bool on);

// The Qt formats of the properties, with the tables they refer to: the
// fonts, the colours, the link targets and the current table row's cell
// edges (twips), all read so far.
class TextFormats {
public:
    TextFormats(const FontTable& fonts, const ColourTable& colours, const QStringList& links,
                const std::vector<int>& cellEdges)
        : fonts_(fonts), colours_(colours), links_(links), cellEdges_(cellEdges) {}

    // Symbol text is left in the view's font (it has been read as the
    // characters the Symbol font shows).
    QTextCharFormat charFormat(const CharProps& props) const;
    // A table row's tab stops are its cell edges; elsewhere the paragraph's
    // own, with one at a hanging indent.
    QTextBlockFormat blockFormat(const ParaProps& para) const;

private:
    const FontTable& fonts_;
    const ColourTable& colours_;
    const QStringList& links_;
    const std::vector<int>& cellEdges_;
};

}  // namespace rtf
