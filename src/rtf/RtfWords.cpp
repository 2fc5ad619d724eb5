#include "rtf/RtfWords.h"

#include <algorithm>
#include <initializer_list>
#include <unordered_map>

namespace rtf {

namespace {

using WordTable = std::unordered_map<std::string_view, WordInfo>;

void add(WordTable& t, std::initializer_list<std::string_view> names, Word w, char16_t c = 0) {
    for (std::string_view n : names) t[n] = WordInfo{w, c};
}

// Destinations: those the reader reads, and those it skips whole.
void addDestinations(WordTable& t) {
    add(t, {"fonttbl"}, Word::FontTable);
    add(t, {"colortbl"}, Word::ColorTable);
    add(t, {"pict"}, Word::Picture);
    add(t, {"field"}, Word::Field);
    add(t, {"fldinst"}, Word::FieldInstruction);
    add(t, {"fldrslt"}, Word::FieldResult);
    add(t, {"shppict"}, Word::ShapePicture);
    // Destinations whose text is never shown.
    static const std::string_view skipped =
        "stylesheet info header headerl headerr headerf footer footerl footerr footerf "
        "footnote annotation atnid atnauthor xe tc txe pn pntxta pntxtb pnseclvl "
        "listtable listoverridetable revtbl rsidtbl generator themedata "
        "colorschememapping latentstyles datastore xmlnstbl mmathPr private objdata "
        "objclass fontemb fontfile falt panose bkmkstart bkmkend nonshppict template "
        "userprops docvar ftnsep ftnsepc ftncn aftnsep aftnsepc aftncn filetbl pgdsctbl "
        "leveltext levelnumbers comment author title subject keywords operator doccomm "
        "company manager category shpinst sp sn sv blipuid wgrffmtfilter defchp defpap ";
    for (std::size_t at = 0; at < skipped.size();) {
        const std::size_t blank = std::min(skipped.find(' ', at), skipped.size());
        if (blank > at) t[skipped.substr(at, blank - at)] = WordInfo{Word::SkipDestination};
        at = blank + 1;
    }
}

// The document's default font and code page, Unicode characters, binary data.
void addDocumentWords(WordTable& t) {
    add(t, {"deff"}, Word::Deff);
    add(t, {"ansicpg"}, Word::AnsiCodePage);
    add(t, {"ansi"}, Word::Ansi);
    add(t, {"mac"}, Word::Mac);
    add(t, {"pc"}, Word::Pc);
    add(t, {"pca"}, Word::Pca);
    add(t, {"uc"}, Word::UnicodeSkip);
    add(t, {"u"}, Word::Unicode);
    add(t, {"bin"}, Word::Bin);
}

// The font and colour tables' words, and the pictures'.
void addTableAndPictureWords(WordTable& t) {
    add(t, {"fcharset"}, Word::Charset);
    add(t, {"cpg"}, Word::FontCodePage);
    add(t, {"red"}, Word::Red);
    add(t, {"green"}, Word::Green);
    add(t, {"blue"}, Word::Blue);
    add(t, {"pngblip"}, Word::PngBlip);
    add(t, {"jpegblip"}, Word::JpegBlip);
    add(t, {"emfblip", "wmetafile", "macpict", "pmmetafile"}, Word::Metafile);
    add(t, {"dibitmap"}, Word::DeviceIndependentBitmap);
    add(t, {"wbitmap"}, Word::Bitmap);
    add(t, {"picw"}, Word::PicW);
    add(t, {"pich"}, Word::PicH);
    add(t, {"picwgoal"}, Word::PicWGoal);
    add(t, {"pichgoal"}, Word::PicHGoal);
    add(t, {"picscalex"}, Word::PicScaleX);
    add(t, {"picscaley"}, Word::PicScaleY);
}

// Character formatting.
void addCharacterWords(WordTable& t) {
    add(t, {"plain"}, Word::Plain);
    add(t, {"f"}, Word::Font);
    add(t, {"fs"}, Word::FontSize);
    add(t, {"b"}, Word::Bold);
    add(t, {"i"}, Word::Italic);
    add(t,
        {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth",
         "ulthd", "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw",
         "ulwave"},
        Word::Underline);
    add(t, {"ulnone"}, Word::UnderlineNone);
    add(t, {"strike", "striked"}, Word::Strike);
    add(t, {"v"}, Word::Hidden);
    add(t, {"cf"}, Word::Foreground);
    add(t, {"highlight", "cb", "chcbpat"}, Word::Background);
    add(t, {"super"}, Word::Super);
    add(t, {"sub"}, Word::Sub);
    add(t, {"nosupersub"}, Word::NoSuperSub);
}

// Paragraph formatting and table rows.
void addParagraphWords(WordTable& t) {
    add(t, {"pard"}, Word::Pard);
    add(t, {"ql"}, Word::AlignLeft);
    add(t, {"qc"}, Word::AlignCenter);
    add(t, {"qr"}, Word::AlignRight);
    add(t, {"qj", "qd"}, Word::AlignJustify);
    add(t, {"li", "lin"}, Word::LeftIndent);
    add(t, {"ri", "rin"}, Word::RightIndent);
    add(t, {"fi"}, Word::FirstIndent);
    add(t, {"sb"}, Word::SpaceBefore);
    add(t, {"sa"}, Word::SpaceAfter);
    add(t, {"sl"}, Word::LineSpacing);
    add(t, {"slmult"}, Word::LineMultiple);
    add(t, {"tx", "tb"}, Word::TabStop);
    add(t, {"intbl"}, Word::InTable);
    add(t, {"trowd"}, Word::RowDefaults);
    add(t, {"cellx"}, Word::CellEdge);
}

// Breaks, cells and the special characters.
void addBreaksAndCharacters(WordTable& t) {
    add(t, {"par", "sect", "page"}, Word::Par);
    add(t, {"line"}, Word::Line);
    add(t, {"tab"}, Word::Tab);
    add(t, {"cell", "nestcell"}, Word::Cell);
    add(t, {"row", "nestrow"}, Word::Row);
    add(t, {"emdash"}, Word::Character, u'\u2014');
    add(t, {"endash"}, Word::Character, u'\u2013');
    add(t, {"bullet"}, Word::Character, u'\u2022');
    add(t, {"lquote"}, Word::Character, u'\u2018');
    add(t, {"rquote"}, Word::Character, u'\u2019');
    add(t, {"ldblquote"}, Word::Character, u'\u201C');
    add(t, {"rdblquote"}, Word::Character, u'\u201D');
    add(t, {"emspace"}, Word::Character, u'\u2003');
    add(t, {"enspace"}, Word::Character, u'\u2002');
    add(t, {"qmspace"}, Word::Character, u'\u2005');
    add(t, {"zwj"}, Word::Character, u'\u200D');
    add(t, {"zwnj"}, Word::Character, u'\u200C');
    add(t, {"ltrmark"}, Word::Character, u'\u200E');
    add(t, {"rtlmark"}, Word::Character, u'\u200F');
}

}  // namespace

WordInfo lookupWord(std::string_view name) {
    static const WordTable table = [] {
        WordTable t;
        addDestinations(t);
        addDocumentWords(t);
        addTableAndPictureWords(t);
        addCharacterWords(t);
        addParagraphWords(t);
        addBreaksAndCharacters(t);
        return t;
    }();
    const auto found = table.find(name);
    return found == table.end() ? WordInfo{Word::Unknown} : found->second;
}

}  // namespace rtf
