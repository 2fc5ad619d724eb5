#include <QBuffer>
#include <QtEndian>

#include <functional>
#include <set>

#include <gtest/gtest.h>

#include "support/XlsxWriter.h"
#include "workbook/XlsxReader.h"

namespace {

using xlsx::CellKind;
using xlsx::Part;

struct ReadCell {
    QString place;
    CellKind kind;
    QString text;
    bool operator==(const ReadCell&) const = default;
};

std::ostream& operator<<(std::ostream& os, const ReadCell& c) {
    return os << c.place.toStdString() << '=' << c.text.toStdString() << '/'
              << static_cast<int>(c.kind);
}

std::vector<ReadCell> readBytes(const QByteArray& zip, const QString& sheet = {}) {
    QBuffer buffer;
    buffer.setData(zip);
    buffer.open(QIODevice::ReadOnly);
    std::vector<ReadCell> cells;
    xlsx::readSheet(buffer, sheet, [&](int row, const std::vector<xlsx::Cell>& rowCells) {
        for (const xlsx::Cell& c : rowCells)
            cells.push_back({xlsx::cellName(row, c.column), c.kind, c.text});
    });
    return cells;
}

std::vector<ReadCell> read(const std::vector<Part>& parts, const QString& sheet = {}) {
    return readBytes(xlsx::zipParts(parts), sheet);
}

// The message a workbook is refused with, or "" when it is read.
QString refusal(const QByteArray& zip, const QString& sheet = {}) {
    try {
        readBytes(zip, sheet);
    } catch (const xlsx::Error& e) {
        return e.message;
    }
    return {};
}

QString refusal(const std::vector<Part>& parts) { return refusal(xlsx::zipParts(parts)); }

// The same as text that a failed comparison shows.
std::string refused(const QByteArray& zip, const QString& sheet = {}) {
    return refusal(zip, sheet).toStdString();
}
std::string refused(const std::vector<Part>& parts) { return refusal(parts).toStdString(); }

// The message a workbook is refused with, or "" when it is read; the cells go
// to `onCell` and are not kept, so that large sheets cost no memory here.
QString refusalVisiting(const std::vector<Part>& parts,
                        const std::function<void(const xlsx::Cell&)>& onCell) {
    QBuffer buffer;
    buffer.setData(xlsx::zipParts(parts));
    buffer.open(QIODevice::ReadOnly);
    try {
        xlsx::readSheet(buffer, {}, [&](int, const std::vector<xlsx::Cell>& cells) {
            for (const xlsx::Cell& c : cells) onCell(c);
        });
    } catch (const xlsx::Error& e) {
        return e.message;
    }
    return {};
}

std::vector<Part> oneSheet(const QByteArray& sheetData, const QByteArray& strings = {}) {
    return xlsx::workbookParts({{QStringLiteral("Sayfa1"), sheetData}}, strings);
}

// The parts with `name` replaced by `data` (or left out when data is null).
std::vector<Part> replaced(std::vector<Part> parts, const QString& name, const QByteArray& data) {
    std::erase_if(parts, [&](const Part& p) { return p.name == name; });
    if (!data.isNull()) parts.push_back({name, data});
    return parts;
}

const ReadCell text(const char* place, const QString& value) {
    return {QString::fromLatin1(place), CellKind::Text, value};
}

}  // namespace

