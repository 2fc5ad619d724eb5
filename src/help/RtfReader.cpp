#include "help/RtfReader.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QTextOption>
#include <QUrl>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "help/CodePages.h"
#include "help/RtfLexer.h"
#include "help/RtfPictures.h"
#include "help/RtfWords.h"

namespace rtf {

namespace {

constexpr int MinFontHalfPoints = 2;
constexpr int MaxFontHalfPoints = 3276;

enum class Destination : std::uint8_t {
    Text,
    FontTable,
    ColorTable,
    FieldInstruction,
    Picture,
    Skip
};

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

struct GroupState {
    CharProps chars;
    ParaProps para;
    Destination dest = Destination::Text;
    int unicodeSkip = 1;  // \ucN
};

struct Font {
    QString name;
    int charset = -1;
    int codePage = 0;     // \cpgN; 0: from the charset
    bool symbol = false;  // in the symbol charset, or named Symbol
};

struct Picture {
    PictureKind kind = PictureKind::None;
    int width = 0;  // \picw, \pich: pixels for bitmaps, 0.01 mm for metafiles
    int height = 0;
    int goalWidth = 0;  // twips
    int goalHeight = 0;
    int scaleX = 100;
    int scaleY = 100;
    QByteArray data;
    int highNibble = -1;
};

struct Field {
    std::size_t depth;  // group depth of the {\field ...} group
    QString instruction;
};

constexpr int MaxTwips = 31680;  // 22 inches
int twips(int value) { return std::clamp(value, -MaxTwips, MaxTwips); }
qreal pixels(int twipsValue) { return twipsValue / 15.0; }

// The target of a HYPERLINK field's code, empty for any other field.
QString hyperlinkTarget(const QString& instruction) {
    const QString code = instruction.trimmed();
    if (!code.startsWith(QLatin1String("HYPERLINK"), Qt::CaseInsensitive)) return {};
    QStringList tokens;
    for (qsizetype i = 9; i < code.size();) {
        if (code[i].isSpace()) {
            ++i;
        } else if (code[i] == u'"') {
            const qsizetype close = code.indexOf(u'"', i + 1);
            const qsizetype stop = close < 0 ? code.size() : close;
            tokens << code.mid(i + 1, stop - i - 1);
            i = stop + 1;
        } else {
            qsizetype j = i;
            while (j < code.size() && !code[j].isSpace()) ++j;
            tokens << code.mid(i, j - i);
            i = j;
        }
    }
    QString url;
    QString local;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const QString& t = tokens[i];
        if (t.startsWith(u'\\') && t.size() == 2) {
            const QChar option = t[1].toLower();
            if (option == u'l' && i + 1 < tokens.size()) local = tokens[++i];
            if (option == u'o' || option == u't') ++i;  // tooltip, target frame
        } else if (url.isEmpty()) {
            url = t;
        }
    }
    if (!local.isEmpty()) url += u'#' + local;
    return url;
}

class Reader {
public:
    Reader(const QByteArray& rtf, QTextDocument& document, qsizetype capacity)
        : lexer_(rtf), document_(document), cursor_(&document), capacity_(capacity) {
        cursor_.movePosition(QTextCursor::End);
    }

    void run() {
        // Inside an edit block the cursor does not lay out the block after
        // every insertion, which would make reading a long paragraph quadratic.
        cursor_.beginEditBlock();
        read();
        cursor_.endEditBlock();
    }

private:
    void read() {
        while (!full_) {
            const Token token = lexer_.next();
            switch (token.kind) {
                case Token::Kind::End:
                    break;
                case Token::Kind::OpenGroup:
                    flushBytes();
                    skipChars_ = 0;
                    openGroup();
                    continue;
                case Token::Kind::CloseGroup:
                    flushBytes();
                    skipChars_ = 0;
                    closeGroup();
                    continue;
                case Token::Kind::ControlWord:
                    controlWord(token);
                    continue;
                case Token::Kind::ControlSymbol:
                    controlSymbol(token.symbol);
                    continue;
                case Token::Kind::HexByte:
                    if (skipChars_ > 0) {
                        --skipChars_;
                    } else if (token.byte >= 0) {
                        textByte(static_cast<unsigned char>(token.byte));
                    }
                    continue;
                case Token::Kind::Text:
                    if (skipChars_ > 0) {
                        --skipChars_;
                    } else {
                        textByte(static_cast<unsigned char>(token.byte));
                    }
                    continue;
            }
            break;
        }
        flushBytes();
        flushRun();
        // A final \par ends the last paragraph; it opens no empty one.
        if (endedParagraph_) {
            cursor_.deletePreviousChar();
            return;
        }
        // The last paragraph has the format in force at the document's end.
        const bool closed = stack_.empty() && overflow_ == 0 && documentEnd_.has_value();
        cursor_.setBlockFormat(blockFormat(closed ? *documentEnd_ : st_.para));
    }

