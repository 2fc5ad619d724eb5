#include <QDate>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "jet/JetHeader.h"
#include "jetwriter/Jet4Writer.h"
#include "support/MdbTools.h"

using namespace jet4;

namespace {

const QString TurkishLetters = QStringLiteral("çğıöşüÇĞİÖŞÜ");

QString write(const QTemporaryDir& dir, const QString& name, const DatabaseDef& database) {
    const QString path = dir.filePath(name);
    writeDatabaseFile(path, database);
    return path;
}

QByteArray hex(const QByteArray& bytes) { return bytes.toHex(' '); }

TableDef allTypesTable() {
    TableDef t;
    t.name = QStringLiteral("karışık");
    t.columns = {{QStringLiteral("ID"), ColumnType::Long, 0, true},
                 {QStringLiteral("adet"), ColumnType::Integer},
                 {QStringLiteral("kod"), ColumnType::Text, 15},
                 {QStringLiteral("ad"), ColumnType::Text, 255},
                 {QStringLiteral("not"), ColumnType::Memo},
                 {QStringLiteral("oran"), ColumnType::Double},
                 {QStringLiteral("tarih"), ColumnType::DateTime},
                 {QStringLiteral("sayı"), ColumnType::Long}};
    t.rows.push_back({Value(), Value(std::int64_t{-32768}), Value(TurkishLetters),
                      Value(QStringLiteral("İstanbul, Ağrı \"Dağı\" ve Iğdır")),
                      Value(QStringLiteral("Satır 1\nSatır 2 ") + TurkishLetters), Value(0.1),
                      Value(44568.5), Value(std::int64_t{-2147483647 - 1})});
    t.rows.push_back({Value(), Value(), Value(), Value(), Value(), Value(), Value(), Value()});
    t.rows.push_back({Value(), Value(std::int64_t{32767}), Value(QStringLiteral("Ж")),
                      Value(QStringLiteral("Мир")), Value(QStringLiteral("ääkkösiä")),
                      Value(std::int64_t{-3}), Value(36526.75), Value(std::int64_t{2147483647})});
    return t;
}

}  // namespace

TEST(Jet4WriterTest, TextIsCompressedOnlyWhenShorter) {
    // Values as Access stores them: all one-byte characters compress, Cyrillic does not.
    EXPECT_EQ(hex(encodeText(u"ääkkösiä")), "ff fe e4 e4 6b 6b f6 73 69 e4");
    EXPECT_EQ(hex(encodeText(u"Мир")), "1c 04 38 04 40 04");
    EXPECT_EQ(hex(encodeText(u"ab")), "61 00 62 00");  // FF FE would not pay off
    EXPECT_TRUE(encodeText(u"").isEmpty());
    // A character whose low byte is 0 cannot appear in the compressed form.
    EXPECT_EQ(hex(encodeText(u"aaaaĀ")), "61 00 61 00 61 00 61 00 00 01");

    // Turkish letters outside Latin-1 go into two-byte segments; one-byte
    // characters between them stay wide rather than paying for two switches.
    const QByteArray mixed = encodeText(u"ĞÜŞ İstanbul");
    EXPECT_EQ(hex(mixed), "ff fe 00 1e 01 dc 00 5e 01 20 00 30 01 00 73 74 61 6e 62 75 6c");
    EXPECT_LT(mixed.size(), 2 * 12);
    EXPECT_EQ(hex(encodeText(u"Kırşehir")), "ff fe 4b 00 31 01 72 00 5f 01 00 65 68 69 72");
    EXPECT_EQ(hex(encodeText(u"ğışĞİŞ")), "1f 01 31 01 5f 01 1e 01 30 01 5e 01");
}

TEST(Jet4WriterTest, EveryColumnTypeReadsBackThroughMdbtools) {
    QTemporaryDir dir;
    DatabaseDef database;
    database.password = QStringLiteral("Gizli");
    database.tables.push_back(allTypesTable());
    const QString file = write(dir, QStringLiteral("türler.mdb"), database);

    EXPECT_EQ(mdbtools::tables(file), QStringList{QStringLiteral("karışık")});
    const QString schema = mdbtools::schema(file);
    for (const char* line :
         {"[ID]\t\t\tLong Integer", "[adet]\t\t\tInteger", "[kod]\t\t\tText (15)",
          "[ad]\t\t\tText (255)", "[not]\t\t\tMemo/Hyperlink", "[oran]\t\t\tDouble",
          "[tarih]\t\t\tDateTime", "[sayı]\t\t\tLong Integer"})
        EXPECT_TRUE(schema.contains(QString::fromUtf8(line))) << line << "\n"
                                                              << schema.toStdString();

    const auto rows = mdbtools::exportTable(file, QStringLiteral("karışık"));
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], QStringList({"ID", "adet", "kod", "ad", "not", "oran", "tarih", "sayı"}));
    EXPECT_EQ(rows[1], QStringList({"1", "-32768", TurkishLetters,
                                    QStringLiteral("İstanbul, Ağrı \"Dağı\" ve Iğdır"),
                                    QStringLiteral("Satır 1\nSatır 2 ") + TurkishLetters, "0.1",
                                    "2022-01-07 12:00:00", "-2147483648"}));
    EXPECT_EQ(rows[2], QStringList({"2", "", "", "", "", "", "", ""}));  // auto number, then NULLs
    EXPECT_EQ(rows[3], QStringList({"3", "32767", "Ж", "Мир", "ääkkösiä", "-3",
                                    "2000-01-01 18:00:00", "2147483647"}));
}