TEST(XlsxReaderTest, ReadsEveryKindOfCellAtItsReference) {
    const QByteArray strings =
        "<si><t>meslek kodları</t></si>"
        "<si><r><rPr><b/></rPr><t>MESLEK </t></r><r><t>Adı</t></r>"
        "<rPh sb=\"0\" eb=\"1\"><t>okunuş</t></rPh></si>"
        "<si><t xml:space=\"preserve\">Waelz Görevlisi     </t></si>"
        "<si><t>Ar&amp;Ge &lt;Uzmanı&gt;</t></si>";
    const QByteArray sheet =
        "<row r=\"2\"><c r=\"B2\" t=\"s\"><v>0</v></c><c r=\"C2\" t=\"s\"><v>1</v></c></row>"
        "<row r=\"5\"><c r=\"B5\" t=\"inlineStr\"><is><r><t>0110</t></r><r><t>.00</t></r></is></c>"
        "<c r=\"C5\" t=\"s\"><v>2</v></c><c r=\"D5\"/><c r=\"E5\" t=\"s\"><v>3</v></c></row>"
        "<row><c t=\"str\"><f>A1</f><v>5120.10</v></c><c><v>5120.1</v></c>"
        "<c t=\"b\"><v>1</v></c><c r=\"AA6\" t=\"inlineStr\"><is><t>uzak</t></is></c></row>"
        "<row r=\"9\" spans=\"1:2\"></row>"
        "<row r=\"1048576\"><c r=\"XFD1048576\" t=\"inlineStr\"><is><t>son</t></is></c></row>";
    const std::vector<ReadCell> expected = {
        text("B2", QStringLiteral("meslek kodları")),
        text("C2", QStringLiteral("MESLEK Adı")),
        text("B5", QStringLiteral("0110.00")),
        text("C5", QStringLiteral("Waelz Görevlisi     ")),
        text("E5", QStringLiteral("Ar&Ge <Uzmanı>")),
        text("A6", QStringLiteral("5120.10")),
        {QStringLiteral("B6"), CellKind::Number, QStringLiteral("5120.1")},
        {QStringLiteral("C6"), CellKind::Other, QStringLiteral("1")},
        text("AA6", QStringLiteral("uzak")),
        text("XFD1048576", QStringLiteral("son")),
    };
    EXPECT_EQ(read(oneSheet(sheet, strings)), expected);
}

TEST(XlsxReaderTest, FindsSheetsAndStringsThroughTheRelationships) {
    // Parts where no guess would look for them, the strings under an absolute
    // target, and the sheets listed in an order unlike their part names.
    std::vector<Part> parts = xlsx::workbookParts(
        {{QStringLiteral("Kapak"), "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>"},
         {QStringLiteral("RaporPrmMeslekKodu"),
          "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>1</v></c></row>"}},
        "<si><t>kapak</t></si><si><t>liste</t></si>");
    for (Part& p : parts) {
        if (p.name == QLatin1String("_rels/.rels"))
            p.data.replace("Target=\"xl/workbook.xml\"", "Target=\"/kitap/ana.xml\"");
        if (p.name == QLatin1String("xl/workbook.xml")) p.name = QStringLiteral("kitap/ana.xml");
        if (p.name == QLatin1String("xl/_rels/workbook.xml.rels")) {
            p.name = QStringLiteral("kitap/_rels/ana.xml.rels");
            p.data.replace("worksheets/sheet1.xml", "../veri/b.xml")
                .replace("worksheets/sheet2.xml", "../veri/a.xml")
                .replace("Target=\"sharedStrings.xml\"", "Target=\"/metin/ortak.xml\"");
        }
        if (p.name == QLatin1String("xl/worksheets/sheet1.xml"))
            p.name = QStringLiteral("veri/b.xml");
        if (p.name == QLatin1String("xl/worksheets/sheet2.xml"))
            p.name = QStringLiteral("veri/a.xml");
        if (p.name == QLatin1String("xl/sharedStrings.xml"))
            p.name = QStringLiteral("metin/ortak.xml");
    }
    EXPECT_EQ(read(parts), std::vector{text("A1", QStringLiteral("kapak"))});
    EXPECT_EQ(read(parts, QStringLiteral("raporprmmeslekkodu")),
              std::vector{text("A1", QStringLiteral("liste"))});

    QBuffer buffer;
    buffer.setData(xlsx::zipParts(parts));
    buffer.open(QIODevice::ReadOnly);
    EXPECT_EQ(
        xlsx::sheetNames(buffer),
        (std::vector<QString>{QStringLiteral("Kapak"), QStringLiteral("RaporPrmMeslekKodu")}));
    EXPECT_EQ(refusal(xlsx::zipParts(parts), QStringLiteral("Yok")),
              QStringLiteral("\"Yok\" adında bir sayfa yok; sayfalar: Kapak, RaporPrmMeslekKodu"));
}

