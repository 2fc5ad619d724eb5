#include <QCollator>
#include <QFile>
#include <QLocale>
#include <QStringList>

#include <gtest/gtest.h>

#include "data/RowOrder.h"

namespace {

RawTable oneColumn(FieldKind kind, const QStringList& values) {
    RawTable table;
    table.columns.push_back({"c", 0, false, 0, kind});
    for (const QString& v : values) table.appendCell(v);
    return table;
}

QStringList ordered(const RawTable& table, bool descending) {
    QStringList out;
    for (std::uint32_t row : orderRows(table, 0, descending)) out << table.cell(row, 0);
    return out;
}

// The names of the national list, in file order.
QStringList nationalNames() {
    QFile list(QStringLiteral(MESLEK_SOURCE_DIR "/data/meslekler.csv"));
    QStringList names;
    if (!list.open(QIODevice::ReadOnly)) return names;
    list.readLine();  // the header
    while (!list.atEnd()) {
        const QString line = QString::fromUtf8(list.readLine()).trimmed();
        names << line.mid(line.indexOf(QLatin1Char(',')) + 1).remove(QLatin1Char('"'));
    }
    return names;
}

std::vector<std::uint32_t> order(const RawTable& table, bool descending) {
    return orderRows(table, 0, descending);
}

}  // namespace

TEST(RowOrderTest, TextFollowsTheTurkishAlphabet) {
    const RawTable table =
        oneColumn(FieldKind::WideString, {"zil", "çam", "cam", "dağ", "ıhlamur", "iğne", "öğretmen",
                                          "ot", "şoför", "su", "ümit", "uçak", "ğ", "gül", "hane"});
    EXPECT_EQ(ordered(table, false),
              QStringList({"cam", "çam", "dağ", "gül", "ğ", "hane", "ıhlamur", "iğne", "ot",
                           "öğretmen", "su", "şoför", "uçak", "ümit", "zil"}));
}

TEST(RowOrderTest, TextIgnoresCaseAndKeepsFileOrderForTies) {
    // "İNŞAAT", "inşaat" and "İnşaat" differ only in case: they keep file order,
    // ascending and descending alike. "IŞIK" (dotless) sorts before them.
    const RawTable table =
        oneColumn(FieldKind::WideString, {"İNŞAAT", "inşaat", "IŞIK", "İnşaat", "ışık"});
    EXPECT_EQ(order(table, false), (std::vector<std::uint32_t>{2, 4, 0, 1, 3}));
    EXPECT_EQ(order(table, true), (std::vector<std::uint32_t>{0, 1, 3, 2, 4}));
}

TEST(RowOrderTest, NullsComeFirstAscendingAndLastDescending) {
    // An empty text sorts with the nulls but stays an empty text.
    const RawTable table =
        oneColumn(FieldKind::WideString, {"b", QString(), "a", QString(), QStringLiteral("")});
    EXPECT_TRUE(table.isNull(3, 0));
    EXPECT_FALSE(table.isNull(4, 0));
    EXPECT_EQ(table.cell(2, 0), "a");
    EXPECT_EQ(order(table, false), (std::vector<std::uint32_t>{1, 3, 4, 2, 0}));
    EXPECT_EQ(order(table, true), (std::vector<std::uint32_t>{0, 2, 1, 3, 4}));
}

TEST(RowOrderTest, OccupationCodesSortAsText) {
    const RawTable table =
        oneColumn(FieldKind::WideString, {"9312.01", "0110.02", "2141.10", "2141.09", "0110.00"});
    EXPECT_EQ(ordered(table, false),
              QStringList({"0110.00", "0110.02", "2141.09", "2141.10", "9312.01"}));
}

