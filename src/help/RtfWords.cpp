#include "help/RtfWords.h"

#include <algorithm>
#include <initializer_list>
#include <unordered_map>

namespace rtf {

WordInfo lookupWord(std::string_view name) {
    static const std::unordered_map<std::string_view, WordInfo> table = [] {
        std::unordered_map<std::string_view, WordInfo> t;
        auto add = [&t](std::initializer_list<std::string_view> names, Word w, char16_t c = 0) {
            for (std::string_view n : names) t[n] = WordInfo{w, c};
        };
        add({"fonttbl"}, Word::FontTable);
        add({"colortbl"}, Word::ColorTable);
        add({"pict"}, Word::Picture);
        add({"field"}, Word::Field);
        add({"fldinst"}, Word::FieldInstruction);
        add({"fldrslt"}, Word::FieldResult);
        add({"shppict"}, Word::ShapePicture);
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
        add({"deff"}, Word::Deff);
        add({"ansicpg"}, Word::AnsiCodePage);
        add({"ansi"}, Word::Ansi);
        add({"mac"}, Word::Mac);
        add({"pc"}, Word::Pc);
        add({"pca"}, Word::Pca);
        add({"uc"}, Word::UnicodeSkip);
        add({"u"}, Word::Unicode);
        add({"bin"}, Word::Bin);
        add({"fcharset"}, Word::Charset);
        add({"cpg"}, Word::FontCodePage);
        add({"red"}, Word::Red);
        add({"green"}, Word::Green);
        add({"blue"}, Word::Blue);
        add({"pngblip"}, Word::PngBlip);
        add({"jpegblip"}, Word::JpegBlip);
        add({"emfblip", "wmetafile", "macpict", "pmmetafile"}, Word::Metafile);
        add({"dibitmap"}, Word::DeviceIndependentBitmap);
        add({"wbitmap"}, Word::Bitmap);
        add({"picw"}, Word::PicW);
        add({"pich"}, Word::PicH);
        add({"picwgoal"}, Word::PicWGoal);
        add({"pichgoal"}, Word::PicHGoal);
        add({"picscalex"}, Word::PicScaleX);
        add({"picscaley"}, Word::PicScaleY);
        add({"plain"}, Word::Plain);
        add({"f"}, Word::Font);
        add({"fs"}, Word::FontSize);
        add({"b"}, Word::Bold);
        add({"i"}, Word::Italic);
        add({"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth",
             "ulthd", "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw",
             "ulwave"},
            Word::Underline);
        add({"ulnone"}, Word::UnderlineNone);
        add({"strike", "striked"}, Word::Strike);
        add({"v"}, Word::Hidden);
        add({"cf"}, Word::Foreground);
        add({"highlight", "cb", "chcbpat"}, Word::Background);
        add({"super"}, Word::Super);
        add({"sub"}, Word::Sub);
        add({"nosupersub"}, Word::NoSuperSub);
        add({"pard"}, Word::Pard);
        add({"ql"}, Word::AlignLeft);
        add({"qc"}, Word::AlignCenter);
        add({"qr"}, Word::AlignRight);
        add({"qj", "qd"}, Word::AlignJustify);
        add({"li", "lin"}, Word::LeftIndent);
        add({"ri", "rin"}, Word::RightIndent);
        add({"fi"}, Word::FirstIndent);
        add({"sb"}, Word::SpaceBefore);
        add({"sa"}, Word::SpaceAfter);
        add({"sl"}, Word::LineSpacing);
        add({"slmult"}, Word::LineMultiple);
        add({"tx", "tb"}, Word::TabStop);
        add({"intbl"}, Word::InTable);
        add({"trowd"}, Word::RowDefaults);
        add({"cellx"}, Word::CellEdge);
        add({"par", "sect", "page"}, Word::Par);
        add({"line"}, Word::Line);
        add({"tab"}, Word::Tab);
        add({"cell", "nestcell"}, Word::Cell);
        add({"row", "nestrow"}, Word::Row);
        add({"emdash"}, Word::Character, u'\u2014');
        add({"endash"}, Word::Character, u'\u2013');
        add({"bullet"}, Word::Character, u'\u2022');
        add({"lquote"}, Word::Character, u'\u2018');
        add({"rquote"}, Word::Character, u'\u2019');
        add({"ldblquote"}, Word::Character, u'\u201C');
        add({"rdblquote"}, Word::Character, u'\u201D');
        add({"emspace"}, Word::Character, u'\u2003');
        add({"enspace"}, Word::Character, u'\u2002');
        add({"qmspace"}, Word::Character, u'\u2005');
        add({"zwj"}, Word::Character, u'\u200D');
        add({"zwnj"}, Word::Character, u'\u200C');
        add({"ltrmark"}, Word::Character, u'\u200E');
        add({"rtlmark"}, Word::Character, u'\u200F');
        return t;
    }();
    const auto found = table.find(name);
    return found == table.end() ? WordInfo{Word::Unknown} : found->second;
}

}  // namespace rtf