TEST(XlsxReaderTest, RefusesDamagedAndHostileWorkbooks) {
    const std::vector<Part> good =
        oneSheet("<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c></row>", "<si><t>kod</t></si>");
    ASSERT_EQ(refusal(good), QString());
    const QByteArray zip = xlsx::zipParts(good);
    const QString sheetPart = QStringLiteral("xl/worksheets/sheet1.xml");
    auto sheet = [&](const QByteArray& data) {
        return replaced(good, sheetPart,
                        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/"
                        "2006/main\"><sheetData>" +
                            data + "</sheetData></worksheet>");
    };
    // Flips a byte in the middle of the sheet's compressed data.
    QByteArray damaged = zip;
    const qsizetype header = damaged.indexOf("xl/worksheets/sheet1.xml");
    damaged[header + 60] = static_cast<char>(damaged[header + 60] ^ 0x55);

    const struct {
        const char* what;
        QByteArray zip;
        const char* message;
    } cases[] = {
        {"not a zip", "meslek_kodu,meslek_adi\n", "zip dosyası olarak açılamadı"},
        {"an empty file", "", "zip dosyası olarak açılamadı"},
        {"a cut zip", zip.left(zip.size() / 2), "zip dosyası olarak açılamadı"},
        {"damaged data", damaged, "xl/worksheets/sheet1.xml bölümü bozuk"},
        {"no package relationships", xlsx::zipParts(replaced(good, "_rels/.rels", {})),
         "_rels/.rels bölümü yok"},
        {"no sheet part", xlsx::zipParts(replaced(good, sheetPart, {})),
         "xl/worksheets/sheet1.xml bölümü yok"},
        {"no sheets", xlsx::zipParts(replaced(good, "xl/workbook.xml", "<workbook/>")),
         "hiç sayfa yok"},
        {"a target outside",
         xlsx::zipParts(replaced(good, "_rels/.rels",
                                 "<Relationships><Relationship Id=\"a\" "
                                 "Type=\"x/officeDocument\" "
                                 "Target=\"../../etc/passwd\"/>"
                                 "</Relationships>")),
         "paketin dışını gösteren"},
        {"malformed XML", xlsx::zipParts(sheet("<row><c><v>1</c></row>")), "geçerli bir XML değil"},
        {"a cut part", xlsx::zipParts(replaced(good, sheetPart, "<worksheet><sheetData><row>")),
         "geçerli bir XML değil"},
        {"a DOCTYPE",
         xlsx::zipParts(replaced(good, sheetPart,
                                 "<?xml version=\"1.0\"?><!DOCTYPE w [<!ENTITY a "
                                 "\"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;\">]>"
                                 "<worksheet><sheetData><row><c t=\"inlineStr\"><is>"
                                 "<t>&b;</t></is></c></row></sheetData></worksheet>")),
         "DOCTYPE"},
        {"a column past XFD",
         xlsx::zipParts(sheet("<row r=\"1\"><c r=\"XFE1\"><v>1</v></c></row>")),
         "XFE1 hücresi biçimin son sütunu XFD'nin ötesinde"},
        {"a row past the last", xlsx::zipParts(sheet("<row r=\"1048577\"><c><v>1</v></c></row>")),
         "1048577. satır biçimin son satırı 1048576'nın ötesinde"},
        {"a cell past the last row",
         xlsx::zipParts(sheet("<row><c r=\"A1048577\"><v>1</v></c></row>")),
         "A1048577 hücresi biçimin son satırı"},
        {"a cell in the wrong row",
         xlsx::zipParts(sheet("<row r=\"2\"><c r=\"A3\"><v>1</v></c></row>")),
         "A3 hücresi 2. satırın içinde"},
        {"a bad reference", xlsx::zipParts(sheet("<row r=\"1\"><c r=\"1A\"><v>1</v></c></row>")),
         "geçersiz hücre başvurusu: 1A"},
        {"a missing shared string",
         xlsx::zipParts(sheet("<row r=\"1\"><c r=\"B1\" t=\"s\"><v>7</v></c></row>")),
         "B1 hücresi olmayan bir paylaşılan metni"},
    };
    for (const auto& c : cases) {
        const QString message = refusal(c.zip);
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.message)))
            << c.what << ": " << message.toStdString();
    }
}

