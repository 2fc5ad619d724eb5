#include <QBuffer>
#include <QFile>

#include <gtest/gtest.h>

#include <stdexcept>

#include "jetwriter/Jet4Writer.h"
#include "lists/Csv.h"
#include "lists/ListReaders.h"
#include "lists/OccupationList.h"
#include "lists/OccupationSchema.h"
#include "support/XlsxWriter.h"

namespace {

using lists::OccupationList;

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QString BundledList = QStringLiteral(MESLEK_SOURCE_DIR "/data/meslekler.csv");
const QString SubsetList = QStringLiteral(MESLEK_SOURCE_DIR "/tests/lists/meslekler-tanitim.csv");

// Code and name of every row, in the list's order.
std::vector<QStringList> rowsOf(const OccupationList& list) {
    std::vector<QStringList> rows;
    for (std::size_t i = 0; i < list.size(); ++i)
        rows.push_back({list.code(i).toString(), list.name(i).toString()});
    return rows;
}

OccupationList fromWorkbook(const std::vector<xlsx::Part>& parts, const QString& sheet = {}) {
    QBuffer buffer;
    buffer.setData(xlsx::zipParts(parts));
    buffer.open(QIODevice::ReadOnly);
    return lists::listFromWorkbook(buffer, sheet);
}

// The rows of a CSV list without its header.
std::vector<QStringList> csvRows(const QByteArray& bytes) {
    std::vector<QStringList> rows;
    for (const csv::Record& r : csv::parse(bytes)) rows.push_back(r.fields);
    rows.erase(rows.begin());
    return rows;
}

std::optional<lists::HeaderColumns> header(const QStringList& texts) {
    std::vector<xlsx::Cell> cells;
    for (qsizetype i = 0; i < texts.size(); ++i)
        if (!texts[i].isEmpty())
            cells.push_back({static_cast<int>(i) + 1, xlsx::CellKind::Text, texts[i]});
    return lists::headerColumns(cells);
}

}  // namespace

TEST(OccupationListTest, FindsTheHeaderByItsTexts) {
    const struct {
        QStringList texts;
        int code, name, parent;  // 0: not a header
    } cases[] = {
        {{"meslek kodları", "MESLEK Adı"}, 1, 2, 0},
        {{"", "ISCO-08 KODU", "MESLEK ADI"}, 2, 3, 0},
        {{"Meslek Adı", "Sıra", "Meslek Kodu", "Meslek Ana Grubu"}, 3, 1, 4},
        {{"SIRA", "KOD", "MESLEK_ADI"}, 2, 3, 0},
        {{"Meslek Kodları Listesi"}, 0, 0, 0},  // a title above the header
        {{"Meslek Kodu", "Açıklama"}, 0, 0, 0},
        {{"Ad", "Meslek Adı"}, 0, 0, 0},
    };
    for (const auto& c : cases) {
        const auto found = header(c.texts);
        if (c.code == 0) {
            EXPECT_FALSE(found) << c.texts.join('|').toStdString();
            continue;
        }
        ASSERT_TRUE(found) << c.texts.join('|').toStdString();
        EXPECT_EQ(found->code, c.code) << c.texts.join('|').toStdString();
        EXPECT_EQ(found->name, c.name);
        EXPECT_EQ(found->parent, c.parent);
    }
}

