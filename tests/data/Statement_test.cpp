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
