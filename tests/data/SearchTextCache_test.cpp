#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <random>

#include "data/ResultSet.h"
#include "data/SearchTextCache.h"
#include "text/FoldSearchText.h"
#include "text/RowTextBlock.h"

namespace {

constexpr int CodeColumn = 1;
constexpr int NameColumn = 2;

// Enough rows for the texts to be made in slices on a machine with cores.
std::shared_ptr<const RawTable> occupationTable(int rows, std::uint32_t seed) {
    const QString pieces[] = {"İnşaat", "Işık", "ÇİFTÇİ", "şoför", "Aşçı", "", "Öğretmen ", " Ü"};
    std::mt19937 random(seed);
    RawTable table;
    table.columns.push_back({"ID", 4, true, 4, FieldKind::AutoInc});
    table.columns.push_back({"meslek_kodu", 10, false, 30, FieldKind::WideString});
    table.columns.push_back({"meslek_adi", 10, false, 500, FieldKind::WideString});
    for (int row = 0; row < rows; ++row) {
        table.appendCell(QString::number(row + 1));
        table.appendCell(QStringLiteral("%1.%2").arg(random() % 10000).arg(row % 100));
        if (row % 97 == 0) {
            table.appendNull();
        } else {
            table.appendCell(pieces[random() % 8] + QString::number(row) + pieces[random() % 8]);
        }
    }
    return std::make_shared<const RawTable>(std::move(table));
}

using Order = std::shared_ptr<const std::vector<std::uint32_t>>;

Order shuffledOrder(std::size_t rows, std::uint32_t seed) {
    std::vector<std::uint32_t> order(rows);
    std::iota(order.begin(), order.end(), 0u);
    std::shuffle(order.begin(), order.end(), std::mt19937(seed));
    return std::make_shared<const std::vector<std::uint32_t>>(std::move(order));
}

// Each row of `block` is exactly `expected(position)`: every row holds its
// text, and the block is no longer than the texts and their separators.
template <typename Expected>
void expectBlock(const RowTextBlock& block, const ResultSet& result, Expected expected) {
    ASSERT_EQ(block.rowCount(), result.recordCount());
    std::size_t bytes = 0;
    for (int row = 0; row < block.rowCount(); ++row) {
        const std::string text = expected(row + 1);
        bytes += text.size() + 1;
        if (!text.empty()) {
            ASSERT_EQ(block.firstRowWith(text, row, row + 1), row) << "row " << row;
        }
    }
    EXPECT_EQ(block.size(), bytes);
}

// The texts are the result's names folded and codes as stored, in its order.
void expectTextsOf(const SearchTexts& texts, const ResultSet& result) {
    expectBlock(texts.names, result, [&](int position) {
        return scanForm(FoldSearchText(result.valueAt(position, NameColumn)));
    });
    expectBlock(texts.codes, result,
                [&](int position) { return scanForm(result.valueAt(position, CodeColumn)); });
}

struct Opened {
    ResultSet result;
    QStringList statement;
};

const SearchTexts& textsOf(SearchTextCache& cache, const Opened& opened) {
    static const QString owner = QStringLiteral("meslekkoduQuery");
    return cache.texts({opened.result, NameColumn, CodeColumn, opened.statement, owner});
}

}  // namespace

// Texts carried from order to order are rearranged, not made again; they
// must be the texts of each order, as a cache made for it alone has them.
TEST(SearchTextCacheTest, TextsCarriedThroughOrdersAreThoseOfEachOrder) {
    const auto table = occupationTable(3000, 1);
    SearchTextCache carried;
    for (std::uint32_t round = 0; round < 6; ++round) {
        SCOPED_TRACE(testing::Message() << "order " << round);
        const Opened opened{ResultSet(table, shuffledOrder(table->rowCount(), round)),
                            {QStringLiteral("select * FROM meslekler ORDER BY x%1").arg(round)}};
        carried.resultOpened(opened.result, opened.statement);
        expectTextsOf(textsOf(carried, opened), opened.result);

        SearchTextCache fresh;
        fresh.resultOpened(opened.result, opened.statement);
        expectTextsOf(textsOf(fresh, opened), opened.result);
    }
}

TEST(SearchTextCacheTest, KeepsTheTextsForTheSameStatementOverTheSameTableOnly) {
    const auto table = occupationTable(500, 2);
    const auto byCode = shuffledOrder(table->rowCount(), 10);
    const QStringList codeStatement = {"select * FROM meslekler ORDER BY meslek_kodu"};
    SearchTextCache cache;
    const Opened first{ResultSet(table, byCode), codeStatement};
    cache.resultOpened(first.result, first.statement);
    const SearchTexts* made = &textsOf(cache, first);

    // Opened again (a close in between, the same kept table): the same texts.
    const Opened again{ResultSet(table, byCode), codeStatement};
    cache.resultOpened(again.result, again.statement);
    EXPECT_EQ(&textsOf(cache, again), made);

    // Another statement over that table gets them in its own order.
    const Opened byName{ResultSet(table, shuffledOrder(table->rowCount(), 11)),
                        {"select * FROM meslekler ORDER BY meslek_adi DESC"}};
    cache.resultOpened(byName.result, byName.statement);
    expectTextsOf(textsOf(cache, byName), byName.result);

    // And back: the code order's texts again, not the name order's.
    cache.resultOpened(again.result, again.statement);
    expectTextsOf(textsOf(cache, again), again.result);

    // The same statement over a table read anew: the new table's texts.
    const auto reread = occupationTable(700, 3);
    const Opened other{ResultSet(reread, shuffledOrder(reread->rowCount(), 10)), codeStatement};
    cache.resultOpened(other.result, other.statement);
    expectTextsOf(textsOf(cache, other), other.result);
}

TEST(SearchTextCacheTest, AnEmptyResultHasEmptyBlocks) {
    const auto table = occupationTable(0, 4);
    const Opened opened{ResultSet(table, shuffledOrder(0, 0)), {"select * FROM meslekler"}};
    SearchTextCache cache;
    cache.resultOpened(opened.result, opened.statement);
    const SearchTexts& texts = textsOf(cache, opened);
    EXPECT_EQ(texts.names.rowCount(), 0);
    EXPECT_EQ(texts.codes.size(), 0u);
}