TEST(XlsxReaderTest, StopsInflatingAtTheLimitWhateverTheZipSays) {
    // 300 MB of blanks deflate to a few hundred kilobytes: inside the sheet,
    // or after its end, where the part is still read to check it.
    for (const bool inside : {true, false}) {
        QByteArray sheet =
            inside ? "<worksheet><sheetData>" : "<worksheet><sheetData/></worksheet>";
        sheet.append(300 * 1024 * 1024, ' ');
        if (inside) sheet.append("</sheetData></worksheet>");
        const QByteArray zip = xlsx::zipParts(
            replaced(oneSheet({}), QStringLiteral("xl/worksheets/sheet1.xml"), sheet));
        sheet.clear();
        sheet.squeeze();
        ASSERT_LT(zip.size(), 2 * 1024 * 1024);
        EXPECT_EQ(refused(zip),
                  "xl/worksheets/sheet1.xml bölümü açıldığında 256 MB sınırını aşıyor; dosya "
                  "kabul edilmedi")
            << inside;
    }
}

namespace {

const QString SheetPart = QStringLiteral("xl/worksheets/sheet1.xml");

// A workbook whose sheet part is `xml` as it stands.
std::vector<Part> sheetPart(const QByteArray& xml, const QByteArray& strings = {}) {
    return replaced(oneSheet({}, strings), SheetPart, xml);
}

// `count` attributes as a start tag holds them: ` a0="0" a1="1" ...`.
QByteArray attributes(int count, const QByteArray& prefix = " a") {
    QByteArray text;
    for (int i = 0; i < count; ++i)
        text += prefix + QByteArray::number(i) + "=\"" + QByteArray::number(i) + "\"";
    return text;
}

// `xml` in UTF-16, little-endian after a byte order mark or big-endian without one.
QByteArray utf16(const QString& xml, bool littleEndian) {
    QByteArray bytes = littleEndian ? QByteArray("\xFF\xFE") : QByteArray();
    for (const QChar c : xml) {
        const char high = static_cast<char>(c.unicode() >> 8);
        const char low = static_cast<char>(c.unicode() & 0xFF);
        bytes.append(littleEndian ? low : high).append(littleEndian ? high : low);
    }
    return bytes;
}

const QByteArray OneCell = "<sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row></sheetData>";

}  // namespace

