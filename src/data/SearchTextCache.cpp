#include "data/SearchTextCache.h"

#include <thread>

#include "data/ResultSet.h"
#include "data/RowSlices.h"
#include "data/Statement.h"
#include "exceptions/Exceptions.h"
#include "text/RowTextBlock.h"

namespace {

// Where each row's bytes start in a block, rows in statement order, from the
// sizes of the physical rows; each row is followed by its separator.
std::vector<std::uint32_t> blockStarts(const ResultSet& result,
                                       const std::vector<std::uint32_t>& size,
                                       const QString& owner) {
    const int count = result.recordCount();
    std::vector<std::uint32_t> start(static_cast<std::size_t>(count) + 1);
    std::uint64_t used = 0;
    for (int position = 1; position <= count; ++position) {
        start[static_cast<std::size_t>(position - 1)] = static_cast<std::uint32_t>(used);
        used += std::uint64_t(size[result.physicalRow(position)]) + 1;
    }
    if (used + RowTextBlock::Padding > UINT32_MAX) {
        throw EDatabaseError::named(
            owner, QStringLiteral("Arama için metinler çok uzun: 4 GB sınırı aşıldı"));
    }
    start[static_cast<std::size_t>(count)] = static_cast<std::uint32_t>(used);
    return start;
}

}  // namespace

SearchTextCache::SearchTextCache() = default;

SearchTextCache::~SearchTextCache() = default;

void SearchTextCache::resultOpened(const ResultSet& result, const QStringList& statement) {
    if (table_.lock() != result.sharedTable()) {
        texts_.reset();
        order_.reset();
    }
    // Texts of the same table in another order serve to make this order's.
    current_ = texts_ == nullptr || statement_ == joinStatementLines(statement);
}

const SearchTexts& SearchTextCache::renewed(const Source& source) {
    const ResultSet& result = source.result;
    if (texts_ != nullptr && order_ != nullptr &&
        order_->size() == static_cast<std::size_t>(result.recordCount()) &&
        result.table().rowCount() == order_->size()) {
        keep(rearranged(result, *texts_, *order_), source);
    } else {
        keep(made(source), source);
    }
    return *texts_;
}

void SearchTextCache::keep(std::unique_ptr<SearchTexts> texts, const Source& source) {
    texts_ = std::move(texts);
    table_ = source.result.sharedTable();
    statement_ = joinStatementLines(source.statement);
    order_ = source.result.sharedOrder();
    current_ = true;
}

// The sizes are counted first, so each block is made exactly as large as its
// texts. Both passes read the cells in physical order, the order in which they
// lie in memory, a row's name and code together; the second writes each row's
// texts where its position puts them.
std::unique_ptr<SearchTexts> SearchTextCache::made(const Source& source) const {
    const ResultSet& result = source.result;
    const RawTable& table = result.table();
    const std::size_t rows = table.rowCount();
    const auto nameColumn = static_cast<std::size_t>(source.nameColumn);
    const auto codeColumn = static_cast<std::size_t>(source.codeColumn);

    const std::size_t slices = rowSliceCount(rows, 2048);
    std::vector<std::uint32_t> nameSize(rows);
    std::vector<std::uint32_t> codeSize(rows);
    forEachRowSlice(rows, slices, [&](std::size_t, std::size_t begin, std::size_t end) {
        for (std::size_t row = begin; row < end; ++row) {
            nameSize[row] =
                static_cast<std::uint32_t>(foldedScanFormSize(table.cell(row, nameColumn)));
            codeSize[row] = static_cast<std::uint32_t>(scanFormSize(table.cell(row, codeColumn)));
        }
    });
    auto texts = std::make_unique<SearchTexts>();
    texts->names = RowTextBlock(blockStarts(result, nameSize, source.owner));
    texts->codes = RowTextBlock(blockStarts(result, codeSize, source.owner));
    nameSize = {};
    codeSize = {};

    // The position of every physical row, 0 for a row the result leaves out.
    std::vector<std::uint32_t> positionOf(rows, 0);
    for (int position = 1; position <= result.recordCount(); ++position) {
        positionOf[result.physicalRow(position)] = static_cast<std::uint32_t>(position);
    }
    SearchTexts& out = *texts;
    forEachRowSlice(rows, slices, [&](std::size_t, std::size_t begin, std::size_t end) {
        for (std::size_t row = begin; row < end; ++row) {
            const int position = static_cast<int>(positionOf[row]);
            if (position == 0) continue;
            writeFoldedScanForm(table.cell(row, nameColumn), out.names.rowData(position - 1));
            writeScanForm(table.cell(row, codeColumn), out.codes.rowData(position - 1));
        }
    });
    return texts;
}

// Every row of the open result is a row of `order` (both hold the whole
// table): its bytes are copied from where `order` put them.
std::unique_ptr<SearchTexts> SearchTextCache::rearranged(const ResultSet& result,
                                                         const SearchTexts& texts,
                                                         const std::vector<std::uint32_t>& order) {
    const std::size_t rows = order.size();
    // Where every row of the open result lies in `texts` (0-based).
    // Each pass reads all over memory: every pass runs on every core.
    const std::size_t slices = rowSliceCount(rows, 2048);
    std::vector<std::uint32_t> from(rows);
    {
        std::vector<std::uint32_t> oldPlace(rows);
        forEachRowSlice(rows, slices, [&](std::size_t, std::size_t begin, std::size_t end) {
            for (std::size_t place = begin; place < end; ++place) {
                oldPlace[order[place]] = static_cast<std::uint32_t>(place);
            }
        });
        forEachRowSlice(rows, slices, [&](std::size_t, std::size_t begin, std::size_t end) {
            for (std::size_t place = begin; place < end; ++place) {
                from[place] = oldPlace[result.physicalRow(static_cast<int>(place) + 1)];
            }
        });
    }
    auto moved = std::make_unique<SearchTexts>();
    {
        // The codes beside the names.
        std::jthread codes([&] { moved->codes = texts.codes.rearranged(from); });
        moved->names = texts.names.rearranged(from);
    }
    return moved;
}
