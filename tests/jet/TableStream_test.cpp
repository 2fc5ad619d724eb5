#include "jet/TableStream.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::vector<StreamColumn> occupationColumns() {
    return {{"ID", 0x04, true, 4},
            {"meslek_kodu", 0x0A, false, 30},
            {"meslek_adi", 0x0A, false, 510},
            {"meslek_ana", 0x0C, false, 0}};
}

struct Cell {
    bool null = false;
    std::string text;
};

std::string encode(const std::vector<StreamColumn>& columns,
                   const std::vector<std::vector<Cell>>& rows) {
    TableStreamEncoder out;
    out.header();
    out.columns(columns);
    for (const auto& row : rows) {
        out.beginRow();
        for (const Cell& cell : row) {
            if (cell.null) {
                out.nullCell();
            } else {
                out.cell(cell.text.data(), cell.text.size());
            }
        }
        out.endRow();
    }
    out.end(rows.size());
    return out.buffer();
}

std::string validStream() {
    return encode(occupationColumns(),
                  {{{false, "1"}, {false, "1111.01"}, {false, "Çiftçi"}, {false, "Tarım"}},
                   {{false, "2"}, {false, ""}, {true, ""}, {true, ""}}});
}

RawTable decodeWhole(const std::string& stream) {
    TableStreamDecoder decoder;
    decoder.feed(stream.data(), stream.size());
    decoder.finish();
    return decoder.takeTable();
}

// Feeds the stream in the given piece size; returns the failure reason, or
// an empty string when the stream was accepted as complete.
QString rejection(const std::string& stream, std::size_t piece) {
    TableStreamDecoder decoder;
    try {
        for (std::size_t pos = 0; pos < stream.size(); pos += piece) {
            decoder.feed(stream.data() + pos, std::min(piece, stream.size() - pos));
        }
        decoder.finish();
    } catch (const TableStreamError& error) {
        return error.reason();
    }
    return {};
}

void putU16(std::string& s, std::uint16_t v) {
    s.push_back(static_cast<char>(v));
    s.push_back(static_cast<char>(v >> 8));
}

void putU32(std::string& s, std::uint32_t v) {
    putU16(s, static_cast<std::uint16_t>(v));
    putU16(s, static_cast<std::uint16_t>(v >> 16));
}

std::string header() { return std::string(TableStream::kMagic, 8) + std::string("\x01\x00", 2); }

// A column record with `count` LONG columns named "c".
std::string columnRecord(std::size_t count, char flags = 0) {
    std::string s(1, 'C');
    putU16(s, static_cast<std::uint16_t>(count));
    for (std::size_t i = 0; i < count; ++i) {
        putU16(s, 1);
        s += "c";
        s.push_back(0x04);
        s.push_back(flags);
        putU16(s, 4);
    }
    return s;
}

std::string endRecord(std::uint32_t rows) {
    std::string s(1, 'E');
    putU32(s, rows);
    putU32(s, 0);
    return s;
}

}  // namespace

TEST(TableStream, RoundTripKeepsColumnsNullsAndTurkishText) {
    const RawTable table = decodeWhole(validStream());

    ASSERT_EQ(table.columnCount(), 4u);
    EXPECT_EQ(table.columns[0].name, QStringLiteral("ID"));
    EXPECT_EQ(table.columns[0].kind, FieldKind::AutoInc);
    EXPECT_TRUE(table.columns[0].autoIncrement);
    EXPECT_EQ(table.columns[1].kind, FieldKind::WideString);
    EXPECT_EQ(table.columns[1].size, 30);
    EXPECT_EQ(table.columns[2].size, 510);
    EXPECT_EQ(table.columns[3].kind, FieldKind::WideMemo);
    EXPECT_EQ(table.columns[3].jetType, 0x0C);

    ASSERT_EQ(table.rowCount(), 2u);
    EXPECT_EQ(table.cell(0, 2), QStringLiteral("Çiftçi"));
    EXPECT_EQ(table.cell(0, 3), QStringLiteral("Tarım"));
    EXPECT_FALSE(table.cell(1, 1).isNull());
    EXPECT_TRUE(table.cell(1, 1).isEmpty());
    EXPECT_TRUE(table.cell(1, 2).isNull());
    EXPECT_TRUE(table.cell(1, 3).isNull());
    EXPECT_TRUE(table.columns[0].valuesRead);

    // A column's two flags come back each on its own.
    std::vector<StreamColumn> columns = occupationColumns();
    columns[0].valuesRead = false;
    columns[3].valuesRead = false;
    const RawTable part = decodeWhole(
        encode(columns, {{{true, ""}, {false, "1111.01"}, {false, "Çiftçi"}, {true, ""}}}));
    EXPECT_TRUE(part.columns[0].autoIncrement);
    EXPECT_FALSE(part.columns[0].valuesRead);
    EXPECT_TRUE(part.columns[2].valuesRead);
    EXPECT_FALSE(part.columns[3].autoIncrement);
    EXPECT_FALSE(part.columns[3].valuesRead);
    EXPECT_EQ(part.cell(0, 2), QStringLiteral("Çiftçi"));
}