TEST(XlsxReaderTest, RefusesNestingAndMarkupBeyondWhatASheetNeeds) {
    auto nested = [](int depth) {
        return sheetPart("<worksheet>" + QByteArray("<x>").repeated(depth - 1) +
                         QByteArray("</x>").repeated(depth - 1) + OneCell + "</worksheet>");
    };
    auto tagWith = [](int count) {
        return sheetPart("<worksheet><x" + attributes(count) + "/>" + OneCell + "</worksheet>");
    };
    const QByteArray forty = attributes(40, " xmlns:p");
    const QString sheet = SheetPart;
    const struct {
        const char* what;
        std::vector<Part> parts;
        QString message;  // "" when read
    } cases[] = {
        {"64 deep", nested(64), {}},
        {"65 deep", nested(65),
         sheet + " bölümünde öğeler 64 düzeyden derin iç içe geçmiş; çalışma kitaplarında "
                 "bulunmaz, dosya kabul edilmedi"},
        {"64 attributes", tagWith(64), {}},
        {"65 attributes", tagWith(65),
         sheet + " bölümünde 64 öznitelikten fazlası olan bir öğe var; çalışma kitaplarında "
                 "bulunmaz, dosya kabul edilmedi"},
        {"40 namespaces on each of two siblings",
         sheetPart("<worksheet><x" + forty + "/><y" + forty + "/>" + OneCell + "</worksheet>"),
         {}},
        {"40 namespaces on an element and 40 more inside it",
         sheetPart("<worksheet" + forty + "><x" + QByteArray(forty).replace("xmlns:p", "xmlns:q") +
                   "/>" + OneCell + "</worksheet>"),
         sheet + " bölümünde aynı anda geçerli 64 ad alanı bildiriminden fazlası var; çalışma "
                 "kitaplarında bulunmaz, dosya kabul edilmedi"},
        {"65 attributes in the relationships",
         replaced(oneSheet({}), QStringLiteral("_rels/.rels"),
                  "<Relationships" + attributes(65) + "/>"),
         QStringLiteral("_rels/.rels bölümünde 64 öznitelikten fazlası")},
    };
    for (const auto& c : cases) {
        const QString message = refusal(c.parts);
        if (c.message.isEmpty()) {
            EXPECT_EQ(message.toStdString(), "") << c.what;
        } else {
            EXPECT_TRUE(message.startsWith(c.message)) << c.what << ": " << message.toStdString();
        }
    }
}

TEST(XlsxReaderTest, CountsOnlyTheAttributesOfStartTags) {
    // '=' and '>' inside quoted values, comments, CDATA sections and
    // processing instructions are no markup; a part in UTF-16 is read in
    // code units (the low bytes of м, н and о are those of '<', '=' and '>').
    const QByteArray many = attributes(100);
    const QByteArray singles = QByteArray("b=c>d='e'=").repeated(100);
    const QByteArray doubles = QByteArray("b=c>d=&quot;e\"=").repeated(100);
    const QByteArray query = "https://ornek.com.tr/?" + QByteArray("k=v&amp;").repeated(100);
    const QString cyrillic = QString(u'м') + QString(100, u'н') + QStringLiteral("о мастер");
    const QString utf16Sheet = QStringLiteral(
                                   "<?xml version=\"1.0\" encoding=\"UTF-16\"?><worksheet>"
                                   "<sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>") +
                               cyrillic +
                               QStringLiteral("</t></is></c></row></sheetData></worksheet>");
    const struct {
        const char* what;
        QByteArray xml;
        QString text;  // of A1, or "" when the sheet must be refused
    } cases[] = {
        {"quoted",
         "<worksheet><x c=\"" + query + "\" a=\"" + singles + "\" b='" + doubles + "'/>" + OneCell,
         QStringLiteral("1")},
        {"comment", "<worksheet><!-- 1 > 0 <x" + many + "/> - -> -->" + OneCell,
         QStringLiteral("1")},
        {"instruction", "<worksheet><?x 1 > 0 <y" + many + "/> ?>" + OneCell, QStringLiteral("1")},
        {"CDATA",
         "<worksheet><sheetData><row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t><![CDATA[1 > 0 <x" +
             many + ">]>]]></t></is></c></row></sheetData>",
         QStringLiteral("1 > 0 <x") + QString::fromLatin1(many) + QStringLiteral(">]>")},
        {"UTF-16", utf16(utf16Sheet, true), cyrillic},
        {"UTF-16 with 65 attributes",
         utf16(QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?><worksheet><x") +
                   QString::fromLatin1(attributes(65)) + QStringLiteral("/></worksheet>"),
               false),
         {}},
    };
    for (const auto& c : cases) {
        const QByteArray xml = c.xml.startsWith("<worksheet>") ? c.xml + "</worksheet>" : c.xml;
        if (c.text.isEmpty()) {
            EXPECT_TRUE(refusal(sheetPart(xml)).contains(QStringLiteral("öznitelikten fazlası")))
                << c.what;
            continue;
        }
        try {
            EXPECT_EQ(
                read(sheetPart(xml)),
                (std::vector<ReadCell>{
                    {QStringLiteral("A1"),
                     c.text == QLatin1String("1") ? CellKind::Number : CellKind::Text, c.text}}))
                << c.what;
        } catch (const xlsx::Error& e) {
            ADD_FAILURE() << c.what << ": " << e.message.toStdString();
        }
    }
}

