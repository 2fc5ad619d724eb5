#include "data/RowOrder.h"

#include <QHashFunctions>

#include <cstring>

#include <algorithm>
#include <array>
#include <iterator>
#include <numeric>
#include <optional>
#include <unordered_map>

#include "data/RowSlices.h"
#include "data/TurkishSortKeys.h"

namespace {

// The keys of one column, packed: row r's key is the `lengths[r]` bytes from
// `starts[r]` on. Rows with the same text share one key.
struct PackedKeys {
    std::vector<std::uint8_t> bytes;
    std::vector<std::size_t> starts;
    std::vector<std::uint32_t> lengths;

    const std::uint8_t* key(std::uint32_t row) const { return bytes.data() + starts[row]; }
};

// Rows looked at before a slice decides whether its texts repeat enough for
// the keys made to be worth looking up, and the share of repeats that is.
constexpr std::size_t kRepeatSample = 16384;
constexpr std::size_t kRepeatsWorthIt = kRepeatSample / 8;

struct ViewHash {
    std::size_t operator()(QStringView text) const { return qHash(text); }
};

// A collation key costs far more than a look-up: a text met before in the
// slice takes the key made then. A slice whose first rows hardly repeat
// stops looking.
PackedKeys buildKeys(const RawTable& table, std::size_t column, std::size_t begin,
                     std::size_t end) {
    TurkishSortKeys collation;
    PackedKeys keys;
    keys.starts.reserve(end - begin);
    keys.lengths.reserve(end - begin);
    keys.bytes.reserve((end - begin) * 40);
    // Text -> its first row in the slice.
    std::unordered_map<QStringView, std::uint32_t, ViewHash> made;
    bool lookUp = true;
    std::size_t repeats = 0;
    for (std::size_t row = begin; row < end; ++row) {
        const QString text = table.cell(row, column);
        if (lookUp) {
            const auto [at, fresh] =
                made.try_emplace(QStringView(text), static_cast<std::uint32_t>(row - begin));
            if (!fresh) {
                keys.starts.push_back(keys.starts[at->second]);
                keys.lengths.push_back(keys.lengths[at->second]);
                ++repeats;
                continue;
            }
            if (row - begin == kRepeatSample && repeats < kRepeatsWorthIt) {
                lookUp = false;
                made = {};
            }
        }
        const std::size_t start = keys.bytes.size();
        collation.append(text, keys.bytes);
        keys.starts.push_back(start);
        keys.lengths.push_back(static_cast<std::uint32_t>(keys.bytes.size() - start));
    }
    return keys;
}

// Sort keys for every row, built in slices on all cores (one collator each).
PackedKeys textSortKeys(const RawTable& table, std::size_t column) {
    const std::size_t rows = table.rowCount();
    const std::size_t threads = rowSliceCount(rows, 20000);
    std::vector<PackedKeys> parts(threads);
    forEachRowSlice(rows, threads, [&](std::size_t t, std::size_t begin, std::size_t end) {
        parts[t] = buildKeys(table, column, begin, end);
    });

    PackedKeys keys = std::move(parts[0]);
    for (std::size_t t = 1; t < threads; ++t) {
        const std::size_t base = keys.bytes.size();
        keys.bytes.insert(keys.bytes.end(), parts[t].bytes.begin(), parts[t].bytes.end());
        for (const std::size_t start : parts[t].starts) keys.starts.push_back(base + start);
        keys.lengths.insert(keys.lengths.end(), parts[t].lengths.begin(), parts[t].lengths.end());
    }
    return keys;
}

// One entry per non-null row: the first eight key bytes, big-endian, decide
// most comparisons without touching the key itself.
struct KeyedRow {
    std::uint64_t prefix;
    std::uint32_t row;
};

// Negative, zero or positive as row a's key sorts before, with or after b's.
int compareKeys(const PackedKeys& keys, std::uint32_t a, std::uint32_t b) {
    const std::size_t la = keys.lengths[a];
    const std::size_t lb = keys.lengths[b];
    // Rows of one text share their key.
    if (keys.starts[a] == keys.starts[b]) return 0;
    const int c = std::memcmp(keys.key(a), keys.key(b), std::min(la, lb));
    if (c != 0) return c;
    return la < lb ? -1 : (la > lb ? 1 : 0);
}

// The first eight units of a key (bytes, or code units below 256), big-endian,
// padded with zeros.
template <typename Unit>
std::uint64_t keyPrefix(const Unit* key, std::size_t length) {
    std::uint64_t prefix = 0;
    for (std::size_t i = 0; i < 8; ++i) {
        prefix = (prefix << 8) | (i < length ? static_cast<std::uint64_t>(key[i]) : 0u);
    }
    return prefix;
}

// Sorts `items` stably by bytes [first, first + count) of the 64-bit word
// `word(item)` gives: a least-significant-digit radix sort, a byte a pass,
// passing over bytes that every item shares (codes have several).
template <typename Item, typename Word>
void radixSort(std::vector<Item>& items, Word word, unsigned first, unsigned count) {
    const std::size_t n = items.size();
    if (n < 1024) {
        const std::uint64_t mask =
            count >= 8 ? ~std::uint64_t(0) : (std::uint64_t(1) << (8 * count)) - 1;
        std::stable_sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
            return ((word(a) >> (8 * first)) & mask) < ((word(b) >> (8 * first)) & mask);
        });
        return;
    }
    std::array<std::array<std::size_t, 256>, 8> counts{};
    for (const Item& item : items) {
        for (unsigned byte = 0; byte < count; ++byte) {
            ++counts[byte][(word(item) >> (8 * (first + byte))) & 0xff];
        }
    }
    std::vector<Item> scratch(n);
    Item* from = items.data();
    Item* to = scratch.data();
    for (unsigned byte = 0; byte < count; ++byte) {
        const unsigned shift = 8 * (first + byte);
        const std::array<std::size_t, 256>& counted = counts[byte];
        if (counted[(word(from[0]) >> shift) & 0xff] == n) continue;
        std::array<std::size_t, 256> next;
        std::size_t sum = 0;
        for (std::size_t value = 0; value < 256; ++value) {
            next[value] = sum;
            sum += counted[value];
        }
        for (std::size_t i = 0; i < n; ++i) to[next[(word(from[i]) >> shift) & 0xff]++] = from[i];
        std::swap(from, to);
    }
    if (from != items.data()) std::copy(from, from + n, items.data());
}