    bool skipping() const { return overflow_ > 0 || st_.dest == Destination::Skip; }

    void openGroup() {
        starPending_ = false;
        if (overflow_ > 0 || stack_.size() >= static_cast<std::size_t>(MaxGroupDepth)) {
            ++overflow_;
            return;
        }
        stack_.push_back(st_);
    }

    void closeGroup() {
        starPending_ = false;
        if (overflow_ > 0) {
            --overflow_;
            return;
        }
        if (stack_.empty()) return;  // an unmatched '}'
        if (!fields_.empty() && fields_.back().depth == stack_.size()) fields_.pop_back();
        const GroupState closed = st_;
        st_ = stack_.back();
        stack_.pop_back();
        if (stack_.empty()) documentEnd_ = closed.para;
        if (closed.dest == Destination::Picture && st_.dest != Destination::Picture) {
            finishPicture();
        }
        if (closed.dest == Destination::FontTable) {
            commitFont();
            if (st_.dest != Destination::FontTable) codecFont_ = InvalidFont;
        }
    }

    void controlWord(const Token& token) {
        flushBytes();
        const WordInfo& info = token.word;
        const bool hasParameter = token.hasParameter;
        const int parameter = token.parameter;
        if (info.word == Word::Bin) {
            keepBinary(token.data);
            if (skipChars_ > 0) --skipChars_;
            starPending_ = false;
            return;
        }
        if (skipChars_ > 0) {
            --skipChars_;
            return;
        }
        if (starPending_) {
            starPending_ = false;
            const bool read =
                info.word == Word::FieldInstruction || info.word == Word::ShapePicture;
            if (!read) {
                st_.dest = Destination::Skip;
                return;
            }
        }
        if (skipping()) return;
        word(info, hasParameter, parameter);
    }

    void controlSymbol(char c) {
        flushBytes();
        if (c == '*') {
            starPending_ = true;
            return;
        }
        if (skipChars_ > 0) {
            --skipChars_;
            return;
        }
        switch (c) {
            case '\\':
            case '{':
            case '}':
                character(QChar(QLatin1Char(c)));
                break;
            case '~':
                character(QChar(0x00A0));
                break;
            case '-':
                character(QChar(0x00AD));
                break;
            case '_':
                character(QChar(0x2011));
                break;
            case '\t':
                character(QChar(u'\t'));
                break;
            case '\r':
            case '\n':
                if (!skipping() && st_.dest == Destination::Text) endParagraph();
                break;
            default:
                break;
        }
    }

    // \bin data: picture bytes inside a picture, else nothing.
    void keepBinary(QByteArrayView data) {
        if (!skipping() && st_.dest == Destination::Picture) {
            const qsizetype room = MaxPictureBytes - picture_.data.size();
            picture_.data.append(data.first(std::clamp<qsizetype>(data.size(), 0, room)));
        }
    }

