#include <gtest/gtest.h>

#include "data/ConnectionSettings.h"
#include "data/ConnectionString.h"
#include "exceptions/Exceptions.h"

TEST(ConnectionStringTest, ParsesTheProgramsConnectionString) {
    const QString text = ConnectionSettings::connectionString();
    EXPECT_TRUE(text.startsWith("Provider=Microsoft.Jet.OLEDB.4.0;User ID=Admin;"));
    EXPECT_FALSE(text.endsWith(';'));
    EXPECT_FALSE(text.contains("; ") || text.contains(" ;") || text.contains(" =") ||
                 text.contains("= "));

    const ConnectionString parsed = ConnectionString::parse(text);
    ASSERT_EQ(parsed.pairs().size(), 19u);
    EXPECT_EQ(parsed.value("data source"), "AnaData\\MeslekAna.mdb");
    EXPECT_EQ(parsed.value("Jet OLEDB:Database Password"), "k5mravt2PLQZB7N");
    EXPECT_EQ(parsed.value("Jet OLEDB:Don't Copy Locale on Compact"), "False");
    // `""` is an empty value, not a quote character.
    EXPECT_TRUE(parsed.contains("Extended Properties"));
    EXPECT_TRUE(parsed.value("Extended Properties").isEmpty());
    EXPECT_TRUE(parsed.value("No Such Key").isNull());
    EXPECT_EQ(ConnectionSettings::builtInDatabasePassword(), "k5mravt2PLQZB7N");
}

TEST(ConnectionStringTest, QuotedValuesKeepSeparatorsAndDoubledQuotes) {
    const ConnectionString parsed =
        ConnectionString::parse(R"(A="x;y";B="say ""hi""" ; C = plain value ;;D=)");
    EXPECT_EQ(parsed.value("A"), "x;y");
    EXPECT_EQ(parsed.value("B"), "say \"hi\"");
    EXPECT_EQ(parsed.value("C"), "plain value");
    EXPECT_TRUE(parsed.value("D").isEmpty());
    EXPECT_EQ(parsed.pairs().size(), 4u);
    // A key given twice: the last value counts, whatever the case of the key.
    EXPECT_EQ(ConnectionString::parse("Data Source=a;data source=b").value("Data Source"), "b");
}

TEST(ConnectionStringTest, RejectsMalformedText) {
    for (const char* text : {"Provider", "A=1;B", "=value", "A=\"open", "A=\"x\"y"}) {
        EXPECT_THROW(ConnectionString::parse(QString::fromUtf8(text)), EOleException) << text;
    }
}

TEST(ConnectionStringTest, ReplacingSourceAndPasswordKeepsEverythingElse) {
    EXPECT_EQ(ConnectionSettings::connectionStringWith(QString(), QString()),
              ConnectionSettings::connectionString());

    const QString text = ConnectionSettings::connectionStringWith("/tmp/a;b \"c\".mdb", "Şifre;1");
    const ConnectionString parsed = ConnectionString::parse(text);
    EXPECT_EQ(parsed.value("Data Source"), "/tmp/a;b \"c\".mdb");
    EXPECT_EQ(parsed.value("Jet OLEDB:Database Password"), "Şifre;1");
    EXPECT_EQ(parsed.value("User ID"), "Admin");
    EXPECT_EQ(parsed.pairs().size(), 19u);

    const ConnectionString empty =
        ConnectionString::parse(ConnectionSettings::connectionStringWith(QString(), ""));
    EXPECT_TRUE(empty.value("Jet OLEDB:Database Password").isEmpty());
}
