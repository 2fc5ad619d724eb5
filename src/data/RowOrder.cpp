#include "data/RowOrder.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <iterator>
#include <numeric>
#include <thread>

namespace {

QCollator turkishCollator() {
    QCollator collator(QLocale(QLocale::Turkish, QLocale::Turkey));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(false);
    collator.setIgnorePunctuation(false);
    return collator;
}

// Sort keys for one slice of the rows; one collator per thread, as QCollator is
// not safe to share.
std::vector<QCollatorSortKey> buildKeys(const RawTable& table, std::size_t column,
                                        std::size_t begin, std::size_t end) {
    const QCollator collator = turkishCollator();
    std::vector<QCollatorSortKey> keys;
    keys.reserve(end - begin);
    for (std::size_t row = begin; row < end; ++row) {
        keys.push_back(collator.sortKey(table.cell(row, column)));
    }
    return keys;
}

std::vector<QCollatorSortKey> textSortKeys(const RawTable& table, std::size_t column) {
    const std::size_t rows = table.rowCount();
    const std::size_t threads =
        rows < 20000 ? 1 : std::max<std::size_t>(1, std::thread::hardware_concurrency());
    const std::size_t slice = (rows + threads - 1) / threads;
    std::vector<std::vector<QCollatorSortKey>> parts(threads);
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
    std::vector<QCollatorSortKey> keys = std::move(parts[0]);
    keys.reserve(rows);
    for (std::size_t t = 1; t < threads; ++t) {
        std::move(parts[t].begin(), parts[t].end(), std::back_inserter(keys));
    }
    return keys;
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
        const std::vector<QCollatorSortKey> keys = textSortKeys(table, col);
        sortIndexes(
            order, descending, [&](std::uint32_t r) { return table.cell(r, col).isEmpty(); },
            [&](std::uint32_t a, std::uint32_t b) { return keys[a].compare(keys[b]) < 0; });
        return order;
    }

    // Dates come as "YYYY-MM-DD hh:mm:ss" and bytes as text: their text order will do.
    sortIndexes(
        order, descending, [&](std::uint32_t r) { return table.cell(r, col).isEmpty(); },
        [&](std::uint32_t a, std::uint32_t b) { return table.cell(a, col) < table.cell(b, col); });
    return order;
}