    void word(const WordInfo& info, bool hasParameter, int parameter) {
        const bool on = !hasParameter || parameter != 0;
        const int index = std::clamp(parameter, 0, MaxTableEntries);
        switch (info.word) {
            // Destinations and words that mean the same everywhere.
            case Word::SkipDestination:
                st_.dest = Destination::Skip;
                return;
            case Word::FontTable:
                st_.dest = Destination::FontTable;
                return;
            case Word::ColorTable:
                st_.dest = Destination::ColorTable;
                colours_.clear();
                colourStarted_ = false;
                return;
            case Word::Picture:
                st_.dest = Destination::Picture;
                picture_ = Picture();
                return;
            case Word::FieldInstruction:
                st_.dest = Destination::FieldInstruction;
                return;
            case Word::Field:
                if (fields_.size() < 64) fields_.push_back(Field{stack_.size(), QString()});
                return;
            case Word::FieldResult: {
                // The result keeps its group's destination: a field nested in
                // another field's code shows nothing.
                if (st_.dest != Destination::Text) return;
                const QString target =
                    fields_.empty() ? QString() : hyperlinkTarget(fields_.back().instruction);
                if (!target.isEmpty() && links_.size() < 100000) {
                    links_ << target;
                    st_.chars.link = static_cast<int>(links_.size() - 1);
                }
                return;
            }
            case Word::UnicodeSkip:
                st_.unicodeSkip = std::clamp(parameter, 0, 16);
                return;
            case Word::Unicode: {
                int code = parameter < 0 ? parameter + 65536 : parameter;
                if (code < 0 || code > 0xFFFF) code = 0xFFFD;
                if (codepages::isSymbolPrivateUse(static_cast<char32_t>(code)) &&
                    symbolFont(st_.chars.font)) {
                    code = codepages::symbolCharacter(static_cast<unsigned char>(code & 0xFF));
                }
                character(QChar(static_cast<char16_t>(code)));
                skipChars_ = st_.unicodeSkip;
                return;
            }
            default:
                break;
        }
        switch (st_.dest) {
            case Destination::FontTable:
                fontTableWord(info.word, parameter);
                return;
            case Destination::ColorTable:
                colourTableWord(info.word, parameter);
                return;
            case Destination::Picture:
                pictureWord(info.word, parameter);
                return;
            case Destination::FieldInstruction:
                if (info.word == Word::Character) character(QChar(info.character));
                return;
            case Destination::Skip:
                return;
            case Destination::Text:
                break;
        }
        CharProps& ch = st_.chars;
        ParaProps& pa = st_.para;
        switch (info.word) {
            case Word::Deff:
                defaultFont_ = index;
                if (ch.font < 0) ch.font = index;
                codecFont_ = InvalidFont;
                break;
            case Word::AnsiCodePage:
                ansiCodePage_ = std::clamp(parameter, 0, 65535);
                codecFont_ = InvalidFont;
                break;
            case Word::Ansi:
                setAnsi(1252);
                break;
            case Word::Mac:
                setAnsi(10000);
                break;
            case Word::Pc:
                setAnsi(437);
                break;
            case Word::Pca:
                setAnsi(850);
                break;
            case Word::Plain: {
                const int link = ch.link;
                ch = CharProps();
                ch.font = defaultFont_;
                ch.link = link;
                break;
            }
            case Word::Font:
                ch.font = index;
                break;
            case Word::FontSize:
                // 1 to 1638 points, as word processors allow; none: the default.
                ch.size = parameter <= 0
                              ? 0
                              : std::clamp(parameter, MinFontHalfPoints, MaxFontHalfPoints);
                break;
            case Word::Bold:
                ch.bold = on;
                break;
            case Word::Italic:
                ch.italic = on;
                break;
            case Word::Underline:
                ch.underline = on;
                break;
            case Word::UnderlineNone:
                ch.underline = false;
                break;
            case Word::Strike:
                ch.strike = on;
                break;
            case Word::Hidden:
                ch.hidden = on;
                break;
            case Word::Foreground:
                ch.foreground = index;
                break;
            case Word::Background:
                ch.background = index;
                break;
            case Word::Super:
                ch.vertical = 1;
                break;
            case Word::Sub:
                ch.vertical = -1;
                break;
            case Word::NoSuperSub:
                ch.vertical = 0;
                break;
            case Word::Pard:
                pa = ParaProps();
                break;
            case Word::AlignLeft:
                pa.align = 0;
                break;
            case Word::AlignCenter:
                pa.align = 1;
                break;
            case Word::AlignRight:
                pa.align = 2;
                break;
            case Word::AlignJustify:
                pa.align = 3;
                break;
            case Word::LeftIndent:
                pa.left = twips(parameter);
                break;
            case Word::RightIndent:
                pa.right = twips(parameter);
                break;
            case Word::FirstIndent:
                pa.first = twips(parameter);
                break;
            case Word::SpaceBefore:
                pa.before = twips(parameter);
                break;
            case Word::SpaceAfter:
                pa.after = twips(parameter);
                break;
            case Word::LineSpacing:
                pa.lineSpacing = twips(parameter);
                break;
            case Word::LineMultiple:
                pa.lineMultiple = on;
                break;
            case Word::TabStop:
                if (pa.tabCount < pa.tabs.size()) {
                    pa.tabs[pa.tabCount++] = static_cast<std::int16_t>(twips(parameter));
                }
                break;
            case Word::InTable:
                pa.inTable = on;
                break;
            case Word::RowDefaults:
                cellEdges_.clear();
                break;
            case Word::CellEdge:
                if (cellEdges_.size() < 64) cellEdges_.push_back(twips(parameter));
                break;
            case Word::Par:
                endParagraph();
                break;
            case Word::Line:
                character(QChar(QChar::LineSeparator));
                break;
            case Word::Tab:
                character(QChar(u'\t'));
                break;
            case Word::Cell:
                ++pendingCells_;
                break;
            case Word::Row:
                pendingCells_ = 0;
                endParagraph();
                break;
            case Word::Character:
                character(QChar(info.character));
                break;
            default:
                break;
        }
    }

