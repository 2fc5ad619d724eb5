#include <QBuffer>
#include <QImage>
#include <QTemporaryFile>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <functional>
#include <memory>

#include "meslek-yardim/MeslekYardim.h"
#include "rtf/HelpDocument.h"
#include "rtf/RtfReader.h"

namespace {

std::unique_ptr<QTextDocument> load(const QByteArray& rtf) {
    auto document = std::make_unique<QTextDocument>();
    loadHelpDocument(rtf, *document);
    return document;
}

// The plain text of an RTF body wrapped in a minimal header.
QString text(const QByteArray& body) { return load("{\\rtf1\\ansi " + body + "}")->toPlainText(); }

// The format of the character at `position`.
QTextCharFormat formatAt(const QTextDocument& document, int position) {
    QTextCursor cursor(const_cast<QTextDocument*>(&document));
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

QTextCharFormat formatOf(const QTextDocument& document, const QString& word) {
    const int at = static_cast<int>(document.toPlainText().indexOf(word));
    EXPECT_GE(at, 0) << word.toStdString();
    return formatAt(document, at);
}

// What `run` writes on the process's error output.
QByteArray errorOutputOf(const std::function<void()>& run) {
    QTemporaryFile capture;
    EXPECT_TRUE(capture.open());
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(capture.handle(), STDERR_FILENO);
    run();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    capture.seek(0);
    return capture.readAll();
}

QByteArray encoded(int width, int height, const char* format) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    for (int y = 0; y < height; ++y) image.setPixelColor(1, y, Qt::blue);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    // BMP with a palette, to exercise the bitmap header's arithmetic.
    if (QByteArray(format) == "BMP") image = image.convertToFormat(QImage::Format_Indexed8);
    image.save(&buffer, format);
    return bytes;
}

// The image formats of the document, in order.
std::vector<QTextImageFormat> images(const QTextDocument& document) {
    std::vector<QTextImageFormat> found;
    for (QTextBlock b = document.begin(); b.isValid(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (f.isImageFormat()) found.push_back(f.toImageFormat());
        }
    }
    return found;
}

const QByteArray Fonts =
    "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\fcharset162 Times New Roman;}"
    "{\\f2\\fnil\\fcharset2 Symbol;}}";

}  // namespace

TEST(RtfReaderTest, DestinationsAreReadOrSkipped) {
    EXPECT_EQ(text(Fonts + "{\\colortbl;\\red1\\green2\\blue3;}{\\stylesheet{\\s0 Normal;}}"
                           "{\\info{\\title Baslik}}{\\*\\unknown gizli {\\b ic}}Gorunen"),
              "Gorunen");
    // An unknown destination without \* is read as text, as RTF wants.
    EXPECT_EQ(text("{\\unknownword metin} son"), "metin son");
    // Control symbols, line ends in the bytes, an unmatched '}' and a missing end.
    EXPECT_EQ(text("a\\\\b\\{c\\}\r\nd}e"), "a\\b{c}de");
    EXPECT_EQ(load("{\\rtf1 yarim")->toPlainText(), "yarim");
}

