#include "rtf/RtfFormats.h"

#include <QColor>
#include <QFont>
#include <QTextOption>

#include <algorithm>
#include <optional>

#include "rtf/RtfReader.h"
#include "rtf/RtfTables.h"

namespace rtf {

namespace {

constexpr int MinFontHalfPoints = 2;
constexpr int MaxFontHalfPoints = 3276;
constexpr int MaxTwips = 31680;  // 22 inches

// 1 to 1638 points, as word processors allow; none: the default.
int fontSize(int parameter) {
    return parameter <= 0 ? 0 : std::clamp(parameter, MinFontHalfPoints, MaxFontHalfPoints);
}

// The tab stops of a paragraph, twips from the left margin, in order.
std::vector<int> tabStops(const ParaProps& para, const std::vector<int>& cellEdges) {
    std::vector<int> stops;
    if (para.inTable) {
        if (!cellEdges.empty()) stops.assign(cellEdges.begin(), cellEdges.end() - 1);
    } else {
        stops.assign(para.tabs.begin(), para.tabs.begin() + para.tabCount);
        if (para.first < 0 && para.left > 0) stops.push_back(para.left);
    }
    std::sort(stops.begin(), stops.end());
    return stops;
}

}  // namespace

int twips(int value) { return std::clamp(value, -MaxTwips, MaxTwips); }

bool applyCharacterWord(CharProps& chars, Word word, int parameter, bool on, int defaultFont) {
    const int index = std::clamp(parameter, 0, MaxTableEntries);
    switch (word) {
        case Word::Plain: {
            const int link = chars.link;
            chars = CharProps();
            chars.font = defaultFont;
            chars.link = link;
            return true;
        }
        case Word::Font:
            chars.font = index;
            return true;
        case Word::FontSize:
            chars.size = fontSize(parameter);
            return true;
        case Word::Bold:
            chars.bold = on;
            return true;
        case Word::Italic:
            chars.italic = on;
            return true;
        case Word::Underline:
            chars.underline = on;
            return true;
        case Word::UnderlineNone:
            chars.underline = false;
            return true;
        case Word::Strike:
            chars.strike = on;
            return true;
        case Word::Hidden:
            chars.hidden = on;
            return true;
        case Word::Foreground:
            chars.foreground = index;
            return true;
        case Word::Background:
            chars.background = index;
            return true;
        case Word::Super:
            chars.vertical = 1;
            return true;
        case Word::Sub:
            chars.vertical = -1;
            return true;
        case Word::NoSuperSub:
            chars.vertical = 0;
            return true;
        default:
            return false;
    }
}

bool applyParagraphWord(ParaProps& para, Word word, int parameter, bool on) {
    switch (word) {
        case Word::Pard:
            para = ParaProps();
            return true;
        case Word::AlignLeft:
            para.align = 0;
            return true;
        case Word::AlignCenter:
            para.align = 1;
            return true;
        case Word::AlignRight:
            para.align = 2;
            return true;
        case Word::AlignJustify:
            para.align = 3;
            return true;
        case Word::LeftIndent:
            para.left = twips(parameter);
            return true;
        case Word::RightIndent:
            para.right = twips(parameter);
            return true;
        case Word::FirstIndent:
            para.first = twips(parameter);
            return true;
        case Word::SpaceBefore:
            para.before = twips(parameter);
            return true;
        case Word::SpaceAfter:
            para.after = twips(parameter);
            return true;
        case Word::LineSpacing:
            para.lineSpacing = twips(parameter);
            return true;
        case Word::LineMultiple:
            para.lineMultiple = on;
            return true;
        case Word::TabStop:
            if (para.tabCount < para.tabs.size()) {
                para.tabs[para.tabCount++] = static_cast<std::int16_t>(twips(parameter));
            }
            return true;
        case Word::InTable:
            para.inTable = on;
            return true;
        default:
            return false;
    }
}

QTextCharFormat TextFormats::charFormat(const CharProps& props) const {
    QTextCharFormat f;
    // Symbol text has been read as the characters it shows, which the
    // view's text font draws; the font called Symbol here may hold no
    // glyphs for them, and then shows nothing at all.
    const Font* font = fonts_.find(props.font);
    if (font != nullptr && !font->name.isEmpty() && !font->symbol) {
        f.setFontFamilies({font->name});
    }
    if (props.size > 0) f.setFontPointSize(props.size / 2.0);
    if (props.bold) f.setFontWeight(QFont::Bold);
    if (props.italic) f.setFontItalic(true);
    if (props.underline) f.setFontUnderline(true);
    if (props.strike) f.setFontStrikeOut(true);
    if (props.vertical > 0) f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    if (props.vertical < 0) f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    if (const std::optional<QColor> c = colours_.colour(props.foreground)) f.setForeground(*c);
    if (const std::optional<QColor> c = colours_.colour(props.background)) f.setBackground(*c);
    if (props.link >= 0 && props.link < links_.size()) f.merge(linkFormat(links_[props.link]));
    return f;
}

QTextBlockFormat TextFormats::blockFormat(const ParaProps& para) const {
    QTextBlockFormat f;
    static constexpr Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight,
                                                   Qt::AlignJustify};
    f.setAlignment(alignments[para.align]);
    if (para.left > 0) f.setLeftMargin(pixels(para.left));
    if (para.right > 0) f.setRightMargin(pixels(para.right));
    if (para.first != 0) f.setTextIndent(pixels(para.first));
    if (para.before > 0) f.setTopMargin(pixels(para.before));
    if (para.after > 0) f.setBottomMargin(pixels(para.after));
    if (para.lineSpacing > 0 && para.lineMultiple) {
        f.setLineHeight(para.lineSpacing * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
    } else if (para.lineSpacing > 0) {
        f.setLineHeight(pixels(para.lineSpacing), QTextBlockFormat::MinimumHeight);
    } else if (para.lineSpacing < 0) {
        f.setLineHeight(pixels(-para.lineSpacing), QTextBlockFormat::FixedHeight);
    }
    // Qt measures tab stops from where the first line starts.
    QList<QTextOption::Tab> tabs;
    for (int stop : tabStops(para, cellEdges_)) {
        const int fromLineStart = stop - std::max(para.left, 0) - para.first;
        if (fromLineStart > 0) {
            tabs.append(QTextOption::Tab(pixels(fromLineStart), QTextOption::LeftTab));
        }
    }
    if (!tabs.isEmpty()) f.setTabPositions(tabs);
    return f;
}

}  // namespace rtf