TEST(Jet4WriterTest, MemoValuesOfAnyLengthReadBack) {
    TableDef t;
    t.name = QStringLiteral("notlar");
    t.columns = {{QStringLiteral("n"), ColumnType::Long},
                 {QStringLiteral("a"), ColumnType::Memo},
                 {QStringLiteral("b"), ColumnType::Memo}};
    const QString small = QStringLiteral("kısa not");
    const QString page = QString(1900, QChar(u'ş'));  // 3800 bytes: one long-value row
    const QString longAscii = QString(9000, QChar(u'a')) + QChar(u'ı');  // compressed, chained
    const QString longWide = QString(30000, QChar(u'Ğ'));  // 60000 bytes, 15 rows chained
    t.rows = {{Value(std::int64_t{1}), Value(small), Value(page)},
              {Value(std::int64_t{2}), Value(page), Value(page)},  // both cannot stay in the row
              {Value(std::int64_t{3}), Value(longAscii), Value(longWide)},
              {Value(std::int64_t{4}), Value(), Value(QString())}};
    DatabaseDef database;
    database.tables.push_back(t);
    QTemporaryDir dir;
    const QString file = write(dir, QStringLiteral("memo.mdb"), database);
    const auto rows = mdbtools::exportTable(file, t.name);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[1], QStringList({"1", small, page}));
    EXPECT_EQ(rows[2], QStringList({"2", page, page}));
    EXPECT_EQ(rows[3], QStringList({"3", longAscii, longWide}));
    EXPECT_EQ(rows[4], QStringList({"4", "", ""}));
}

TEST(Jet4WriterTest, EmptyTablesAndTablesOfSeveralPages) {
    DatabaseDef database;
    TableDef empty;
    empty.name = QStringLiteral("boş");
    empty.columns = {{QStringLiteral("ID"), ColumnType::Long, 0, true},
                     {QStringLiteral("ad"), ColumnType::Text, 50}};
    TableDef many;  // short rows: a page takes at most 255 of them
    many.name = QStringLiteral("sayılar");
    many.columns = {{QStringLiteral("n"), ColumnType::Integer}};
    for (int i = 0; i < 700; ++i) many.rows.push_back({Value(std::int64_t{i * 3 - 1000})});
    TableDef full;  // long rows: pages fill up before 255 rows
    full.name = QStringLiteral("uzun");
    full.columns = {{QStringLiteral("ad"), ColumnType::Text, 255}};
    for (int i = 0; i < 100; ++i)
        full.rows.push_back({Value(QString::number(i) + QString(250, QChar(u'ç')))});
    database.tables = {empty, many, full};
    QTemporaryDir dir;
    const QString file = write(dir, QStringLiteral("sayfalar.mdb"), database);

    EXPECT_EQ(mdbtools::tables(file), QStringList({"boş", "sayılar", "uzun"}));
    EXPECT_EQ(mdbtools::exportTable(file, QStringLiteral("boş")),
              std::vector<QStringList>{QStringList({"ID", "ad"})});
    const auto numbers = mdbtools::exportTable(file, QStringLiteral("sayılar"));
    ASSERT_EQ(numbers.size(), 701u);
    for (int i = 0; i < 700; ++i)
        ASSERT_EQ(numbers[i + 1].value(0), QString::number(i * 3 - 1000)) << i;
    const auto texts = mdbtools::exportTable(file, QStringLiteral("uzun"));
    ASSERT_EQ(texts.size(), 101u);
    for (int i = 0; i < 100; ++i)
        ASSERT_EQ(texts[i + 1].value(0), std::get<QString>(full.rows[i][0])) << i;
}

