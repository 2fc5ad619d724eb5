#include "rtf/RtfReader.h"

#include <QColor>
#include <QString>

#include <algorithm>
#include <optional>
#include <vector>

#include "rtf/CodePages.h"
#include "rtf/RtfDocumentOutput.h"
#include "rtf/RtfFields.h"
#include "rtf/RtfFormats.h"
#include "rtf/RtfGroups.h"
#include "rtf/RtfLexer.h"
#include "rtf/RtfPictureReader.h"
#include "rtf/RtfTables.h"
#include "rtf/RtfTextDecoder.h"
#include "rtf/RtfWords.h"

namespace rtf {

namespace {

// Reads the tokens of the lexer and sends each to what it concerns: the
// groups, the tables, the field codes, the picture or the document.
class Reader {
public:
    Reader(const QByteArray& rtf, QTextDocument& document, qsizetype capacity)
        : lexer_(rtf), output_(document, capacity, formats_) {}

    void run() {
        output_.beginEdit();
        read();
        output_.endEdit();
    }

private:
    void read() {
        while (!output_.full()) {
            const Token token = lexer_.next();
            if (token.kind == Token::Kind::End) break;
            take(token);
        }
        flushBytes();
        // The last paragraph has the format in force at the document's end.
        const std::optional<ParaProps> end = groups_.documentEnd();
        output_.finish(end ? *end : groups_.current().para);
    }

    void take(const Token& token) {
        switch (token.kind) {
            case Token::Kind::End:
                break;
            case Token::Kind::OpenGroup:
                flushBytes();
                skipChars_ = 0;
                groups_.open();
                break;
            case Token::Kind::CloseGroup:
                flushBytes();
                skipChars_ = 0;
                closeGroup();
                break;
            case Token::Kind::ControlWord:
                controlWord(token);
                break;
            case Token::Kind::ControlSymbol:
                controlSymbol(token.symbol);
                break;
            case Token::Kind::HexByte:
                if (skipChars_ > 0) {
                    --skipChars_;
                } else if (token.byte >= 0) {
                    textByte(static_cast<unsigned char>(token.byte));
                }
                break;
            case Token::Kind::Text:
                if (skipChars_ > 0) {
                    --skipChars_;
                } else {
                    textByte(static_cast<unsigned char>(token.byte));
                }
                break;
        }
    }

    GroupState& state() { return groups_.current(); }

    void closeGroup() {
        const std::size_t depth = groups_.depth();
        const std::optional<GroupState> closed = groups_.close();
        if (!closed) return;
        fields_.closeGroup(depth);
        if (closed->dest == Destination::Picture && state().dest != Destination::Picture) {
            finishPicture();
        }
        if (closed->dest == Destination::FontTable) fonts_.endEntry();
    }

    void controlWord(const Token& token) {
        flushBytes();
        const Word word = token.word.word;
        if (word == Word::Bin) {
            if (!groups_.skipping() && state().dest == Destination::Picture) {
                picture_.binary(token.data);
            }
            if (skipChars_ > 0) --skipChars_;
            groups_.takeStar();
            return;
        }
        if (skipChars_ > 0) {
            --skipChars_;
            return;
        }
        // {\*\word ...}: a destination the reader does not know is skipped.
        if (groups_.takeStar() && word != Word::FieldInstruction && word != Word::ShapePicture) {
            state().dest = Destination::Skip;
            return;
        }
        if (!groups_.skipping()) readWord(token.word, token.hasParameter, token.parameter);
    }

    // A word, by kind: one that means the same everywhere, one inside a
    // destination, and one in the text.
    void readWord(const WordInfo& info, bool hasParameter, int parameter) {
        const Word word = info.word;
        if (destinationWord(word) || unicodeWord(word, parameter)) return;
        if (wordForDestination(info, parameter)) return;
        const bool on = !hasParameter || parameter != 0;
        if (documentWord(word, parameter)) return;
        if (applyCharacterWord(state().chars, word, parameter, on, fonts_.defaultFont())) return;
        if (applyParagraphWord(state().para, word, parameter, on)) return;
        breakWord(info, parameter);
    }

    // Words that start a destination or a field, anywhere.
    bool destinationWord(Word word) {
        GroupState& st = state();
        switch (word) {
            case Word::SkipDestination:
                st.dest = Destination::Skip;
                return true;
            case Word::FontTable:
                st.dest = Destination::FontTable;
                return true;
            case Word::ColorTable:
                st.dest = Destination::ColorTable;
                colours_.start();
                return true;
            case Word::Picture:
                st.dest = Destination::Picture;
                picture_.start();
                return true;
            case Word::FieldInstruction:
                st.dest = Destination::FieldInstruction;
                return true;
            case Word::Field:
                fields_.open(groups_.depth());
                return true;
            case Word::FieldResult:
                // The result keeps its group's destination: a field nested in
                // another field's code shows nothing.
                if (st.dest == Destination::Text) {
                    if (const int link = fields_.resultLink(); link >= 0) st.chars.link = link;
                }
                return true;
            default:
                return false;
        }
    }

