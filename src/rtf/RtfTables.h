#pragma once

#include <QColor>
#include <QHash>
#include <QString>

#include <optional>
#include <vector>

#include "rtf/RtfWords.h"

// The font table and the colour table of an RTF file, as read so far.
namespace rtf {

struct Font {
    QString name;
    int charset = -1;
    int codePage = 0;     // \cpgN; 0: from the charset
    bool symbol = false;  // in the symbol charset, or named Symbol
};

// \fonttbl: the fonts by number, the entry being read, and the document's
// default font (\deffN). At most MaxTableEntries fonts.
class FontTable {
public:
    // A word inside the table: \fN starts an entry (ending the one before),
    // \fcharsetN and \cpgN describe it; others are ignored.
    void word(Word word, int parameter);
    // A character of the entry's name; ignored before its \fN.
    void nameCharacter(QChar ch);
    // Ends the entry being read, at its ';' or the table's group end.
    void endEntry();

    // Font `index`, or nullptr when the table has none of that number.
    const Font* find(int index) const;
    bool isSymbol(int index) const;
    // The code page of text in font `index`: the font's \cpg, else its
    // charset's (codepages::SymbolCodePage for the Symbol font); 0 for the
    // document's ANSI code page.
    int codePage(int index) const;
    // Counts the changes to the entries, so that what was derived from them
    // can tell when it is stale.
    unsigned version() const { return version_; }

    int defaultFont() const { return defaultFont_; }
    void setDefaultFont(int index) { defaultFont_ = index; }

private:
    QHash<int, Font> fonts_;
    int index_ = -1;  // the entry being read
    Font entry_;
    unsigned version_ = 0;
    int defaultFont_ = -1;
};

// \colortbl: the colours by number, index 0 (and any entry without a
// component) being "automatic". At most MaxTableEntries colours.
class ColourTable {
public:
    // A new table: the entries read before are dropped.
    void start();
    // \redN, \greenN, \blueN of the entry being read; others are ignored.
    void word(Word word, int parameter);
    // Ends the entry being read, at its ';'.
    void endEntry();
    // Colour `index`, or nothing for automatic, index 0 or past the table.
    std::optional<QColor> colour(int index) const;

private:
    std::vector<std::optional<QColor>> colours_;
    QColor entry_{0, 0, 0};
    bool started_ = false;  // the entry has a component
};

}  // namespace rtf