// Ascending: empty texts first in file order, then the rest by `prefix` (the
// first eight bytes of the key, big-endian) and, where prefixes agree, by
// `compare`; ties in file order. With `tied`, also where the ties are:
// tied[i] when the i-th row holds the same key as the one before it.
template <typename Prefix, typename Compare>
std::vector<std::uint32_t> ascendingByPrefix(const RawTable& table, std::size_t column,
                                             Prefix prefix, Compare compare,
                                             std::vector<bool>* tied = nullptr) {
    std::vector<std::uint32_t> nulls;
    std::vector<KeyedRow> rows;
    rows.reserve(table.rowCount());
    for (std::uint32_t row = 0; row < table.rowCount(); ++row) {
        if (table.cell(row, column).isEmpty()) {
            nulls.push_back(row);
        } else {
            rows.push_back({prefix(row), row});
        }
    }
    // Rows come in file order: a stable sort by prefix, then each run of
    // equal prefixes stably by the whole key, leaves ties in file order.
    radixSort(
        rows, [](const KeyedRow& row) { return row.prefix; }, 0, 8);
    const auto byKey = [&](const KeyedRow& a, const KeyedRow& b) {
        return compare(a.row, b.row) < 0;
    };
    for (std::size_t begin = 0; begin < rows.size();) {
        std::size_t end = begin + 1;
        while (end < rows.size() && rows[end].prefix == rows[begin].prefix) ++end;
        const auto first = rows.begin() + static_cast<std::ptrdiff_t>(begin);
        const auto last = rows.begin() + static_cast<std::ptrdiff_t>(end);
        if (end - begin > 1 && !std::is_sorted(first, last, byKey)) {
            std::stable_sort(first, last, byKey);
        }
        begin = end;
    }
    if (tied != nullptr) {
        // Neighbours in order, their prefixes at hand: few need their keys.
        tied->assign(table.rowCount(), false);
        for (std::size_t i = 1; i < nulls.size(); ++i) (*tied)[i] = true;
        for (std::size_t i = 1; i < rows.size(); ++i) {
            (*tied)[nulls.size() + i] =
                rows[i].prefix == rows[i - 1].prefix && compare(rows[i - 1].row, rows[i].row) == 0;
        }
    }
    std::vector<std::uint32_t> order = std::move(nulls);
    order.reserve(table.rowCount());
    for (const KeyedRow& row : rows) order.push_back(row.row);
    return order;
}