    void setAnsi(int codePage) {
        ansiCodePage_ = codePage;
        codecFont_ = InvalidFont;
    }

    void fontTableWord(Word w, int parameter) {
        switch (w) {
            case Word::Font:
                commitFont();
                fontIndex_ = std::clamp(parameter, 0, MaxTableEntries);
                font_ = Font();
                break;
            case Word::Charset:
                font_.charset = std::clamp(parameter, 0, 255);
                break;
            case Word::FontCodePage:
                font_.codePage = std::clamp(parameter, 0, 65535);
                break;
            default:
                break;
        }
    }

    void commitFont() {
        if (fontIndex_ < 0) return;
        font_.name = font_.name.trimmed();
        font_.symbol = font_.charset == 2 ||
                       font_.name.compare(QLatin1String("Symbol"), Qt::CaseInsensitive) == 0;
        if (fonts_.size() < MaxTableEntries || fonts_.contains(fontIndex_)) {
            fonts_.insert(fontIndex_, font_);
        }
        fontIndex_ = -1;
        font_ = Font();
        codecFont_ = InvalidFont;
    }

    void colourTableWord(Word w, int parameter) {
        const int component = std::clamp(parameter, 0, 255);
        switch (w) {
            case Word::Red:
                colour_.setRed(component);
                break;
            case Word::Green:
                colour_.setGreen(component);
                break;
            case Word::Blue:
                colour_.setBlue(component);
                break;
            default:
                return;
        }
        colourStarted_ = true;
    }

    void pictureWord(Word w, int parameter) {
        const int size = std::clamp(parameter, 0, MaxParameter);
        switch (w) {
            case Word::PngBlip:
                picture_.kind = PictureKind::Png;
                break;
            case Word::JpegBlip:
                picture_.kind = PictureKind::Jpeg;
                break;
            case Word::Metafile:
                picture_.kind = PictureKind::Metafile;
                break;
            case Word::Bitmap:
                picture_.kind = PictureKind::Bitmap;
                break;
            case Word::DeviceIndependentBitmap:
                picture_.kind = PictureKind::Dib;
                break;
            case Word::PicW:
                picture_.width = size;
                break;
            case Word::PicH:
                picture_.height = size;
                break;
            case Word::PicWGoal:
                picture_.goalWidth = size;
                break;
            case Word::PicHGoal:
                picture_.goalHeight = size;
                break;
            case Word::PicScaleX:
                picture_.scaleX = std::clamp(parameter, 1, 1000);
                break;
            case Word::PicScaleY:
                picture_.scaleY = std::clamp(parameter, 1, 1000);
                break;
            default:
                break;
        }
    }