TEST(RtfReaderTest, HexBytesFollowTheFontCharsetElseTheAnsiCodePage) {
    EXPECT_EQ(text(Fonts + "\\f0 \\'fd\\'f0 {\\f1 \\'fd\\'f0\\'de} \\'fd"), "ýð ığŞ ý");
    EXPECT_EQ(load("{\\rtf1\\ansi\\ansicpg1254 \\'fd\\'dd}")->toPlainText(), "ıİ");
    // Raw bytes above 0x7F are read the same way.
    EXPECT_EQ(load("{\\rtf1\\ansi\\ansicpg1254 \xfd}")->toPlainText(), "ı");
    // A multi-byte page joins lead and trail bytes.
    EXPECT_EQ(load("{\\rtf1\\ansi\\ansicpg932 \\'82\\'a0x}")->toPlainText(), "あx");
    // The Symbol font's bullet.
    EXPECT_EQ(text(Fonts + "{\\f2 \\'b7}"), "•");
    // A font's character set goes before the document's code page: Western
    // text in a Chinese document, Turkish text in a Western one; a font that
    // says "default" (1), or nothing, takes the document's.
    const QByteArray mixed =
        "{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset162 Tahoma;}{\\f2\\fcharset1 X;}"
        "{\\f3 Y;}}";
    EXPECT_EQ(load("{\\rtf1\\ansi\\ansicpg950" + mixed + "\\f0 \\'a9\\f1 \\'fd}")->toPlainText(),
              "©ı");
    EXPECT_EQ(load("{\\rtf1\\ansi\\ansicpg1252" + mixed + "\\f1 \\'dd\\f2 \\'dd\\f3 \\'dd}")
                  ->toPlainText(),
              "İÝÝ");
    EXPECT_EQ(load("{\\rtf1\\ansi\\ansicpg1254" + mixed + "\\f2 \\'dd\\f3 \\'fd}")->toPlainText(),
              "İı");
    // The code page follows a change of the document's, and a font table
    // read after the text has begun, in the middle of a font's run.
    EXPECT_EQ(load("{\\rtf1\\ansi\\ansicpg1252 \\'fd\\ansicpg1254 \\'fd\\pc \\'fd}")->toPlainText(),
              "ýı²");
    EXPECT_EQ(load("{\\rtf1{\\fonttbl{\\f1\\fcharset0 A;}}\\f1 \\'fd"
                   "{\\fonttbl{\\f1\\fcharset162 B;}}\\'fd}")
                  ->toPlainText(),
              "ýı");
}