namespace {

// The zip with the headers of entry `name`, local and central, changed: one
// bit of its CRC-32 flipped and its stated inflated size grown by `extra`.
QByteArray withDamagedHeaders(QByteArray zip, const QByteArray& name, quint32 extra) {
    auto patch = [&](qsizetype at, quint32 flip, quint32 add) {
        const quint32 value = qFromLittleEndian<quint32>(zip.constData() + at);
        qToLittleEndian<quint32>((value ^ flip) + add, zip.data() + at);
    };
    for (qsizetype at = zip.indexOf(name); at >= 0; at = zip.indexOf(name, at + 1)) {
        if (at >= 30 && zip.mid(at - 30, 4) == QByteArray("PK\x03\x04", 4)) {
            patch(at - 30 + 14, 1, 0);
            patch(at - 30 + 22, 0, extra);
        } else if (at >= 46 && zip.mid(at - 46, 4) == QByteArray("PK\x01\x02", 4)) {
            patch(at - 46 + 16, 1, 0);
            patch(at - 46 + 24, 0, extra);
        }
    }
    return zip;
}

}  // namespace

TEST(XlsxReaderTest, ChecksEveryPartToTheEndOfItsEntry) {
    const QByteArray zip = xlsx::zipParts(oneSheet(OneCell));
    ASSERT_EQ(refusal(zip), QString());
    const struct {
        const char* what;
        QByteArray zip;
        const char* message;
    } cases[] = {
        {"the sheet's CRC", withDamagedHeaders(zip, "xl/worksheets/sheet1.xml", 0),
         "xl/worksheets/sheet1.xml bölümü bozuk (sağlama toplamı tutmuyor)"},
        {"the package relationships' CRC", withDamagedHeaders(zip, "_rels/.rels", 0),
         "_rels/.rels bölümü bozuk (sağlama toplamı tutmuyor)"},
        // The zip library checks the CRC only when the entry gave all it claims.
        {"the CRC with a size too large", withDamagedHeaders(zip, "xl/workbook.xml", 100),
         "xl/workbook.xml bölümü bozuk (sağlama toplamı tutmuyor)"},
    };
    for (const auto& c : cases) EXPECT_EQ(refused(c.zip), c.message) << c.what;
}

TEST(XlsxReaderTest, RefusesPartNamesThatDifferOnlyInCase) {
    const std::vector<Part> good =
        oneSheet("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>gerçek</t></is></c></row>");
    ASSERT_EQ(read(good), std::vector{text("A1", QStringLiteral("gerçek"))});
    auto withFirst = [&](std::vector<Part> first) {
        std::vector<Part> parts = good;
        parts.insert(parts.begin(), first.begin(), first.end());
        return parts;
    };
    // Another workbook under sahte/, which an upper-case _RELS/.RELS names.
    std::vector<Part> decoy;
    for (Part p : oneSheet("<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>sahte</t></is></c>"
                           "</row>")) {
        if (p.name == QLatin1String("[Content_Types].xml")) continue;
        if (p.name == QLatin1String("_rels/.rels")) {
            p.data.replace("Target=\"xl/workbook.xml\"", "Target=\"sahte/xl/workbook.xml\"");
            decoy.insert(decoy.begin(), {QStringLiteral("_RELS/.RELS"), p.data});
        } else {
            decoy.push_back({QStringLiteral("sahte/") + p.name, p.data});
        }
    }
    const QByteArray decoySheet = decoy.back().data;
    auto twice = [](const QString& a, const QString& b) {
        return QStringLiteral(
                   "çalışma kitabında aynı adlı iki bölüm var (%1, %2); bölüm "
                   "adlarında büyük-küçük harf ayrımı yapılmaz, dosya kabul edilmedi")
            .arg(a, b)
            .toStdString();
    };
    EXPECT_EQ(refused(withFirst({{QStringLiteral("XL/WORKSHEETS/SHEET1.XML"), decoySheet}})),
              twice(QStringLiteral("XL/WORKSHEETS/SHEET1.XML"), SheetPart));
    EXPECT_EQ(refused(withFirst(decoy)),
              twice(QStringLiteral("_RELS/.RELS"), QStringLiteral("_rels/.rels")));
    std::vector<Part> again = good;
    again.push_back({SheetPart, decoySheet});
    EXPECT_EQ(refused(again), twice(SheetPart, SheetPart));
    // Only ASCII letters are taken without case: these are two parts.
    EXPECT_EQ(refused(withFirst({{QStringLiteral("xl/şema.xml"), "<a/>"},
                                 {QStringLiteral("xl/ŞEMA.xml"), "<a/>"}})),
              "");
}