TEST(TableStream, EveryWayOfSplittingGivesTheSameTable) {
    const std::string stream = validStream();
    const RawTable whole = decodeWhole(stream);

    std::mt19937 random(7);
    for (int round = 0; round < 50; ++round) {
        TableStreamDecoder decoder;
        std::size_t pos = 0;
        while (pos < stream.size()) {
            const std::size_t piece =
                round == 0 ? 1 : std::uniform_int_distribution<std::size_t>(0, 20)(random);
            const std::size_t n = std::min(piece, stream.size() - pos);
            decoder.feed(stream.data() + pos, n);
            pos += n;
        }
        decoder.finish();
        const RawTable split = decoder.takeTable();
        ASSERT_EQ(split.columnCount(), whole.columnCount());
        ASSERT_EQ(split.rowCount(), whole.rowCount());
        for (std::size_t row = 0; row < whole.rowCount(); ++row) {
            for (std::size_t column = 0; column < whole.columnCount(); ++column) {
                ASSERT_EQ(split.cell(row, column), whole.cell(row, column)) << "round " << round;
                ASSERT_EQ(split.isNull(row, column), whole.isNull(row, column));
            }
        }
    }
}

TEST(TableStream, ErrorInTheMiddleOfARowDropsTheHalfWrittenRow) {
    TableStreamEncoder out;
    out.header();
    out.columns({{"ID", 0x04, true, 4}, {"ad", 0x0A, false, 510}});
    out.beginRow();
    out.cell("1", 1);
    out.error(StreamError::TableUnreadable, "sayfa bozuk");
    TableStreamDecoder decoder;
    decoder.feed(out.buffer().data(), out.buffer().size());
    decoder.finish();
    EXPECT_TRUE(decoder.hasError());
    EXPECT_EQ(decoder.errorCode(), StreamError::TableUnreadable);
    EXPECT_EQ(decoder.errorDetail(), QStringLiteral("sayfa bozuk"));
}

TEST(TableStream, InvalidUtf8IsReplacedNotRejected) {
    std::string s = header() + columnRecord(1) + "R";
    putU32(s, 3);
    s += "a\xff"
         "b";
    s += endRecord(1);
    const RawTable table = decodeWhole(s);
    EXPECT_EQ(table.cell(0, 0), QStringLiteral("a\uFFFDb"));
}