TEST(OccupationListTest, BothPublishedLayoutsGiveTheRowsOfTheCsv) {
    // The full list as published: header in row 1 over A and B, sorted by code.
    const std::vector<QStringList> full = csvRows(fileBytes(BundledList));
    ASSERT_EQ(full.size(), 7764u);
    std::vector<QStringList> sheet = {{"meslek kodları", "MESLEK Adı"}};
    sheet.insert(sheet.end(), full.begin(), full.end());
    const OccupationList fromFull =
        fromWorkbook(xlsx::listWorkbook(sheet, 1, 1, QStringLiteral("RaporPrmMeslekKodu")));
    EXPECT_EQ(rowsOf(fromFull), rowsOf(lists::listFromCsv(fileBytes(BundledList))));
    EXPECT_EQ(rowsOf(fromFull)[2], QStringList({"0110.02", "Mareşal(Kara Kuvvetleri)"}));
    EXPECT_EQ(fromFull.place(3, lists::Field::Name), QStringLiteral("B5"));
    EXPECT_FALSE(fromFull.parent(0));

    // The information-file subset: two title rows, a blank row, then the
    // header over B and C with column A empty, sorted by name.
    const std::vector<QStringList> subset = csvRows(fileBytes(SubsetList));
    ASSERT_EQ(subset.size(), 1123u);
    sheet = {{"", "Meslekleri Tanıyalım"},
             {"", "Meslek kodları listesi"},
             {},
             {"", "ISCO-08 KODU", "MESLEK ADI"}};
    for (const QStringList& row : subset) sheet.push_back(QStringList{QString()} + row);
    const OccupationList fromSubset = fromWorkbook(xlsx::listWorkbook(sheet, 3, 1));
    EXPECT_EQ(rowsOf(fromSubset), subset);
    EXPECT_EQ(fromSubset.place(0, lists::Field::Code), QStringLiteral("B7"));
    const lists::ListCheck check = lists::check(fromSubset);
    EXPECT_EQ(check.errorCount, 0u);
    EXPECT_EQ(check.warningCount, 0u);
}

TEST(OccupationListTest, RefusesCodesAsNumbersEmptyCellsAndRepeatsAtTheirCells) {
    const QByteArray sheetData =
        "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><t>Meslek Kodu</t></is></c>"
        "<c r=\"B1\" t=\"inlineStr\"><is><t>Meslek Adı</t></is></c>"
        "<c r=\"C1\" t=\"inlineStr\"><is><t>Meslek Ana</t></is></c></row>"
        "<row r=\"2\"><c r=\"A2\" t=\"inlineStr\"><is><t>0110.01</t></is></c>"
        "<c r=\"B2\" t=\"inlineStr\"><is><t>Subay</t></is></c></row>"
        "<row r=\"3\"><c r=\"A3\"><v>5120.1</v></c><c r=\"B3\" "
        "t=\"inlineStr\"><is><t>Aşçı</t></is></c></row>"
        "<row r=\"4\"><c r=\"B4\" t=\"inlineStr\"><is><t>Kodsuz</t></is></c></row>"
        "<row r=\"6\"><c r=\"A6\" t=\"inlineStr\"><is><t>   </t></is></c></row>"
        "<row r=\"7\"><c r=\"A7\" t=\"inlineStr\"><is><t>0110.01</t></is></c>"
        "<c r=\"B7\" t=\"inlineStr\"><is><t> </t></is></c></row>"
        "<row r=\"8\"><c r=\"A8\" t=\"inlineStr\"><is><t>12345</t></is></c>"
        "<c r=\"B8\" t=\"inlineStr\"><is><t>Kendi listem</t></is></c>"
        "<c r=\"C8\" t=\"inlineStr\"><is><t>Ana</t></is></c></row>";
    const OccupationList list = fromWorkbook(xlsx::workbookParts({{"Sayfa1", sheetData}}));
    ASSERT_EQ(list.size(), 5u) << "the blank row 6 is left out";
    EXPECT_EQ(list.parent(0), QStringView());
    EXPECT_EQ(list.parent(4), QStringView(u"Ana"));

    const lists::ListCheck check = lists::check(list);
    EXPECT_EQ(check.errors,
              QStringList({"A3: meslek kodu sayı olarak saklanmış (5120.1); sayı 0110.00 ya da "
                           "5120.10 gibi bir kodu tutamaz, sütunu metin biçiminde yazın",
                           "A4: meslek kodu boş", "A7: 0110.01 kodu ikinci kez geçiyor (ilki A2)",
                           "B7: meslek adı boş"}))
        << check.errors.join('\n').toStdString();
    EXPECT_EQ(check.errorCount, 4u);
    EXPECT_EQ(check.warnings, QStringList{"A8: 12345 kodu NNNN.NN biçiminde değil"});
    EXPECT_EQ(check.firstCode, QStringLiteral(""));
    EXPECT_EQ(check.lastCode, QStringLiteral("5120.1"));
}

