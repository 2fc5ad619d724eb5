#include <QBuffer>

#include <gtest/gtest.h>

#include "workbook/XlsxReader.h"
#include "workbook/XlsxWriter.h"

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
    // 300 MB of blanks inside a sheet deflate to a few hundred kilobytes.
    QByteArray sheet = "<worksheet><sheetData>";
    sheet.append(300 * 1024 * 1024, ' ');
    sheet.append("</sheetData></worksheet>");
    const QByteArray zip =
        xlsx::zipParts(replaced(oneSheet({}), QStringLiteral("xl/worksheets/sheet1.xml"), sheet));
    sheet.clear();
    sheet.squeeze();
    ASSERT_LT(zip.size(), 2 * 1024 * 1024);
    EXPECT_EQ(refusal(zip), QStringLiteral("xl/worksheets/sheet1.xml bölümü açıldığında 256 MB "
                                           "sınırını aşıyor; dosya kabul edilmedi"));
}
