#include <gtest/gtest.h>

#include "jet/RawTable.h"

// Cells arrive from the reader as UTF-8: every text, well-formed or not, must
// read back exactly as Qt's own decoder reads it.
TEST(RawTableTest, Utf8CellsReadBackAsQtDecodesThem) {
    const std::vector<QByteArray> texts = {
        "",
        "A",
        "0110.00",
        "Subaylar",
        "Aşçı Yardımcısı",
        "İNŞAAT MÜHENDİSİ (ÇEVRE, ĞÖÜŞÇ)",
        "abcdefgh",                      // one ASCII word exactly
        "abcdefghş",                     // a Turkish letter right after it
        "şabcdefghijklmnop",             // ASCII words after it
        "Kâtip Â Î Û € ₺ ー",            // three-byte letters
        "emoji \xF0\x9F\x98\x80 sonra",  // four bytes: a surrogate pair
        "kesik \xC5",                    // cut two-byte sequence at the end
        "kesik \xE2\x82 sonra",          // cut three-byte sequence inside
        "yalnız \x80\xBF devam",         // lone continuation bytes
        // Overlong forms, one a cell: one bad sequence sends the whole cell
        // the slow way.
        "fazla uzun \xC0\xAF",
        "fazla uzun \xC1\xBF",
        "fazla uzun \xE0\x80\xAF",
        "vekil \xED\xA0\x80 yarım",       // an encoded surrogate
        "\xF8\x88\x80\x80\x80 beş bayt",  // no such lead byte
        "sıfır \0 bayt",
    };
    RawTable table;
    table.columns.push_back({"ad", 0x0A, false, 510, FieldKind::WideString});
    for (const QByteArray& text : texts) table.appendUtf8(text.constData(), text.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        EXPECT_EQ(table.cell(i, 0), QString::fromUtf8(texts[i])) << texts[i].toHex().toStdString();
        EXPECT_FALSE(table.isNull(i, 0));
    }
}

// The second half of a table read in two joins the first: every cell keeps
// its text, its emptiness and its null, as a QString and as a view.
TEST(RawTableTest, RowsAppendedFromAnotherTableKeepTheirCells) {
    const auto table = [](std::initializer_list<const char*> cells) {
        RawTable t;
        t.columns.push_back({"a", 0x0A, false, 10, FieldKind::WideString});
        t.columns.push_back({"b", 0x0A, false, 10, FieldKind::WideString});
        for (const char* cell : cells) {
            if (cell == nullptr) {
                t.appendNull();
            } else {
                t.appendCell(QString::fromUtf8(cell));
            }
        }
        t.squeeze();
        return t;
    };
    RawTable first = table({"ağaç", nullptr, "", "İş"});
    first.appendRows(table({nullptr, "şu", "bu", ""}));
    first.appendRows(table({}));
    ASSERT_EQ(first.rowCount(), 4u);
    const std::vector<std::pair<QString, bool>> expected = {
        {"ağaç", false},   {QString(), true}, {"", false},   {"İş", false},
        {QString(), true}, {"şu", false},     {"bu", false}, {"", false}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(first.cell(i / 2, i % 2), expected[i].first) << i;
        EXPECT_EQ(first.isNull(i / 2, i % 2), expected[i].second) << i;
        EXPECT_EQ(first.cellView(i / 2, i % 2), expected[i].first) << i;
    }
}