std::vector<std::uint32_t> ascendingByKeys(const RawTable& table, std::size_t column,
                                           const PackedKeys& keys, std::vector<bool>& tied) {
    return ascendingByPrefix(
        table, column,
        [&keys](std::uint32_t row) { return keyPrefix(keys.key(row), keys.lengths[row]); },
        [&keys](std::uint32_t a, std::uint32_t b) { return compareKeys(keys, a, b); }, &tied);
}

// Codes of ASCII digits and dots of at most eight units, each unit in four
// bits ('.' 1, '0' to '9' 2 to 11, none 0: the order of the code units, a
// shorter code before a longer one it begins) above the row's number: one
// 64-bit word a row says everything the order needs. Empty when a code is
// longer.
std::optional<std::vector<std::uint64_t>> packedShortCodes(const RawTable& table,
                                                           std::size_t column) {
    std::vector<std::uint64_t> packed(table.rowCount());
    for (std::size_t row = 0; row < packed.size(); ++row) {
        const QString code = table.cell(row, column);
        if (code.size() > 8) return std::nullopt;
        std::uint64_t units = 0;
        for (qsizetype i = 0; i < 8; ++i) {
            const char16_t c = i < code.size() ? code[i].unicode() : u'\0';
            units = (units << 4) | (c == u'.' ? 1u : c == u'\0' ? 0u : 2u + (c - u'0'));
        }
        packed[row] = (units << 32) | row;
    }
    return packed;
}

// Codes of ASCII digits and dots: the code units are their own key.
std::vector<std::uint32_t> ascendingCodes(const RawTable& table, std::size_t column,
                                          std::vector<bool>& tied) {
    // Empty codes (and nulls) pack to the lowest words: first, in file order.
    if (auto packed = packedShortCodes(table, column)) {
        std::vector<std::uint64_t>& words = *packed;
        radixSort(
            words, [](std::uint64_t word) { return word; }, 4, 4);
        std::vector<std::uint32_t> order(words.size());
        tied.assign(words.size(), false);
        for (std::size_t i = 0; i < words.size(); ++i) {
            order[i] = static_cast<std::uint32_t>(words[i]);
            if (i > 0) tied[i] = (words[i] >> 32) == (words[i - 1] >> 32);
        }
        return order;
    }
    return ascendingByPrefix(
        table, column,
        [&table, column](std::uint32_t row) {
            const QString& code = table.cell(row, column);
            return keyPrefix(reinterpret_cast<const char16_t*>(code.constData()),
                             static_cast<std::size_t>(code.size()));
        },
        [&table, column](std::uint32_t a, std::uint32_t b) {
            return QStringView(table.cell(a, column)).compare(table.cell(b, column));
        },
        &tied);
}

