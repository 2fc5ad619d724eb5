#include <gtest/gtest.h>

#include "data/ConnectionSettings.h"
#include "data/Statement.h"
#include "exceptions/Exceptions.h"

TEST(StatementTest, AcceptsTheStatementsTheProgramSends) {
    const QString startup = joinStatementLines({ConnectionSettings::startupStatement()});
    EXPECT_EQ(startup, "select * FROM meslekler ORDER BY meslek_kodu;\r\n");
    SelectStatement s = parseSelectStatement(startup);
    EXPECT_EQ(s.table, "meslekler");
    EXPECT_EQ(s.orderColumn, "meslek_kodu");
    EXPECT_FALSE(s.descending);

    s = parseSelectStatement(
        joinStatementLines({"select * FROM meslekler ORDER BY meslek_adi DESC"}));
    EXPECT_EQ(s.orderColumn, "meslek_adi");
    EXPECT_TRUE(s.descending);

    s = parseSelectStatement("select * FROM meslekler ORDER BY meslek_adi ASC");
    EXPECT_FALSE(s.descending);
}

TEST(StatementTest, KeywordsInAnyCaseNamesPlainOrBracketed) {
    SelectStatement s = parseSelectStatement(
        "  SeLeCt\t*\r\nfrom [Meslek Listesi]  order  by "
        "[meslek adı]  desc ; \r\n");
    EXPECT_EQ(s.table, "Meslek Listesi");
    EXPECT_EQ(s.orderColumn, "meslek adı");
    EXPECT_TRUE(s.descending);

    s = parseSelectStatement("select*from meslekler");
    EXPECT_EQ(s.table, "meslekler");
    EXPECT_TRUE(s.orderColumn.isEmpty());
}

TEST(StatementTest, AnythingElseIsASyntaxError) {
    const char* bad[] = {
        "",
        "select ID FROM meslekler",
        "select * meslekler",
        "select * FROM",
        "select * FROM meslekler ORDER meslek_kodu",
        "select * FROM meslekler ORDER BY",
        "select * FROM meslekler ORDER BY a, b",
        "select * FROM meslekler ORDER BY a ASC DESC",
        "select * FROM meslekler; drop",
        "select * FROM meslekler WHERE ID = 1",
        "delete FROM meslekler",
        "select * FROM [unclosed",
        "select * FROM []",
        "select * FROM order",
    };
    for (const char* text : bad) {
        try {
            parseSelectStatement(QString::fromUtf8(text));
            ADD_FAILURE() << "accepted: " << text;
        } catch (const EOleException& e) {
            EXPECT_TRUE(e.message().startsWith("SQL deyiminde sözdizimi hatası")) << text;
        }
    }
}

// A re-sort hands the connection the statement's parts rather than its text:
// they must be what the text would have been read as, and words the text
// reads otherwise (or not at all) are left to the text.
TEST(StatementTest, PartsOfAReSortAreWhatItsTextIsReadAs) {
    const QString columns[] = {
        "meslek_kodu", "meslek_adi", "ID",   "Meslek_Adı", "_2", "[meslek_adi]",
        "meslek adi",  "order",      "DESC", "a;",         ""};
    const QString directions[] = {"ASC", "DESC",  "desc",     "Asc",  "",
                                  " ",   "DESC;", "ASC DESC", "down", "DESC\r\n"};
    int typed = 0;
    for (const QString& column : columns) {
        for (const QString& direction : directions) {
            const QString text = joinStatementLines(
                {"select * FROM meslekler ORDER BY " + column + " " + direction});
            SCOPED_TRACE(text.toStdString());
            const std::optional<SelectStatement> parts =
                orderedSelect("meslekler", column, direction);
            if (!parts) continue;
            ++typed;
            const SelectStatement read = parseSelectStatement(text);
            EXPECT_EQ(parts->table, read.table);
            EXPECT_EQ(parts->orderColumn, read.orderColumn);
            EXPECT_EQ(parts->descending, read.descending);
        }
    }
    // Five plain names, each with five directions.
    EXPECT_EQ(typed, 25);
    EXPECT_FALSE(orderedSelect("meslekler", "[meslek_adi]", "ASC"));
    EXPECT_FALSE(orderedSelect("meslekler", "meslek_adi", "DESC;"));
    EXPECT_FALSE(orderedSelect("from", "meslek_adi", "ASC"));
}
