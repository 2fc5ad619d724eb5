#include "cli/RowFormat.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "lists/Csv.h"

namespace {

// A whole list of (code, name) rows, checking each row against its bound.
QByteArray list(OutputFormat format, const std::vector<std::pair<QString, QString>>& rows) {
    const ListFormat list(format);
    std::string bytes(list.opening());
    bool first = true;
    for (const auto& [code, name] : rows) {
        std::string row(list.rowBound(code, name), '\0');
        const char* end = list.row(row.data(), code, name, first);
        EXPECT_LE(static_cast<std::size_t>(end - row.data()), row.size());
        bytes.append(row.data(), static_cast<std::size_t>(end - row.data()));
        first = false;
    }
    bytes.append(list.closing(!rows.empty()));
    return QByteArray::fromStdString(bytes);
}

// Every character from U+0000 to U+0080, U+2028, U+2029, a pair and a lone surrogate.
QString awkward() {
    QString text;
    for (char16_t c = 0; c <= 0x80; ++c) text += QChar(c);
    text += QStringLiteral("\u2028\u2029ş") + QString::fromUtf16(u"\U0001F600") + QChar(0xD800);
    return text;
}

}  // namespace

TEST(RowFormatTest, FormatNames) {
    EXPECT_EQ(outputFormatNamed(u"tsv"), OutputFormat::Tsv);
    EXPECT_EQ(outputFormatNamed(u"csv"), OutputFormat::Csv);
    EXPECT_EQ(outputFormatNamed(u"json"), OutputFormat::Json);
    for (const char16_t* name : {u"", u"TSV", u"xml", u"json "}) {
        EXPECT_FALSE(outputFormatNamed(name).has_value());
    }
}

TEST(RowFormatTest, TsvKeepsOneRowALine) {
    EXPECT_EQ(list(OutputFormat::Tsv, {{"a\tb", "c\r\nd\re\nf"}, {"", QString()}}),
              "a b\tc  d e f\n\t\n");
    EXPECT_EQ(list(OutputFormat::Tsv, {}), "");
}

TEST(RowFormatTest, CsvQuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(list(OutputFormat::Csv, {{"1", "a\tb"},
                                       {"2,3", "\"x\""},
                                       {"4", "satır\rsonu"},
                                       {"5", "iki\nsatır"},
                                       {"", QString()}}),
              "meslek_kodu,meslek_adi\r\n1,a\tb\r\n\"2,3\",\"\"\"x\"\"\"\r\n"
              "4,\"satır\rsonu\"\r\n5,\"iki\nsatır\"\r\n,\r\n");
    EXPECT_EQ(list(OutputFormat::Csv, {}), "meslek_kodu,meslek_adi\r\n");

    const QString text = awkward();
    const std::vector<csv::Record> records = csv::parse(list(OutputFormat::Csv, {{text, "x"}}));
    ASSERT_EQ(records.size(), 2u);
    QString expected = text;
    expected.back() = QChar(0xFFFD);
    EXPECT_EQ(records[1].fields, QStringList({expected, "x"}));
}

TEST(RowFormatTest, JsonEscapesEveryControlCharacter) {
    EXPECT_EQ(list(OutputFormat::Json, {}), "[]\n");
    EXPECT_EQ(list(OutputFormat::Json, {{"1", "a\"b\\c"}, {"\x01\x1f\x7f", "\u2028\t"}}),
              "[\n{\"kod\":\"1\",\"ad\":\"a\\\"b\\\\c\"},\n"
              "{\"kod\":\"\\u0001\\u001f\x7f\",\"ad\":\"\\u2028\\t\"}\n]\n");

    // The longest escapes, six bytes a character, stay within the row's bound.
    const QString controls(100, QChar(1));
    EXPECT_EQ(list(OutputFormat::Json, {{controls, controls}}).count("\\u0001"), 200);

    const QString text = awkward();
    const QByteArray bytes = list(OutputFormat::Json, {{text, text}, {"2", QString()}});
    // The only control characters left are the line ends between rows.
    EXPECT_EQ(std::count_if(bytes.begin(), bytes.end(),
                            [](char c) { return static_cast<unsigned char>(c) < 0x20; }),
              4);
    EXPECT_EQ(bytes.count('\n'), 4);
    QJsonParseError error;
    const QJsonArray array = QJsonDocument::fromJson(bytes, &error).array();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    QString expected = text;
    expected.back() = QChar(0xFFFD);
    EXPECT_EQ(array, QJsonArray({QJsonObject{{"kod", expected}, {"ad", expected}},
                                 QJsonObject{{"kod", "2"}, {"ad", ""}}}));
}