    // \ucN and \uN, anywhere.
    bool unicodeWord(Word word, int parameter) {
        if (word == Word::UnicodeSkip) {
            state().unicodeSkip = std::clamp(parameter, 0, 16);
            return true;
        }
        if (word != Word::Unicode) return false;
        int code = parameter < 0 ? parameter + 65536 : parameter;
        if (code < 0 || code > 0xFFFF) code = 0xFFFD;
        if (codepages::isSymbolPrivateUse(static_cast<char32_t>(code)) &&
            fonts_.isSymbol(state().chars.font)) {
            code = codepages::symbolCharacter(static_cast<unsigned char>(code & 0xFF));
        }
        character(QChar(static_cast<char16_t>(code)));
        skipChars_ = state().unicodeSkip;
        return true;
    }

    // The words inside the font table, the colour table, a picture or a
    // field's code go there; a skipped destination takes every word.
    bool wordForDestination(const WordInfo& info, int parameter) {
        switch (state().dest) {
            case Destination::FontTable:
                fonts_.word(info.word, parameter);
                return true;
            case Destination::ColorTable:
                colours_.word(info.word, parameter);
                return true;
            case Destination::Picture:
                picture_.word(info.word, parameter);
                return true;
            case Destination::FieldInstruction:
                if (info.word == Word::Character) character(QChar(info.character));
                return true;
            case Destination::Skip:
                return true;
            case Destination::Text:
                break;
        }
        return false;
    }

    // The document's default font and code page, in the text.
    bool documentWord(Word word, int parameter) {
        switch (word) {
            case Word::Deff: {
                const int index = std::clamp(parameter, 0, MaxTableEntries);
                fonts_.setDefaultFont(index);
                if (state().chars.font < 0) state().chars.font = index;
                return true;
            }
            case Word::AnsiCodePage:
                decoder_.setAnsiCodePage(std::clamp(parameter, 0, 65535));
                return true;
            case Word::Ansi:
                decoder_.setAnsiCodePage(1252);
                return true;
            case Word::Mac:
                decoder_.setAnsiCodePage(10000);
                return true;
            case Word::Pc:
                decoder_.setAnsiCodePage(437);
                return true;
            case Word::Pca:
                decoder_.setAnsiCodePage(850);
                return true;
            default:
                return false;
        }
    }

    // Table rows, breaks and the special characters, in the text.
    void breakWord(const WordInfo& info, int parameter) {
        switch (info.word) {
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

    void controlSymbol(char c) {
        flushBytes();
        if (c == '*') {
            groups_.star();
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
                if (!groups_.skipping() && state().dest == Destination::Text) endParagraph();
                break;
            default:
                break;
        }
    }

    // One byte of text, raw or from \'hh, in the current font's code page.
    void textByte(unsigned char byte) {
        if (groups_.skipping()) return;
        const Destination dest = state().dest;
        if (dest == Destination::Picture) {
            picture_.text(byte);
            return;
        }
        if (byte == ';' && !decoder_.holding()) {
            if (dest == Destination::FontTable) {
                fonts_.endEntry();
                return;
            }
            if (dest == Destination::ColorTable) {
                colours_.endEntry();
                return;
            }
        }
        const codepages::Codec& c = decoder_.codec(state().chars.font);
        if (c.singleByte()) {
            character(QChar(c.at(byte)));
            return;
        }
        if (decoder_.holdingOther(c)) flushBytes();
        decoder_.hold(c, byte);
    }

    void flushBytes() {
        if (!decoder_.holding()) return;
        for (QChar ch : decoder_.release()) character(ch);
    }

    // A character for the current destination.
    void character(QChar ch) {
        if (groups_.skipping()) return;
        const GroupState& st = state();
        switch (st.dest) {
            case Destination::Text:
                break;
            case Destination::FontTable:
                fonts_.nameCharacter(ch);
                return;
            case Destination::FieldInstruction:
                fields_.instruction(ch);
                return;
            default:
                return;
        }
        if (st.chars.hidden) return;
        if (pendingCells_ > 0) {
            const int cells = pendingCells_;
            pendingCells_ = 0;
            for (int i = 0; i < cells; ++i) character(QChar(u'\t'));
        }
        output_.character(ch, st.chars);
    }

    void endParagraph() {
        flushBytes();
        output_.endParagraph(state().para, state().chars);
    }

    void finishPicture() {
        const GroupState& st = state();
        const bool shown = st.dest == Destination::Text && !st.chars.hidden;
        const std::optional<ShownPicture> picture = picture_.finish(shown);
        if (!picture) return;
        flushBytes();
        output_.picture(*picture);
    }

    Lexer lexer_;
    GroupStack groups_;
    int skipChars_ = 0;  // characters still to skip after \uN

    FontTable fonts_;
    ColourTable colours_;
    TextDecoder decoder_{fonts_};
    Fields fields_;
    PictureReader picture_;
    int pendingCells_ = 0;
    std::vector<int> cellEdges_;  // twips, of the current table row

    TextFormats formats_{fonts_, colours_, fields_.links(), cellEdges_};
    DocumentOutput output_;
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