    // One byte of text, raw or from \'hh, in the current font's code page.
    void textByte(unsigned char byte) {
        if (skipping()) return;
        if (st_.dest == Destination::Picture) {
            const int v = hexDigitValue(static_cast<char>(byte));
            if (v < 0) return;
            if (picture_.highNibble < 0) {
                picture_.highNibble = v;
            } else {
                if (picture_.data.size() < MaxPictureBytes) {
                    picture_.data.append(static_cast<char>(picture_.highNibble * 16 + v));
                }
                picture_.highNibble = -1;
            }
            return;
        }
        if (byte == ';' && pendingBytes_.isEmpty()) {
            if (st_.dest == Destination::FontTable) {
                commitFont();
                return;
            }
            if (st_.dest == Destination::ColorTable) {
                if (colours_.size() < static_cast<std::size_t>(MaxTableEntries)) {
                    colours_.push_back(colourStarted_ ? std::optional<QColor>(colour_)
                                                      : std::nullopt);
                }
                colour_ = QColor(0, 0, 0);
                colourStarted_ = false;
                return;
            }
        }
        const codepages::Codec& c = codec();
        if (c.singleByte()) {
            character(QChar(c.at(byte)));
        } else {
            if (!pendingBytes_.isEmpty() && pendingCodec_ != &c) flushBytes();
            pendingCodec_ = &c;
            pendingBytes_.append(static_cast<char>(byte));
        }
    }

    void flushBytes() {
        if (pendingBytes_.isEmpty()) return;
        decoded_.clear();
        pendingCodec_->decode(pendingBytes_.constData(), pendingBytes_.size(), decoded_);
        pendingBytes_.clear();
        for (QChar ch : decoded_) character(ch);
    }

    const codepages::Codec& codec() {
        if (codecFont_ != st_.chars.font || codec_ == nullptr) {
            int codePage = 0;
            const auto font = fonts_.constFind(st_.chars.font);
            if (font != fonts_.constEnd() && font->symbol) {
                codePage = codepages::SymbolCodePage;
            } else if (font != fonts_.constEnd()) {
                codePage =
                    font->codePage != 0 ? font->codePage : codepages::forCharset(font->charset);
            }
            if (codePage == 0) codePage = ansiCodePage_ != 0 ? ansiCodePage_ : 1252;
            codec_ = &codecs_.get(codePage);
            codecFont_ = st_.chars.font;
        }
        return *codec_;
    }

    // A character for the current destination.
    void character(QChar ch) {
        if (skipping()) return;
        switch (st_.dest) {
            case Destination::Text:
                break;
            case Destination::FontTable:
                if (fontIndex_ >= 0 && font_.name.size() < 256) font_.name += ch;
                return;
            case Destination::FieldInstruction:
                if (!fields_.empty() && fields_.back().instruction.size() < MaxFieldInstruction) {
                    fields_.back().instruction += ch;
                }
                return;
            default:
                return;
        }
        if (st_.chars.hidden) return;
        if (pendingCells_ > 0) {
            const int cells = pendingCells_;
            pendingCells_ = 0;
            for (int i = 0; i < cells; ++i) character(QChar(u'\t'));
        }
        if (!(st_.chars == runProps_)) {
            flushRun();
            runProps_ = st_.chars;
        }
        if (!take(1)) return;
        run_ += ch;
        endedParagraph_ = false;
    }

    // Counts `n` characters against the capacity; false when they do not fit.
    bool take(qsizetype n) {
        if (written_ + n > capacity_) {
            full_ = true;
            return false;
        }
        written_ += n;
        return true;
    }

    void flushRun() {
        if (run_.isEmpty()) return;
        cursor_.insertText(run_, charFormat(runProps_));
        run_.resize(0);
    }

    void endParagraph() {
        flushBytes();
        flushRun();
        if (!take(1)) return;
        cursor_.setBlockFormat(blockFormat(st_.para));
        cursor_.setBlockCharFormat(charFormat(st_.chars));
        cursor_.insertBlock();
        endedParagraph_ = true;
    }