TEST(XlsxReaderTest, BoundsTextsAndSharesLongSharedStrings) {
    const QByteArray longest(xlsx::MaxCellText, 'x');
    auto inlineCell = [](const QByteArray& text) {
        return "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>" + text + "</t></is></c></row>";
    };
    // Rows whose cell uses the second shared string, the first being short, so
    // that the second is only a piece of the text the strings are read into.
    auto rowsUsing = [](int rows) {
        QByteArray data;
        for (int r = 1; r <= rows; ++r)
            data += "<row r=\"" + QByteArray::number(r) + "\"><c t=\"s\"><v>1</v></c></row>";
        return data;
    };
    auto strings = [](const QByteArray& second) { return "<si><t>kod</t></si>" + second; };
    const QString tooLong = QStringLiteral(
        " bölümünde 32767 karakterden uzun bir metin var; bir hücre en çok 32767 "
        "karakter tutar, dosya kabul edilmedi");
    const QString half(20000, u'y');
    const struct {
        const char* what;
        std::vector<Part> parts;
        QString message;
    } cases[] = {
        {"a shared string", oneSheet(rowsUsing(1), strings("<si><t>" + longest + "x</t></si>")),
         QStringLiteral("xl/sharedStrings.xml") + tooLong},
        {"a shared string in runs",
         oneSheet(rowsUsing(1), strings("<si><r><t>" + half.toLatin1() + "</t></r><r><t>" +
                                        half.toLatin1() + "</t></r></si>")),
         QStringLiteral("xl/sharedStrings.xml") + tooLong},
        {"an inline string", oneSheet(inlineCell(longest + "x")), SheetPart + tooLong},
        {"a formula's string",
         oneSheet("<row r=\"1\"><c r=\"A1\" t=\"str\"><v>" + longest + "x</v></c></row>"),
         SheetPart + tooLong},
        {"8,000 uses of the longest shared string",
         oneSheet(rowsUsing(8000), strings("<si><t>" + longest + "</t></si>")),
         QStringLiteral("sayfanın hücrelerindeki metin toplam 256 milyon karakteri aşıyor "
                        "(paylaşılan bir metin kullanıldığı her hücrede sayılır); dosya kabul "
                        "edilmedi")},
        {"more cells in a row than columns",
         oneSheet("<row r=\"1\">" + QByteArray("<c r=\"A1\"><v>1</v></c>").repeated(16385) +
                  "</row>"),
         QStringLiteral("1. satırda 16384 hücreden fazlası var; bir satırda en çok 16384 sütun "
                        "olur, dosya kabul edilmedi")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(refusalVisiting(c.parts, [](const xlsx::Cell&) {}).toStdString(),
                  c.message.toStdString())
            << c.what;

    EXPECT_EQ(read(oneSheet(inlineCell(longest))),
              std::vector{text("A1", QString::fromLatin1(longest))});
    // 7,000 cells hand out 229 million characters, and hold them once. The
    // first texts are kept, so that no copy could take a freed one's place.
    std::size_t cells = 0;
    std::vector<QString> kept;
    EXPECT_EQ(refusalVisiting(oneSheet(rowsUsing(7000), strings("<si><t>" + longest + "</t></si>")),
                              [&](const xlsx::Cell& c) {
                                  ++cells;
                                  if (kept.size() < 100) kept.push_back(c.text);
                              })
                  .toStdString(),
              "");
    EXPECT_EQ(cells, 7000u);
    std::set<const QChar*> blocks;
    for (const QString& t : kept) blocks.insert(t.constData());
    EXPECT_EQ(blocks.size(), 1u);
    EXPECT_EQ(kept.front(), QString::fromLatin1(longest));
}

TEST(XlsxReaderTest, FindsASheetByItsNameInEitherCaseUnderTurkishRules) {
    auto cell = [](int index) {
        return "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>" + QByteArray::number(index) +
               "</v></c></row>";
    };
    const QByteArray strings = "<si><t>kapak</t></si><si><t>işçiler</t></si><si><t>liste</t></si>";
    const QByteArray zip = xlsx::zipParts(xlsx::workbookParts({{QStringLiteral("Kapak"), cell(0)},
                                                               {QStringLiteral("İşçi"), cell(1)},
                                                               {QStringLiteral("LISTE"), cell(2)}},
                                                              strings));
    for (const char* name : {"İşçi", "işçi", "İŞÇİ", "iŞÇi"})
        EXPECT_EQ(readBytes(zip, QString::fromUtf8(name)),
                  std::vector{text("A1", QStringLiteral("işçiler"))})
            << name;
    // No Turkish name matches, so the common rules find "LISTE".
    EXPECT_EQ(readBytes(zip, QStringLiteral("liste")),
              std::vector{text("A1", QStringLiteral("liste"))});
    EXPECT_EQ(refused(zip, QStringLiteral("ISCI")),
              "\"ISCI\" adında bir sayfa yok; sayfalar: Kapak, İşçi, LISTE");
}

// Names from the package, references from its XML and the sheet asked for
// reach the message cut and with their control and bidi characters escaped.
TEST(XlsxReaderTest, ShowsHostileValuesInMessagesCutAndEscaped) {
    const QString longName = QStringLiteral("xl/") + QString(200, u'a') + QStringLiteral(".xml");
    std::vector<Part> twice = oneSheet({});
    twice.push_back({longName, "<a/>"});
    twice.push_back({longName.toUpper(), "<a/>"});
    const QString message = refusal(twice);
    EXPECT_TRUE(
        message.startsWith(QStringLiteral("çalışma kitabında aynı adlı iki bölüm var (xl/aaa")))
        << message.toStdString();
    EXPECT_LT(message.size(), 300) << message.toStdString();

    // A character reference keeps the line feed through the attribute's normalisation.
    const QString forged = QStringLiteral("A\u202E1&#10;\u009B");
    EXPECT_EQ(refusal(xlsx::zipParts(
                  oneSheet("<row r=\"1\"><c r=\"" + forged.toUtf8() + "\"><v>1</v></c></row>"))),
              QStringLiteral("geçersiz hücre başvurusu: A\\u202E1\\n\\u009B"));

    std::vector<xlsx::SheetXml> sheets;
    for (int i = 1; i <= 12; ++i)
        sheets.push_back({QStringLiteral("S%1\u202E").arg(i), "<row r=\"1\"/>"});
    EXPECT_EQ(refused(xlsx::zipParts(xlsx::workbookParts(sheets, {})), QStringLiteral("yok\r")),
              "\"yok\\r\" adında bir sayfa yok; sayfalar: S1\\u202E, S2\\u202E, S3\\u202E, "
              "S4\\u202E, S5\\u202E, S6\\u202E, S7\\u202E, S8\\u202E, S9\\u202E, S10\\u202E, "
              "… (2 sayfa daha)");
}