TEST(OccupationListTest, AHeaderWithoutRowsIsAnErrorFromEitherReader) {
    // Blank rows under the header are left out, so they make no list either.
    const OccupationList empty[] = {
        lists::listFromCsv("meslek_kodu,meslek_adi\n"),
        lists::listFromCsv("meslek_kodu,meslek_adi,meslek_ana\r\n,,\r\n \t, ,\r\n"),
        fromWorkbook(xlsx::listWorkbook({{"Meslek Kodu", "Meslek Adı"}})),
        fromWorkbook(xlsx::listWorkbook(
            {{"", "Meslek Listesi"}, {}, {"", "ISCO-08 KODU", "MESLEK ADI"}, {"", " ", "\t"}}, 2)),
    };
    for (const OccupationList& list : empty) {
        const lists::ListCheck check = lists::check(list);
        EXPECT_EQ(check.errors, QStringList{"başlık satırının altında hiç meslek yok"})
            << check.errors.join('\n').toStdString();
        EXPECT_EQ(check.errorCount, 1u);
        EXPECT_EQ(check.warningCount, 0u);
    }
}

TEST(OccupationListTest, CsvListsMeetTheSameChecksAndListAtMostTwenty) {
    QByteArray csv = "meslek_kodu,meslek_adi\n,\n \t, \n";  // blank rows are left out
    for (int i = 0; i < 30; ++i) csv += "0110.01,Subay\n";
    csv += "7,Yedi\n";
    const OccupationList list = lists::listFromCsv(csv);
    ASSERT_EQ(list.size(), 31u);
    const lists::ListCheck check = lists::check(list);
    EXPECT_EQ(check.errorCount, 29u);
    ASSERT_EQ(check.errors.size(), 20);
    EXPECT_EQ(check.errors.front(),
              QStringLiteral("satır 5: 0110.01 kodu ikinci kez geçiyor (ilki satır 4)"));
    EXPECT_EQ(check.errors.back(),
              QStringLiteral("satır 24: 0110.01 kodu ikinci kez geçiyor (ilki satır 4)"));
    EXPECT_EQ(check.warnings, QStringList{"satır 34: 7 kodu NNNN.NN biçiminde değil"});
    EXPECT_EQ(check.firstCode, QStringLiteral("0110.01"));
    EXPECT_EQ(check.lastCode, QStringLiteral("7"));

    const lists::ListCheck real = lists::check(lists::listFromCsv(fileBytes(BundledList)));
    EXPECT_EQ(real.errorCount + real.warningCount, 0u);
    EXPECT_EQ(real.firstCode, QStringLiteral("0110.00"));
    EXPECT_EQ(real.lastCode, QStringLiteral("9901.07"));
}

// The check holds a list to the columns of the table it becomes: texts at
// their sizes pass and are written, one character more is an error of the
// check, as the writer would refuse it too.
TEST(OccupationListTest, TheCheckHoldsTextsToTheColumnsOfTheTable) {
    const auto listOf = [](qsizetype extra) {
        OccupationList list;
        list.add(QString(lists::CodeLength + extra, u'1'), QString(lists::TextLength + extra, u'ş'),
                 QString(lists::TextLength + extra, u'İ'), 2);
        return list;
    };
    const auto write = [](const OccupationList& list) {
        jet4::DatabaseDef database;
        database.tables.push_back(lists::occupationTable(list));
        return jet4::writeDatabase(database);
    };
    const OccupationList fits = listOf(0);
    EXPECT_EQ(lists::check(fits).errorCount, 0u);
    EXPECT_NO_THROW(write(fits));

    const OccupationList over = listOf(1);
    EXPECT_EQ(lists::check(over).errors,
              (QStringList{"satır 2: meslek kodu 15 karakterden uzun",
                           "satır 2: meslek adı 255 karakterden uzun",
                           "satır 2: meslek ana grubu 255 karakterden uzun"}));
    EXPECT_THROW(write(over), std::invalid_argument);
}
