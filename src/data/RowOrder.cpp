#include "data/RowOrder.h"

#include <cstring>

#include <algorithm>
#include <iterator>
#include <numeric>
#include <thread>

#include "data/TurkishSortKeys.h"

namespace {

// The keys of one column, packed: row r's key is bytes[offsets[r], offsets[r+1]).
struct PackedKeys {
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> offsets;
};

PackedKeys buildKeys(const RawTable& table, std::size_t column, std::size_t begin,
                     std::size_t end) {
    TurkishSortKeys collation;
    PackedKeys keys;
    keys.offsets.reserve(end - begin + 1);
    keys.bytes.reserve((end - begin) * 48);
    for (std::size_t row = begin; row < end; ++row) {
        keys.offsets.push_back(keys.bytes.size());
        collation.append(table.cell(row, column), keys.bytes);
    }
    keys.offsets.push_back(keys.bytes.size());
    return keys;
}

// Sort keys for every row, built in slices on all cores (one collator each).
PackedKeys textSortKeys(const RawTable& table, std::size_t column) {
    const std::size_t rows = table.rowCount();
    const std::size_t threads =
        rows < 20000 ? 1 : std::max<std::size_t>(1, std::thread::hardware_concurrency());
    const std::size_t slice = (rows + threads - 1) / threads;
    std::vector<PackedKeys> parts(threads);
    std::vector<std::thread> workers;
    for (std::size_t t = 1; t < threads; ++t) {
        const std::size_t begin = std::min(rows, t * slice);
        const std::size_t end = std::min(rows, begin + slice);
        workers.emplace_back([&table, &parts, column, begin, end, t] {
            parts[t] = buildKeys(table, column, begin, end);
        });
    }
    parts[0] = buildKeys(table, column, 0, std::min(rows, slice));
    for (auto& worker : workers) worker.join();

    PackedKeys keys = std::move(parts[0]);
    keys.offsets.pop_back();
    for (std::size_t t = 1; t < threads; ++t) {
        const std::size_t base = keys.bytes.size();
        keys.bytes.insert(keys.bytes.end(), parts[t].bytes.begin(), parts[t].bytes.end());
        for (std::size_t i = 0; i + 1 < parts[t].offsets.size(); ++i) {
            keys.offsets.push_back(base + parts[t].offsets[i]);
        }
    }
    keys.offsets.push_back(keys.bytes.size());
    return keys;
}

// One entry per non-null row: the first eight key bytes, big-endian, decide
// most comparisons without touching the key itself.
struct KeyedRow {
    std::uint64_t prefix;
    std::uint32_t row;
};

std::uint64_t keyPrefix(const std::uint8_t* key, std::size_t length) {
    std::uint64_t prefix = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        prefix = (prefix << 8) | (i < length ? key[i] : 0u);
    }
    return prefix;
}

std::vector<std::uint32_t> orderText(const RawTable& table, std::size_t column, bool descending) {
    const PackedKeys keys = textSortKeys(table, column);
    std::vector<std::uint32_t> nulls;
    std::vector<KeyedRow> rows;
    rows.reserve(table.rowCount());
    for (std::uint32_t row = 0; row < table.rowCount(); ++row) {
        if (table.cell(row, column).isEmpty()) {
            nulls.push_back(row);
        } else {
            const std::size_t at = keys.offsets[row];
            rows.push_back({keyPrefix(keys.bytes.data() + at, keys.offsets[row + 1] - at), row});
        }
    }
    // Negative, zero or positive as a's key sorts before, with or after b's.
    auto compareKeys = [&keys](std::uint32_t a, std::uint32_t b) {
        const std::size_t la = keys.offsets[a + 1] - keys.offsets[a];
        const std::size_t lb = keys.offsets[b + 1] - keys.offsets[b];
        const int c = std::memcmp(keys.bytes.data() + keys.offsets[a],
                                  keys.bytes.data() + keys.offsets[b], std::min(la, lb));
        if (c != 0) return c;
        return la < lb ? -1 : (la > lb ? 1 : 0);
    };
    // Ties always keep file order, whichever the direction.
    std::sort(rows.begin(), rows.end(), [&](const KeyedRow& a, const KeyedRow& b) {
        if (a.prefix != b.prefix) return descending ? a.prefix > b.prefix : a.prefix < b.prefix;
        const int c = compareKeys(a.row, b.row);
        if (c != 0) return descending ? c > 0 : c < 0;
        return a.row < b.row;
    });

    std::vector<std::uint32_t> order;
    order.reserve(table.rowCount());
    if (!descending) order.insert(order.end(), nulls.begin(), nulls.end());
    for (const KeyedRow& row : rows) order.push_back(row.row);
    if (descending) order.insert(order.end(), nulls.begin(), nulls.end());
    return order;
}

// Sorts with nulls (here: rows whose key `isNull` says so) first when ascending.
template <typename Less, typename IsNull>
void sortIndexes(std::vector<std::uint32_t>& order, bool descending, IsNull isNull, Less less) {
    auto ascending = [&](std::uint32_t a, std::uint32_t b) {
        const bool nullA = isNull(a);
        const bool nullB = isNull(b);
        if (nullA || nullB) return nullA && !nullB;
        return less(a, b);
    };
    if (descending) {
        std::stable_sort(order.begin(), order.end(),
                         [&](std::uint32_t a, std::uint32_t b) { return ascending(b, a); });
    } else {
        std::stable_sort(order.begin(), order.end(), ascending);
    }
}

}  // namespace

std::vector<std::uint32_t> physicalOrder(const RawTable& table) {
    std::vector<std::uint32_t> order(table.rowCount());
    std::iota(order.begin(), order.end(), 0u);
    return order;
}

std::vector<std::uint32_t> orderRows(const RawTable& table, int column, bool descending) {
    std::vector<std::uint32_t> order = physicalOrder(table);
    const std::size_t col = static_cast<std::size_t>(column);
    const FieldKind kind = table.columns[col].kind;

    if (isIntegerKind(kind) || kind == FieldKind::Float || kind == FieldKind::Currency ||
        kind == FieldKind::Boolean) {
        std::vector<double> numbers(table.rowCount());
        std::vector<char> nulls(table.rowCount());
        for (std::size_t row = 0; row < numbers.size(); ++row) {
            const QString& text = table.cell(row, col);
            bool ok = false;
            numbers[row] = text.toDouble(&ok);
            nulls[row] = text.isEmpty() || !ok;
        }
        sortIndexes(
            order, descending, [&](std::uint32_t r) { return nulls[r] != 0; },
            [&](std::uint32_t a, std::uint32_t b) { return numbers[a] < numbers[b]; });
        return order;
    }

    if (isTextKind(kind) || kind == FieldKind::WideMemo || kind == FieldKind::Memo) {
        return orderText(table, col, descending);
    }

    // Dates come as "YYYY-MM-DD hh:mm:ss" and bytes as text: their text order will do.
    sortIndexes(
        order, descending, [&](std::uint32_t r) { return table.cell(r, col).isEmpty(); },
        [&](std::uint32_t a, std::uint32_t b) { return table.cell(a, col) < table.cell(b, col); });
    return order;
}