    bool symbolFont(int index) const {
        const auto font = fonts_.constFind(index);
        return font != fonts_.constEnd() && font->symbol;
    }

    QTextCharFormat charFormat(const CharProps& props) const {
        QTextCharFormat f;
        // Symbol text has been read as the characters it shows, which the
        // view's text font draws; the font called Symbol here may hold no
        // glyphs for them, and then shows nothing at all.
        const auto font = fonts_.constFind(props.font);
        if (font != fonts_.constEnd() && !font->name.isEmpty() && !font->symbol) {
            f.setFontFamilies({font->name});
        }
        if (props.size > 0) f.setFontPointSize(props.size / 2.0);
        if (props.bold) f.setFontWeight(QFont::Bold);
        if (props.italic) f.setFontItalic(true);
        if (props.underline) f.setFontUnderline(true);
        if (props.strike) f.setFontStrikeOut(true);
        if (props.vertical > 0) f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        if (props.vertical < 0) f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        if (const std::optional<QColor> c = colour(props.foreground)) f.setForeground(*c);
        if (const std::optional<QColor> c = colour(props.background)) f.setBackground(*c);
        if (props.link >= 0 && props.link < links_.size()) f.merge(linkFormat(links_[props.link]));
        return f;
    }

    std::optional<QColor> colour(int index) const {
        if (index <= 0 || static_cast<std::size_t>(index) >= colours_.size()) return std::nullopt;
        return colours_[static_cast<std::size_t>(index)];
    }

    QTextBlockFormat blockFormat(const ParaProps& pa) const {
        QTextBlockFormat f;
        static constexpr Qt::Alignment alignments[] = {Qt::AlignLeft, Qt::AlignHCenter,
                                                       Qt::AlignRight, Qt::AlignJustify};
        f.setAlignment(alignments[pa.align]);
        if (pa.left > 0) f.setLeftMargin(pixels(pa.left));
        if (pa.right > 0) f.setRightMargin(pixels(pa.right));
        if (pa.first != 0) f.setTextIndent(pixels(pa.first));
        if (pa.before > 0) f.setTopMargin(pixels(pa.before));
        if (pa.after > 0) f.setBottomMargin(pixels(pa.after));
        if (pa.lineSpacing > 0 && pa.lineMultiple) {
            f.setLineHeight(pa.lineSpacing * 100.0 / 240.0, QTextBlockFormat::ProportionalHeight);
        } else if (pa.lineSpacing > 0) {
            f.setLineHeight(pixels(pa.lineSpacing), QTextBlockFormat::MinimumHeight);
        } else if (pa.lineSpacing < 0) {
            f.setLineHeight(pixels(-pa.lineSpacing), QTextBlockFormat::FixedHeight);
        }
        // Tab stops: a table row's cells start at its cell edges; elsewhere the
        // paragraph's own stops, and a hanging indent has one at the indent.
        std::vector<int> stops;
        if (pa.inTable) {
            if (!cellEdges_.empty()) stops.assign(cellEdges_.begin(), cellEdges_.end() - 1);
        } else {
            stops.assign(pa.tabs.begin(), pa.tabs.begin() + pa.tabCount);
            if (pa.first < 0 && pa.left > 0) stops.push_back(pa.left);
        }
        std::sort(stops.begin(), stops.end());
        // Qt measures tab stops from where the first line starts.
        QList<QTextOption::Tab> tabs;
        for (int stop : stops) {
            const int fromLineStart = stop - std::max(pa.left, 0) - pa.first;
            if (fromLineStart > 0) {
                tabs.append(QTextOption::Tab(pixels(fromLineStart), QTextOption::LeftTab));
            }
        }
        if (!tabs.isEmpty()) f.setTabPositions(tabs);
        return f;
    }