// Ascending, nulls (rows `isNull` names) first, ties in file order.
template <typename Less, typename IsNull>
std::vector<std::uint32_t> ascendingBy(std::size_t rows, IsNull isNull, Less less) {
    std::vector<std::uint32_t> order(rows);
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        const bool nullA = isNull(a);
        const bool nullB = isNull(b);
        if (nullA || nullB) return nullA && !nullB;
        return less(a, b);
    });
    return order;
}

// Whether every text of the column is a code of ASCII digits and dots (or
// empty): there the Turkish collation orders exactly as the code units do,
// dots before digits, a shorter text before a longer one it begins.
bool allPlainCodes(const RawTable& table, std::size_t column) {
    for (std::size_t row = 0; row < table.rowCount(); ++row) {
        for (const QChar c : table.cell(row, column)) {
            if (!(c.unicode() == u'.' || (c.unicode() >= u'0' && c.unicode() <= u'9'))) {
                return false;
            }
        }
    }
    return true;
}

bool isNumberKind(FieldKind kind) {
    return isIntegerKind(kind) || kind == FieldKind::Float || kind == FieldKind::Currency ||
           kind == FieldKind::Boolean;
}

bool isCollatedKind(FieldKind kind) {
    return isTextKind(kind) || kind == FieldKind::WideMemo || kind == FieldKind::Memo;
}

// The descending order from the ascending one: its groups of equal keys in
// reverse, each group keeping file order. `tied(i)`: ascending[i] holds the
// same key as ascending[i - 1].
template <typename Tied>
std::vector<std::uint32_t> reversedGroups(const std::vector<std::uint32_t>& ascending, Tied tied) {
    std::vector<std::uint32_t> descending;
    descending.reserve(ascending.size());
    std::size_t end = ascending.size();
    while (end > 0) {
        std::size_t begin = end - 1;
        while (begin > 0 && tied(begin)) --begin;
        descending.insert(descending.end(), ascending.begin() + static_cast<std::ptrdiff_t>(begin),
                          ascending.begin() + static_cast<std::ptrdiff_t>(end));
        end = begin;
    }
    return descending;
}

}  // namespace

// What one column keeps: its two orders once worked out, and what tells
// whether neighbours in the ascending order hold equal keys. The sort keys of
// numbers and collated texts serve only until the ascending order is made:
// then one bit a row says where their ties are.
struct TableOrders::ColumnOrders {
    enum class Kind { Numbers, Codes, Collated, Texts } kind = Kind::Texts;
    std::shared_ptr<const std::vector<std::uint32_t>> ascending;
    std::shared_ptr<const std::vector<std::uint32_t>> descending;
    PackedKeys keys;              // Collated, until ascending is made
    std::vector<double> numbers;  // Numbers, until ascending is made
    std::vector<char> nulls;      // Numbers, until ascending is made
    // Numbers, Collated, Codes once sorted: ascending[i] ties ascending[i - 1].
    std::vector<bool> tied;
};

TableOrders::TableOrders(const RawTable& table) : table_(table) {}

TableOrders::~TableOrders() = default;

TableOrders::ColumnOrders& TableOrders::columnOrders(int column) {
    std::unique_ptr<ColumnOrders>& slot = columns_[column];
    if (slot) return *slot;
    slot = std::make_unique<ColumnOrders>();
    ColumnOrders& orders = *slot;
    const std::size_t col = static_cast<std::size_t>(column);
    const std::size_t rows = table_.rowCount();
    const FieldKind kind = table_.columns[col].kind;
    if (isNumberKind(kind)) {
        orders.kind = ColumnOrders::Kind::Numbers;
        orders.numbers.resize(rows);
        orders.nulls.resize(rows);
        for (std::size_t row = 0; row < rows; ++row) {
            const QString& text = table_.cell(row, col);
            bool ok = false;
            orders.numbers[row] = text.toDouble(&ok);
            orders.nulls[row] = text.isEmpty() || !ok;
        }
    } else if (isCollatedKind(kind)) {
        orders.kind =
            allPlainCodes(table_, col) ? ColumnOrders::Kind::Codes : ColumnOrders::Kind::Collated;
        if (orders.kind == ColumnOrders::Kind::Collated) orders.keys = textSortKeys(table_, col);
    }
    return orders;
}