TEST(RtfReaderTest, SymbolFontTextIsReadAsTheCharactersItShows) {
    // Raw and \'hh bytes: Greek letters, the bullet, an arrow, a double arrow,
    // the serif and sans-serif marks, the ellipsis, and bytes with no glyph.
    EXPECT_EQ(text(Fonts + "{\\f2 aDW \\'b7\\'ae\\'de\\'d3\\'d2\\'e4\\'bc\\'80\\'ff}"),
              "αΔΩ •→⇒©®™…\uFFFD\uFFFD");
    // Word's \uN for a Symbol glyph, in the private range; outside it, or in
    // another font, the code stays.
    EXPECT_EQ(text(Fonts + "{\\f2\\u-3913?\\u61472?\\u61537?\\u61471?\\u8226?}\\f0\\u-3913?"),
              "• α\uF01F•\uF0B7");
    // A font named Symbol is read so without the symbol charset; another
    // name, even a longer one, is not.
    const QByteArray named =
        "{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f5\\fnil SYMBOL;}{\\f6\\fnil Symbola;}}";
    EXPECT_EQ(
        load("{\\rtf1\\ansi" + named + "\\f5 \\'b7a\\u-3913?\\f6 \\'b7a\\f0 \\'b7}")->toPlainText(),
        "•α•·a·");
    EXPECT_EQ(load("{\\rtf1\\ansi\\ansicpg1254 \\'b7}")->toPlainText(), "·");

    // The characters are drawn in the view's font, with the run's own size,
    // weight and colour: the font named Symbol may have no glyph for them.
    const auto d = load("{\\rtf1\\ansi\\deff0" + Fonts +
                        "{\\colortbl;\\red255\\green0\\blue0;}"
                        "\\f0\\fs20 x{\\listtext\\f2\\fs24\\b\\cf1 \\'b7\\tab}y}");
    const QTextCharFormat bullet = formatOf(*d, "•");
    EXPECT_FALSE(bullet.hasProperty(QTextFormat::FontFamilies));
    EXPECT_FALSE(bullet.hasProperty(QTextFormat::FontFamily));
    EXPECT_EQ(bullet.fontPointSize(), 12.0);
    EXPECT_EQ(bullet.fontWeight(), QFont::Bold);
    EXPECT_EQ(bullet.foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(formatOf(*d, "y").fontFamilies().toStringList(), QStringList{"Arial"});
}

TEST(RtfReaderTest, UnicodeCharactersSkipTheirFallback) {
    EXPECT_EQ(text("\\u351?\\u-10179?\\u-8704?"), "ş😀");
    EXPECT_EQ(text("\\uc2\\u351 xyz"), "şz");
    EXPECT_EQ(text("\\uc0\\u351 x"), "şx");
    EXPECT_EQ(text("\\u351\\'fdx"), "şx");                  // a \'hh counts as one
    EXPECT_EQ(text("{\\uc3\\u351}ab"), "şab");              // a group end stops skipping
    EXPECT_EQ(text("{\\uc2 {\\u351 ab}\\u351 cd}"), "şş");  // \uc is group state
}

TEST(RtfReaderTest, CharacterFormatting) {
    const auto d = load("{\\rtf1\\ansi\\deff0" + Fonts +
                        "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green128\\blue0;}"
                        "\\f1\\fs28 tnr {\\b kalin}{\\i egik}{\\ul alti}{\\strike ustu}"
                        "{\\cf1 kirmizi}{\\highlight2 yesil}{\\b\\b0 duz}{\\super yukari} sonra"
                        "\\plain yalin}");
    EXPECT_EQ(formatOf(*d, "tnr").fontFamilies().toStringList(), QStringList{"Times New Roman"});
    EXPECT_EQ(formatOf(*d, "tnr").fontPointSize(), 14.0);
    EXPECT_EQ(formatOf(*d, "kalin").fontWeight(), QFont::Bold);
    EXPECT_TRUE(formatOf(*d, "egik").fontItalic());
    EXPECT_TRUE(formatOf(*d, "alti").fontUnderline());
    EXPECT_TRUE(formatOf(*d, "ustu").fontStrikeOut());
    EXPECT_EQ(formatOf(*d, "kirmizi").foreground().color(), QColor(255, 0, 0));
    EXPECT_EQ(formatOf(*d, "yesil").background().color(), QColor(0, 128, 0));
    EXPECT_NE(formatOf(*d, "duz").fontWeight(), QFont::Bold);
    EXPECT_EQ(formatOf(*d, "yukari").verticalAlignment(), QTextCharFormat::AlignSuperScript);
    // A group's end restores the outer format; \plain goes back to the default font.
    const QTextCharFormat after = formatOf(*d, "sonra");
    EXPECT_NE(after.fontWeight(), QFont::Bold);
    EXPECT_FALSE(after.hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(after.fontPointSize(), 14.0);
    const QTextCharFormat plain = formatOf(*d, "yalin");
    EXPECT_EQ(plain.fontFamilies().toStringList(), QStringList{"Arial"});
    EXPECT_FALSE(plain.hasProperty(QTextFormat::FontPointSize));
    // Colour 0 is "automatic"; an index past the table is no colour either.
    EXPECT_FALSE(
        formatOf(*load("{\\rtf1{\\colortbl;\\red9\\green9\\blue9;}{\\cf0 a}{\\cf2 b}}"), "b")
            .hasProperty(QTextFormat::ForegroundBrush));
    // Hidden text is not shown.
    EXPECT_EQ(text("a{\\v gizli}b\\v c\\v0 d"), "abd");
}

TEST(RtfReaderTest, ParagraphsBreaksAndSpecialCharacters) {
    const auto d = load(
        "{\\rtf1\\pard\\qc\\li720\\ri360\\fi-360\\sb240\\sa120 orta\\par"
        "\\pard sol\\line ikinci\\tab sekme\\par \\qr\\sl-480 sag\\par\\pard\\qj\\sl360\\slmult1 "
        "iki\\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote\\~\\-\\_}");
    ASSERT_EQ(d->blockCount(), 4);
    // A final \par ends the last paragraph and opens no empty one.
    EXPECT_EQ(load("{\\rtf1 a\\par}")->blockCount(), 1);
    EXPECT_EQ(text("a\\par\\par"), "a\n");
    const QTextBlockFormat centred = d->begin().blockFormat();
    EXPECT_EQ(centred.alignment(), Qt::AlignHCenter);
    EXPECT_EQ(centred.leftMargin(), 48);
    EXPECT_EQ(centred.rightMargin(), 24);
    EXPECT_EQ(centred.textIndent(), -24);
    EXPECT_EQ(centred.topMargin(), 16);
    EXPECT_EQ(centred.bottomMargin(), 8);
    // Tab stops count from the margin, Qt's from where the first line starts;
    // a hanging indent has a stop at the indent.
    const QList<QTextOption::Tab> stops = centred.tabPositions();
    ASSERT_EQ(stops.size(), 1);
    EXPECT_EQ(stops[0].position, 24);
    EXPECT_EQ(load("{\\rtf1\\tx1500\\tx750 a\\tab b}")->begin().blockFormat().tabPositions(),
              (QList<QTextOption::Tab>{QTextOption::Tab(50, QTextOption::LeftTab),
                                       QTextOption::Tab(100, QTextOption::LeftTab)}));
    const QTextBlock second = d->begin().next();
    EXPECT_EQ(second.text(), QString("sol") + QChar::LineSeparator + "ikinci\tsekme");
    EXPECT_EQ(second.blockFormat().leftMargin(), 0);  // \pard
    EXPECT_EQ(second.blockFormat().alignment(), Qt::AlignLeft);
    const QTextBlockFormat right = second.next().blockFormat();
    EXPECT_EQ(right.alignment(), Qt::AlignRight);
    EXPECT_EQ(right.lineHeightType(), QTextBlockFormat::FixedHeight);
    EXPECT_EQ(right.lineHeight(), 32);
    const QTextBlock last = d->lastBlock();
    EXPECT_EQ(last.blockFormat().alignment(), Qt::AlignJustify);
    EXPECT_EQ(last.blockFormat().lineHeight(), 150);
    EXPECT_EQ(last.text(), QString::fromUtf8("iki—–•‘’“”\u00a0\u00ad\u2011"));
}

TEST(RtfReaderTest, ListTextsShowTheirBulletsAndNumbers) {
    EXPECT_EQ(text(Fonts + "{\\*\\listtable{\\list{\\listlevel{\\leveltext \\'01\\u-3913 ?;}}}}"
                           "{\\listtext\\f2 \\'b7\\tab}\\pard\\ls1 bir\\par"
                           "{\\pntext 2.\\tab}{\\*\\pn\\pnlvlbody{\\pntxta .}}\\pard iki\\par"
                           "{\\pn\\pnlvlblt{\\pntxtb x}}\\pard uc"),
              "•\tbir\n2.\tiki\nuc");
}

TEST(RtfReaderTest, HyperlinkFieldsBecomeAnchors) {
    const auto d = load(
        "{\\rtf1 Bkz. {\\field{\\*\\fldinst{HYPERLINK \"http://example.com/a b\"}}"
        "{\\fldrslt{\\ul\\cf1 sitemiz}}} ve "
        "{\\field{\\*\\fldinst HYPERLINK \\\\l \"bolum\"}{\\fldrslt b\\'f6l\\'fcm}} "
        "{\\field{\\*\\fldinst PAGE}{\\fldrslt 3}} "
        "{\\field{\\*\\fldinst IF {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}} = 1}{\\fldrslt son}}}");
    EXPECT_EQ(d->toPlainText(), "Bkz. sitemiz ve bölüm 3 son");
    const QTextCharFormat link = formatOf(*d, "sitemiz");
    EXPECT_TRUE(link.isAnchor());
    EXPECT_EQ(link.anchorHref(), "http://example.com/a b");
    EXPECT_TRUE(link.fontUnderline());
    EXPECT_EQ(link.foreground().color(), QColor(0, 0, 255));
    EXPECT_EQ(formatOf(*d, "bölüm").anchorHref(), "#bolum");
    EXPECT_FALSE(formatOf(*d, "3").isAnchor());
    EXPECT_FALSE(formatOf(*d, "son").isAnchor());
}

TEST(RtfReaderTest, PicturesShowOnceAtTheirSize) {
    const QByteArray data = encoded(3, 2, "PNG");
    const QByteArray dib = encoded(5, 4, "BMP").mid(14);  // without the file header
    // The shape picture is read, the fallback beside it is not.
    const auto d = load(
        "{\\rtf1 a{\\*\\shppict{\\pict\\pngblip\\picw3\\pich2\\picwgoal450"
        "\\pichgoal300{\\*\\blipuid 00}" +
        data.toHex() +
        "}}{\\nonshppict{\\pict\\wmetafile8\\picw10\\pich10 0102}}b"
        "{\\pict\\emfblip\\picw2540\\pich1270 0000}"
        "{\\pict\\jpegblip ffd8ffzz}"
        "{\\pict\\dibitmap0 " +
        dib.toHex() +
        "}"
        "{\\pict\\pngblip\\picscalex200\\bin" +
        QByteArray::number(data.size()) + " " + data + "}}");
    EXPECT_EQ(yardim::documentText(*d), "a[resim]b[resim][resim][resim][resim]\n");
    const auto found = images(*d);
    ASSERT_EQ(found.size(), 5u);
    EXPECT_EQ(found[0].width(), 30);  // 450 twips
    EXPECT_EQ(found[0].height(), 20);
    const QImage shown =
        d->resource(QTextDocument::ImageResource, QUrl(found[0].name())).value<QImage>();
    EXPECT_EQ(shown.size(), QSize(3, 2));
    // A metafile is an empty frame of its size (0.01 mm), as is broken JPEG data.
    EXPECT_EQ(found[1].width(), 96);
    EXPECT_EQ(found[1].height(), 48);
    EXPECT_TRUE(found[1].name().startsWith("rtf-frame:"));
    EXPECT_TRUE(found[2].name().startsWith("rtf-frame:"));
    // A device-independent bitmap is shown.
    const QImage bitmap =
        d->resource(QTextDocument::ImageResource, QUrl(found[3].name())).value<QImage>();
    EXPECT_EQ(bitmap.size(), QSize(5, 4));
    for (int y : {0, 3}) {
        EXPECT_EQ(bitmap.pixelColor(0, y), QColor(Qt::red));
        EXPECT_EQ(bitmap.pixelColor(1, y), QColor(Qt::blue));
    }
    EXPECT_FALSE(found[3].name().startsWith("rtf-frame:"));
    // \bin data holds CR LF (the PNG signature has one) and arrives unchanged.
    EXPECT_EQ(found[4].width(), 6);
    EXPECT_FALSE(found[4].name().startsWith("rtf-frame:"));

    // A 256-colour bitmap that gives no colour count: its palette is all 256.
    QImage indexed(4, 2, QImage::Format_Indexed8);
    QList<QRgb> table(256, qRgb(0, 0, 0));
    table[7] = qRgb(255, 0, 0);
    table[200] = qRgb(0, 0, 255);
    indexed.setColorTable(table);
    indexed.fill(7);
    indexed.setPixel(1, 0, 200);
    QByteArray bmp;
    QBuffer bmpBuffer(&bmp);
    bmpBuffer.open(QIODevice::WriteOnly);
    indexed.save(&bmpBuffer, "BMP");
    QByteArray counted = bmp.mid(14);              // without the file header
    for (int i = 32; i < 36; ++i) counted[i] = 0;  // biClrUsed: none given
    const auto full = load("{\\rtf1 {\\pict\\dibitmap0 " + counted.toHex() + "}}");
    ASSERT_EQ(images(*full).size(), 1u);
    const QImage palette =
        full->resource(QTextDocument::ImageResource, QUrl(images(*full)[0].name())).value<QImage>();
    ASSERT_EQ(palette.size(), QSize(4, 2));
    EXPECT_EQ(palette.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(palette.pixelColor(1, 0), QColor(Qt::blue));

    // PNG data damaged past its header: an empty frame, and not a word on the
    // error output (libpng writes its errors there by itself).
    QByteArray damaged = encoded(20, 20, "PNG");
    const qsizetype idat = damaged.indexOf("IDAT");
    for (qsizetype k = idat + 6; k < idat + 14; ++k) damaged[k] = char(0xAB);
    std::unique_ptr<QTextDocument> broken;
    const QByteArray said = errorOutputOf(
        [&] { broken = load("{\\rtf1 a{\\pict\\pngblip " + damaged.toHex() + "}b}"); });
    EXPECT_EQ(said, QByteArray());
    ASSERT_EQ(images(*broken).size(), 1u);
    EXPECT_TRUE(images(*broken)[0].name().startsWith("rtf-frame:"));
}

TEST(RtfReaderTest, TablesAreRowsOfTabSeparatedCells) {
    // The cells start at the row's cell edges.
    const auto d = load(
        "{\\rtf1\\trowd\\cellx1500\\cellx3000\\pard\\intbl a\\cell b\\cell\\row"
        "\\pard dis\\par}");
    const QList<QTextOption::Tab> tabs = d->begin().blockFormat().tabPositions();
    ASSERT_EQ(tabs.size(), 1);
    EXPECT_EQ(tabs[0].position, 100);
    EXPECT_TRUE(d->lastBlock().blockFormat().tabPositions().isEmpty());
    EXPECT_EQ(
        text("\\trowd\\cellx1000\\cellx2000\\cellx3000\\pard\\intbl a\\cell b\\cell c\\cell\\row"
             "\\trowd\\pard\\intbl \\cell\\cell son\\cell\\row sonra"),
        "a\tb\tc\n\t\tson\nsonra");
}

TEST(RtfReaderTest, BadInputIsReadWithinLimits) {
    // Nesting past the limit is skipped whole; the text around it stays.
    const int deep = 100000;
    EXPECT_EQ(text("a" + QByteArray(deep, '{') + "b" + QByteArray(deep, '}') + "c"), "ac");
    // {\rtf1 is the first group: MaxGroupDepth groups in all are read, one more is not.
    const int inner = rtf::MaxGroupDepth - 1;
    EXPECT_EQ(text("a" + QByteArray(inner, '{') + "b" + QByteArray(inner, '}') + "c"), "abc");
    EXPECT_EQ(text("a" + QByteArray(inner + 1, '{') + "b" + QByteArray(inner + 1, '}') + "c"),
              "ac");
    // Huge parameters, \bin past the end, a long control word, a cut-off \'h.
    EXPECT_EQ(text("\\fs99999999999999999999 a\\u99999999999 b\\li-99999999999 c"), "a\uFFFDc");
    // Font sizes stay within 1 to 1638 points; none or less is the default size.
    const auto sized = load("{\\rtf1 \\fs99999999 a\\fs1 b\\fs-4 c\\fs24 d}");
    EXPECT_EQ(formatOf(*sized, "a").fontPointSize(), 1638);
    EXPECT_EQ(formatOf(*sized, "b").fontPointSize(), 1);
    EXPECT_FALSE(formatOf(*sized, "c").hasProperty(QTextFormat::FontPointSize));
    EXPECT_EQ(formatOf(*sized, "d").fontPointSize(), 12);
    EXPECT_EQ(load("{\\rtf1 a\\bin999999999 xyz")->toPlainText(), "a");
    EXPECT_EQ(text("x\\" + QByteArray(1000, 'a') + " y"), "xy");
    EXPECT_EQ(load("{\\rtf1 a\\'f")->toPlainText(), "a");
    EXPECT_EQ(load("{\\rtf1 a\\")->toPlainText(), "a");
    // The capacity counts characters, paragraph ends and pictures.
    QTextDocument document;
    rtf::readRtf("{\\rtf1 abc\\par de{\\pict\\wmetafile8 00}fgh}", document, 6);
    EXPECT_EQ(yardim::documentText(document), "abc\nde\n");
    QTextDocument exact;
    rtf::readRtf("{\\rtf1 abc\\par de}", exact, 6);
    EXPECT_EQ(exact.toPlainText(), "abc\nde");
}