TEST(TableStream, MalformedStreamsAreRejected) {
    std::string badMagic = validStream();
    badMagic[0] = 'X';
    std::string badVersion = validStream();
    badVersion[8] = 2;

    std::string hugeCell = header() + columnRecord(1) + "R";
    putU32(hugeCell, TableStream::kMaxCellBytes + 1);

    std::string longName = header() + "C";
    putU16(longName, 1);
    putU16(longName, TableStream::kMaxNameBytes + 1);

    std::string longDetail = header() + "X\x08";
    putU16(longDetail, TableStream::kMaxDetailBytes + 1);

    // 16 cells of 1 MiB would pass the cell limit but not the row limit.
    std::string longRow = header() + columnRecord(20) + "R";
    for (int i = 0; i < 16; ++i) {
        putU32(longRow, TableStream::kMaxCellBytes);
        longRow.append(TableStream::kMaxCellBytes, 'a');
    }
    putU32(longRow, 10);

    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"bad magic", badMagic},
        {"bad version", badVersion},
        {"row before columns", header() + "R" + std::string(4, '\0')},
        {"end before columns", header() + endRecord(0)},
        {"zero columns", header() + columnRecord(0)},
        {"256 columns", header() + columnRecord(256)},
        {"unknown column flag", header() + columnRecord(1, 4)},
        {"second column record", header() + columnRecord(1) + columnRecord(1)},
        {"unknown record", header() + columnRecord(1) + "Z"},
        {"huge cell", hugeCell},
        {"long row", longRow},
        {"long name", longName},
        {"long detail", longDetail},
        {"unknown error code", header() + std::string("X\x00\x00\x00", 4)},
        {"error code too big", header() + std::string("X\x0c\x00\x00", 4)},
        {"too few rows counted", validStream().substr(0, validStream().size() - 9) + endRecord(3)},
        {"too many rows counted", header() + columnRecord(1) + endRecord(1)},
        {"data after end", validStream() + "R"},
        {"data after error", header() + std::string("X\x07\x00\x00", 4) + "X"},
        {"no end record", header() + columnRecord(1)},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(rejection(c.bytes, c.bytes.size() + 1).isEmpty()) << c.name;
        EXPECT_FALSE(rejection(c.bytes, 1).isEmpty()) << c.name << " (byte by byte)";
    }
}

TEST(TableStream, EveryTruncationIsRejectedAtTheEnd) {
    const std::string stream = validStream();
    for (std::size_t length = 0; length < stream.size(); ++length) {
        EXPECT_EQ(rejection(stream.substr(0, length), 3).isEmpty(), false) << length;
    }
    EXPECT_TRUE(rejection(stream, 3).isEmpty());
}

// Decoding speed is measured by the benchmarks; here a long stream must come
// out whole when it arrives in pipe-sized pieces that cut records anywhere.
// Its texts fill several of the table's text blocks, one cell a block of its
// own, and stay valid in a copy of the table that outlives the decoder.
TEST(TableStream, LongStreamsDecodeWholeFromPipeSizedPieces) {
    TableStreamEncoder out;
    out.header();
    out.columns(occupationColumns());
    constexpr int kRows = 100000;
    std::string big;
    for (int i = 0; i < 500000; ++i) big += "ş";
    for (int i = 0; i < kRows; ++i) {
        const std::string id = std::to_string(i + 1);
        out.beginRow();
        out.cell(id.data(), id.size());
        out.cell("7111.03", 7);
        out.cell("Bilgisayar Mühendisi", 21);
        if (i == kRows / 2) {
            out.cell(big.data(), big.size());
        } else {
            out.cell("Mühendislik", 12);
        }
        out.endRow();
    }
    out.end(kRows);
    const std::string& stream = out.buffer();

    RawTable table;
    {
        TableStreamDecoder decoder;
        // In pipe-sized pieces, as the reader delivers it.
        for (std::size_t pos = 0; pos < stream.size(); pos += 65536) {
            decoder.feed(stream.data() + pos, std::min<std::size_t>(65536, stream.size() - pos));
        }
        decoder.finish();
        const RawTable copy = decoder.table();
        table = copy;
    }
    ASSERT_EQ(table.rowCount(), static_cast<std::size_t>(kRows));
    for (int i = 0; i < kRows; ++i) {
        ASSERT_EQ(table.cell(i, 0), QString::number(i + 1));
        ASSERT_EQ(table.cell(i, 2), QStringLiteral("Bilgisayar Mühendisi"));
        if (i != kRows / 2) {
            ASSERT_EQ(table.cell(i, 3), QStringLiteral("Mühendislik")) << i;
        }
    }
    EXPECT_EQ(table.cell(kRows / 2, 3), QString::fromStdString(big));
}