TEST(Jet4WriterTest, TableOfMoreThan512PagesReadsBackExactly) {
    // About nine 430-byte rows a page: 8000 rows need more pages than an
    // inline usage map covers.
    TableDef t;
    t.name = QStringLiteral("büyük");
    t.columns = {{QStringLiteral("ID"), ColumnType::Long, 0, true},
                 {QStringLiteral("ad"), ColumnType::Text, 255},
                 {QStringLiteral("oran"), ColumnType::Double},
                 {QStringLiteral("tarih"), ColumnType::DateTime}};
    constexpr int Rows = 8000;
    const QString filler = QString(40, QChar(u'ş')) + TurkishLetters.repeated(13);
    for (int i = 0; i < Rows; ++i)
        t.rows.push_back({Value(), Value(QString::number(i) + filler), Value(i / 8.0),
                          Value(40000.0 + i + (i % 24) / 24.0)});
    DatabaseDef database;
    database.tables.push_back(t);
    const QByteArray bytes = writeDatabase(database);
    ASSERT_GT(bytes.size() / JetHeader::PageSize, 600);
    bool hasBitmapPage = false;
    for (qsizetype p = 0; p < bytes.size(); p += JetHeader::PageSize)
        hasBitmapPage = hasBitmapPage || bytes[p] == 0x05;
    EXPECT_TRUE(hasBitmapPage);

    QTemporaryDir dir;
    const QString file = write(dir, QStringLiteral("büyük.mdb"), database);
    const auto rows = mdbtools::exportTable(file, t.name);
    ASSERT_EQ(rows.size(), std::size_t{Rows} + 1);
    for (int i = 0; i < Rows; ++i) {
        const QStringList& row = rows[i + 1];
        ASSERT_EQ(row.size(), 4);
        ASSERT_EQ(row[0], QString::number(i + 1));
        ASSERT_EQ(row[1], QString::number(i) + filler);
        ASSERT_DOUBLE_EQ(row[2].toDouble(), i / 8.0);
        const QString expected =
            QDate(1899, 12, 30).addDays(40000 + i).toString(QStringLiteral("yyyy-MM-dd")) +
            QStringLiteral(" %1:00:00").arg(i % 24, 2, 10, QLatin1Char('0'));
        ASSERT_EQ(row[3], expected);
    }
}

TEST(Jet4WriterTest, SameDefinitionGivesSameBytes) {
    DatabaseDef database;
    database.password = QStringLiteral("Şifre1");
    database.tables = {allTypesTable(), allTypesTable()};
    database.tables[1].name = QStringLiteral("ikinci");
    const QByteArray first = writeDatabase(database);
    EXPECT_EQ(first, writeDatabase(database));
    EXPECT_EQ(first.size() % JetHeader::PageSize, 0);

    // Another password changes only the page-0 header.
    database.password = QStringLiteral("Şifre2");
    const QByteArray second = writeDatabase(database);
    ASSERT_EQ(second.size(), first.size());
    EXPECT_NE(second.left(JetHeader::PageSize), first.left(JetHeader::PageSize));
    EXPECT_EQ(second.mid(JetHeader::PageSize), first.mid(JetHeader::PageSize));
}

TEST(Jet4WriterTest, RejectsWhatItCannotStore) {
    auto table = [] {
        TableDef t;
        t.name = QStringLiteral("t");
        t.columns = {{QStringLiteral("k"), ColumnType::Text, 3},
                     {QStringLiteral("n"), ColumnType::Integer}};
        return t;
    };
    auto rejects = [](const DatabaseDef& database) {
        EXPECT_THROW(writeDatabase(database), std::invalid_argument);
    };
    DatabaseDef database;
    database.password = QString(21, QChar(u'a'));
    rejects(database);

    database = {};
    database.tables.push_back(table());
    database.tables[0].rows = {{Value(QStringLiteral("çok uzun")), Value()}};
    rejects(database);
    database.tables[0].rows = {{Value(std::int64_t{1}), Value()}};  // integer for text
    rejects(database);
    database.tables[0].rows = {{Value(), Value(std::int64_t{40000})}};  // out of Integer range
    rejects(database);
    database.tables[0].rows = {{Value()}};  // too few values
    rejects(database);

    database.tables[0] = table();
    database.tables[0].columns[1].name = QStringLiteral("K");
    rejects(database);
    database.tables[0] = table();
    database.tables[0].columns[0].autoIncrement = true;
    rejects(database);
    database.tables = {table(), table()};
    rejects(database);

    // Twenty full text columns cannot share one page.
    TableDef wide;
    wide.name = QStringLiteral("geniş");
    std::vector<Value> row;
    for (int i = 0; i < 20; ++i) {
        wide.columns.push_back({QStringLiteral("c%1").arg(i), ColumnType::Text, 255});
        row.emplace_back(QString(255, QChar(u'ğ')));
    }
    wide.rows.push_back(row);
    database.tables = {wide};
    rejects(database);

    // Memo values are limited to 16 MiB once stored.
    TableDef memo;
    memo.name = QStringLiteral("not");
    memo.columns = {{QStringLiteral("m"), ColumnType::Memo}};
    memo.rows = {{Value(QString(0x800000, QChar(u'ğ')))}};
    database.tables = {memo};
    rejects(database);
}