TEST(RowOrderTest, IntegersSortNumerically) {
    const RawTable table = oneColumn(FieldKind::AutoInc, {"10", "9", "-3", QString(), "100", "9"});
    EXPECT_EQ(order(table, false), (std::vector<std::uint32_t>{3, 2, 1, 5, 0, 4}));
    EXPECT_EQ(order(table, true), (std::vector<std::uint32_t>{4, 0, 1, 5, 2, 3}));
}

TEST(RowOrderTest, LargeTablesGiveTheSameOrderAsSmallOnes) {
    // Above the threshold the keys are built on several threads; the slices
    // must join up in row order.
    QStringList values;
    for (int i = 0; i < 30000; ++i) values << QString::number((i * 7919) % 30011);
    const RawTable table = oneColumn(FieldKind::WideString, values);
    const std::vector<std::uint32_t> rows = orderRows(table, 0, false);
    ASSERT_EQ(rows.size(), 30000u);
    for (std::size_t i = 1; i < rows.size(); ++i) {
        ASSERT_LE(table.cell(rows[i - 1], 0), table.cell(rows[i], 0)) << i;
    }
}

TEST(RowOrderTest, AgreesWithQCollatorForTurkish) {
    // The keys come from ICU directly; the order must be the one QCollator gives.
    const QStringList words = {"çığ",   "Çiğ",   "cig",   "CIG",     "ığdır",  "Iğdır", "iğne",
                               "İĞNE",  "ışık",  "ISIK",  "isik",    "İSİK",   "öğüt",  "OGUT",
                               "şüphe", "Suphe", "ü",     "u",       "Â",      "a",     "â",
                               "Kâtip", "katip", "KATİP", "0110.01", "0110.1", "01101", "a-b",
                               "a b",   "ab",    "a/b",   "a(b)",    "zz",     "Z"};
    QCollator collator(QLocale(QLocale::Turkish, QLocale::Turkey));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const RawTable table = oneColumn(FieldKind::WideString, words);
    const std::vector<std::uint32_t> rows = orderRows(table, 0, false);
    for (std::size_t i = 1; i < rows.size(); ++i) {
        const QString& before = table.cell(rows[i - 1], 0);
        const QString& after = table.cell(rows[i], 0);
        const int c = collator.compare(before, after);
        EXPECT_LE(c, 0) << before.toStdString() << " / " << after.toStdString();
        if (c == 0) {
            EXPECT_LT(rows[i - 1], rows[i]) << before.toStdString();
        }
    }
}

// Codes of ASCII digits and dots are ordered by their code units, without
// collation keys: that must be the collator's order, in both directions, for
// generated codes and the national list; a list stored in order stays as it is.
TEST(RowOrderTest, PlainCodesKeepTheCollatorsOrderWithoutKeys) {
    QStringList codes;
    std::uint32_t seed = 7;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u; };
    for (int i = 0; i < 3000; ++i) {
        QString code;
        const int length = static_cast<int>(next() >> 16) % 9;
        for (int k = 0; k < length; ++k) code += QLatin1Char("0123456789.."[(next() >> 16) % 12]);
        codes << code;
    }
    QFile sample(QStringLiteral(MESLEK_SOURCE_DIR "/data/meslekler.csv"));
    ASSERT_TRUE(sample.open(QIODevice::ReadOnly));
    QStringList sampleCodes;
    while (!sample.atEnd()) {
        const QString code = QString::fromUtf8(sample.readLine()).section(QLatin1Char(','), 0, 0);
        if (!code.isEmpty() && code.at(0).isDigit()) sampleCodes << code;
    }
    const RawTable stored = oneColumn(FieldKind::WideString, sampleCodes);
    const std::vector<std::uint32_t> storedOrder = orderRows(stored, 0, false);
    EXPECT_EQ(storedOrder, physicalOrder(stored)) << "the national list is stored by code";

    QCollator collator(QLocale(QLocale::Turkish, QLocale::Turkey));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    for (const QStringList& values : {codes, sampleCodes}) {
        const RawTable table = oneColumn(FieldKind::WideString, values);
        TableOrders orders(table);
        for (const bool descending : {true, false}) {
            const std::vector<std::uint32_t>& rows = orders.by(0, descending);
            ASSERT_EQ(rows.size(), static_cast<std::size_t>(values.size()));
            for (std::size_t i = 1; i < rows.size(); ++i) {
                const QString& before = table.cell(rows[i - 1], 0);
                const QString& after = table.cell(rows[i], 0);
                const bool nullBefore = before.isEmpty();
                const bool nullAfter = after.isEmpty();
                int c = nullBefore || nullAfter ? (nullAfter ? 1 : 0) - (nullBefore ? 1 : 0)
                                                : collator.compare(before, after);
                if (nullBefore && nullAfter) c = 0;
                ASSERT_LE(descending ? -c : c, 0)
                    << before.toStdString() << " / " << after.toStdString();
                if (c == 0) {
                    ASSERT_LT(rows[i - 1], rows[i]) << before.toStdString();
                }
            }
        }
        EXPECT_EQ(orders.by(0, true), orderRows(table, 0, true)) << "kept orders stay right";
    }
}