    void finishPicture() {
        Picture pic = std::move(picture_);
        picture_ = Picture();
        if (st_.dest != Destination::Text || st_.chars.hidden || pic.kind == PictureKind::None) {
            return;
        }
        const QImage image = decodePicture(pic.kind, pic.data);
        // The display size: the goal size in twips, else the picture's own.
        qreal width = 0;
        qreal height = 0;
        if (pic.goalWidth > 0 && pic.goalHeight > 0) {
            width = pixels(pic.goalWidth);
            height = pixels(pic.goalHeight);
        } else if (!image.isNull()) {
            width = image.width();
            height = image.height();
        } else if (pic.kind == PictureKind::Metafile) {
            width = pic.width * 96.0 / 2540.0;
            height = pic.height * 96.0 / 2540.0;
        } else {
            width = pic.width;
            height = pic.height;
        }
        width = std::clamp(width * pic.scaleX / 100.0, 1.0, qreal(MaxPictureSide));
        height = std::clamp(height * pic.scaleY / 100.0, 1.0, qreal(MaxPictureSide));

        flushBytes();
        flushRun();
        if (!take(1)) return;
        QString name;
        if (image.isNull()) {
            name = frame(qRound(width), qRound(height));
        } else {
            name = QStringLiteral("rtf-picture:%1").arg(++pictures_);
            document_.addResource(QTextDocument::ImageResource, QUrl(name), image);
        }
        QTextImageFormat f;
        f.setName(name);
        f.setWidth(width);
        f.setHeight(height);
        cursor_.insertImage(f);
        endedParagraph_ = false;
    }

    // An empty frame for a picture we do not draw; one image per size.
    QString frame(int width, int height) {
        constexpr int MaxFrameSide = 1024;
        const int w = std::clamp(width, 1, MaxFrameSide);
        const int h = std::clamp(height, 1, MaxFrameSide);
        const QString name = QStringLiteral("rtf-frame:%1x%2").arg(w).arg(h);
        if (frames_.contains(name)) return name;
        if (frames_.size() >= 32) return *frames_.constBegin();
        QImage image(w, h, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        const QRgb grey = qRgb(128, 128, 128);
        for (int x = 0; x < w; ++x) {
            image.setPixel(x, 0, grey);
            image.setPixel(x, h - 1, grey);
        }
        for (int y = 0; y < h; ++y) {
            image.setPixel(0, y, grey);
            image.setPixel(w - 1, y, grey);
        }
        document_.addResource(QTextDocument::ImageResource, QUrl(name), image);
        frames_.insert(name);
        return name;
    }

    static constexpr int InvalidFont = -1000;

    Lexer lexer_;
    QTextDocument& document_;
    QTextCursor cursor_;
    const qsizetype capacity_;
    qsizetype written_ = 0;
    bool full_ = false;
    bool endedParagraph_ = false;  // nothing came after the last paragraph end

    GroupState st_;
    std::optional<ParaProps> documentEnd_;  // at the outermost group's end
    std::vector<GroupState> stack_;
    int overflow_ = 0;  // groups opened past MaxGroupDepth, skipped
    bool starPending_ = false;
    int skipChars_ = 0;  // characters still to skip after \uN

    int ansiCodePage_ = 1252;
    int defaultFont_ = -1;
    QHash<int, Font> fonts_;
    int fontIndex_ = -1;  // the font table entry being read
    Font font_;
    std::vector<std::optional<QColor>> colours_;
    QColor colour_{0, 0, 0};
    bool colourStarted_ = false;

    codepages::CodecCache codecs_;
    const codepages::Codec* codec_ = nullptr;
    int codecFont_ = InvalidFont;
    QByteArray pendingBytes_;  // for multi-byte code pages
    const codepages::Codec* pendingCodec_ = nullptr;
    QString decoded_;

    QString run_;
    CharProps runProps_;
    int pendingCells_ = 0;
    std::vector<int> cellEdges_;  // twips, of the current table row

    std::vector<Field> fields_;
    QStringList links_;
    Picture picture_;
    int pictures_ = 0;
    QSet<QString> frames_;
};

}  // namespace

void readRtf(const QByteArray& rtf, QTextDocument& document, qsizetype capacity) {
    Reader reader(rtf, document, capacity);
    reader.run();
}

QTextCharFormat linkFormat(const QString& href) {
    QTextCharFormat link;
    link.setAnchor(true);
    link.setAnchorHref(href);
    link.setFontUnderline(true);
    link.setForeground(QColor(0, 0, 255));
    return link;
}

}  // namespace rtf