const std::shared_ptr<const std::vector<std::uint32_t>>& TableOrders::shared(int column,
                                                                             bool descending) {
    ColumnOrders& orders = columnOrders(column);
    const std::size_t col = static_cast<std::size_t>(column);
    const std::size_t rows = table_.rowCount();
    const RawTable& table = table_;
    auto cellNull = [&](std::uint32_t r) { return table.cell(r, col).isEmpty(); };
    auto cellLess = [&](std::uint32_t a, std::uint32_t b) {
        return table.cell(a, col) < table.cell(b, col);
    };
    auto same = [&](std::uint32_t a, std::uint32_t b) {
        switch (orders.kind) {
            case ColumnOrders::Kind::Numbers:
                if (orders.nulls[a] || orders.nulls[b]) return orders.nulls[a] && orders.nulls[b];
                return orders.numbers[a] == orders.numbers[b];
            default:
                if (cellNull(a) || cellNull(b)) return cellNull(a) && cellNull(b);
                return table.cell(a, col) == table.cell(b, col);
        }
    };

    if (!orders.ascending) {
        std::vector<std::uint32_t> ascending;
        switch (orders.kind) {
            case ColumnOrders::Kind::Numbers:
                ascending = ascendingBy(
                    rows, [&](std::uint32_t r) { return orders.nulls[r] != 0; },
                    [&](std::uint32_t a, std::uint32_t b) {
                        return orders.numbers[a] < orders.numbers[b];
                    });
                break;
            case ColumnOrders::Kind::Collated:
                ascending = ascendingByKeys(table, col, orders.keys, orders.tied);
                break;
            case ColumnOrders::Kind::Codes:
            case ColumnOrders::Kind::Texts: {
                // Dates come as "YYYY-MM-DD hh:mm:ss" and bytes as text: their
                // text order will do. A list stored in order needs no sort.
                std::vector<std::uint32_t> physical = physicalOrder(table);
                // (An empty text sorts before any other: no separate test for nulls.)
                if (std::is_sorted(physical.begin(), physical.end(), cellLess)) {
                    ascending = std::move(physical);
                } else if (orders.kind == ColumnOrders::Kind::Codes) {
                    ascending = ascendingCodes(table, col, orders.tied);
                } else {
                    ascending = ascendingBy(rows, cellNull, cellLess);
                }
                break;
            }
        }
        if (orders.kind == ColumnOrders::Kind::Numbers) {
            orders.tied.resize(ascending.size());
            for (std::size_t i = 1; i < ascending.size(); ++i) {
                orders.tied[i] = same(ascending[i - 1], ascending[i]);
            }
        }
        orders.keys = {};
        orders.numbers = {};
        orders.nulls = {};
        orders.ascending = std::make_shared<const std::vector<std::uint32_t>>(std::move(ascending));
    }
    if (!descending) return orders.ascending;

    if (!orders.descending) {
        const std::vector<std::uint32_t>& ascending = *orders.ascending;
        orders.descending = std::make_shared<const std::vector<std::uint32_t>>(
            reversedGroups(ascending, [&](std::size_t i) {
                return orders.tied.empty() ? same(ascending[i - 1], ascending[i])
                                           : bool(orders.tied[i]);
            }));
    }
    return orders.descending;
}

std::vector<std::uint32_t> physicalOrder(const RawTable& table) {
    std::vector<std::uint32_t> order(table.rowCount());
    std::iota(order.begin(), order.end(), 0u);
    return order;
}

std::vector<std::uint32_t> orderRows(const RawTable& table, int column, bool descending) {
    return TableOrders(table).by(column, descending);
}