// The national list's names, both ways, straight and from the kept orders (the
// second direction is made from the first and its ties): descending is the
// collator's order reversed, with names that compare equal in file order.
TEST(RowOrderTest, NationalNamesDescendInTheCollatorsOrderWithTiesInFileOrder) {
    const QStringList names = nationalNames();
    ASSERT_EQ(names.size(), 7764);
    QCollator collator(QLocale(QLocale::Turkish, QLocale::Turkey));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const RawTable table = oneColumn(FieldKind::WideString, names);
    TableOrders kept(table);
    const std::vector<std::uint32_t> ascendingFirst = kept.by(0, false);
    const std::vector<std::vector<std::uint32_t>> descending = {orderRows(table, 0, true),
                                                                kept.by(0, true)};
    for (const auto& rows : descending) {
        ASSERT_EQ(rows.size(), names.size());
        int misplaced = 0;
        for (std::size_t i = 1; i < rows.size(); ++i) {
            const int c = collator.compare(table.cell(rows[i - 1], 0), table.cell(rows[i], 0));
            if (c < 0 || (c == 0 && rows[i - 1] > rows[i])) ++misplaced;
        }
        EXPECT_EQ(misplaced, 0);
    }
    EXPECT_EQ(ascendingFirst, orderRows(table, 0, false));
}

// Rows of one text share one collation key, and a slice of rows that hardly
// repeat stops looking keys up: a table of both kinds, large enough for
// several slices of each, still sorts by the collator with ties in file order.
TEST(RowOrderTest, RepeatedAndUniqueNamesSortAlikeWhetherTheirKeysAreSharedOrNot) {
    const QStringList national = nationalNames();
    ASSERT_EQ(national.size(), 7764);
    QStringList names;
    constexpr int Half = 70000;
    for (int i = 0; i < Half; ++i)
        names << national[(i * 31) % national.size()] + QString::number(i);
    for (int i = 0; i < Half; ++i) names << national[(i * 7919) % national.size()];
    QCollator collator(QLocale(QLocale::Turkish, QLocale::Turkey));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    const RawTable table = oneColumn(FieldKind::WideString, names);
    for (const bool descending : {false, true}) {
        const std::vector<std::uint32_t> rows = orderRows(table, 0, descending);
        ASSERT_EQ(rows.size(), static_cast<std::size_t>(names.size()));
        int misplaced = 0;
        for (std::size_t i = 1; i < rows.size(); ++i) {
            const int c = collator.compare(table.cell(rows[i - 1], 0), table.cell(rows[i], 0));
            if ((descending ? -c : c) > 0 || (c == 0 && rows[i - 1] > rows[i])) ++misplaced;
        }
        EXPECT_EQ(misplaced, 0) << (descending ? "descending" : "ascending");
    }
}
