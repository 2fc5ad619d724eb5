#include "jetwriter/Jet4Writer.h"

#include <QSaveFile>

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <string>

#include "jet/JetHeader.h"

namespace jet4 {

namespace {

constexpr int PageSize = JetHeader::PageSize;
constexpr int RowTableOffset = 14;  // first row offset on a data page
constexpr int MaxRowsPerPage = 255;
constexpr int MaxDataRow = 4060;  // Access's limit for one table row
constexpr int MaxLvalRow = 4076;  // one long-value row
constexpr int LvalChunk = MaxLvalRow - 4;
constexpr int MemoHeader = 12;
constexpr std::uint32_t MaxMemoBytes = 0x00FFFFFF;
constexpr std::uint32_t MaxPages = 1u << 24;  // page numbers share 32 bits with a row byte
constexpr int InlineMapBytes = 64;
constexpr int InlineMapPages = InlineMapBytes * 8;
constexpr std::uint32_t PagesPerMapPage = (PageSize - 4) * 8;
constexpr std::uint32_t MagicTableNumber = 1625;
constexpr std::uint32_t CatalogPage = 2;
constexpr std::int64_t TablesContainerId = 0x0F000001;
constexpr int MaxNameLength = 64;

enum TypeCode : std::uint8_t {
    TypeInt = 0x03,
    TypeLong = 0x04,
    TypeDouble = 0x07,
    TypeDateTime = 0x08,
    TypeText = 0x0A,
    TypeOle = 0x0B,
    TypeMemo = 0x0C,
};

void put16(unsigned char* p, std::uint32_t v) {
    p[0] = static_cast<unsigned char>(v);
    p[1] = static_cast<unsigned char>(v >> 8);
}

void put32(unsigned char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

void putDouble(unsigned char* p, double d) {
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    for (int i = 0; i < 8; ++i) p[i] = static_cast<unsigned char>(bits >> (8 * i));
}

int get16(const unsigned char* p) { return p[0] | (p[1] << 8); }

std::uint32_t pageRow(std::uint32_t page, int row) {
    return (page << 8) | static_cast<std::uint32_t>(row);
}

[[noreturn]] void fail(const QString& message) {
    throw std::invalid_argument(message.toStdString());
}

// ---------------------------------------------------------------------------
// Text in Jet 4's stored form.

class TextEncoder {
public:
    // Appends the stored bytes of `text`: the compressed form when it is
    // shorter (or when the plain form would be mistaken for it), UCS-2LE otherwise.
    void append(const char16_t* s, qsizetype n, bool allowCompression,
                std::vector<unsigned char>& out) {
        if (allowCompression && n > 0 && planCompressed(s, n)) {
            emitCompressed(s, n, out);
            return;
        }
        if (n > 0 && s[0] == 0xFEFF)
            fail(QStringLiteral("text starting with U+FEFF cannot be stored uncompressed"));
        const std::size_t at = out.size();
        out.resize(at + 2 * static_cast<std::size_t>(n));
        for (qsizetype i = 0; i < n; ++i) {
            out[at + 2 * i] = static_cast<unsigned char>(s[i]);
            out[at + 2 * i + 1] = static_cast<unsigned char>(s[i] >> 8);
        }
    }

private:
    enum : std::uint8_t { Narrow = 0, Wide = 1 };

    // Finds the shortest mix of one-byte and two-byte segments (a 0x00 byte
    // switches between them). Returns false when the plain form is as short,
    // or when some character cannot appear in the compressed form at all.
    bool planCompressed(const char16_t* s, qsizetype n) {
        constexpr int Unreachable = std::numeric_limits<int>::max() / 4;
        fromNarrow_.resize(static_cast<std::size_t>(n));
        fromWide_.resize(static_cast<std::size_t>(n));
        int narrow = 0;  // cost so far when the last character was written narrow
        int wide = Unreachable;
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = s[i];
            const bool canNarrow = c >= 0x01 && c <= 0xFF;
            const bool canWide = (c & 0xFF) != 0;  // a zero first byte would read as a switch
            if (!canNarrow && !canWide) return false;
            int nextNarrow = Unreachable;
            int nextWide = Unreachable;
            if (canNarrow) {
                fromNarrow_[i] = narrow <= wide + 1 ? Narrow : Wide;
                nextNarrow = std::min(narrow, wide + 1) + 1;
            }
            if (canWide) {
                fromWide_[i] = wide <= narrow + 1 ? Wide : Narrow;
                nextWide = std::min(wide, narrow + 1) + 2;
            }
            narrow = nextNarrow;
            wide = nextWide;
        }
        const int best = std::min(narrow, wide);
        if (2 + best >= 2 * n && s[0] != 0xFEFF) return false;

        modes_.resize(static_cast<std::size_t>(n));
        std::uint8_t mode = narrow <= wide ? Narrow : Wide;
        for (qsizetype i = n - 1; i >= 0; --i) {
            modes_[i] = mode;
            mode = mode == Narrow ? fromNarrow_[i] : fromWide_[i];
        }
        return true;
    }

    void emitCompressed(const char16_t* s, qsizetype n, std::vector<unsigned char>& out) {
        out.push_back(0xFF);
        out.push_back(0xFE);
        std::uint8_t mode = Narrow;
        for (qsizetype i = 0; i < n; ++i) {
            if (modes_[i] != mode) {
                out.push_back(0x00);
                mode = modes_[i];
            }
            out.push_back(static_cast<unsigned char>(s[i]));
            if (mode == Wide) out.push_back(static_cast<unsigned char>(s[i] >> 8));
        }
    }

    std::vector<std::uint8_t> fromNarrow_;
    std::vector<std::uint8_t> fromWide_;
    std::vector<std::uint8_t> modes_;
};

// ---------------------------------------------------------------------------
// Table layout as stored in a table definition page.

struct StoredColumn {
    QString name;
    std::uint8_t type = TypeText;
    int size = 0;  // bytes
    bool fixed = false;
    bool autoIncrement = false;
    bool compressible = false;
    int fixedOffset = 0;
    int varIndex = 0;
};

struct Layout {
    QString name;
    bool system = false;
    std::vector<StoredColumn> columns;
    int fixedSize = 0;
    int varCount = 0;
    int maskBytes = 0;
};

void finishLayout(Layout& layout) {
    for (auto& c : layout.columns) {
        if (c.fixed) {
            c.fixedOffset = layout.fixedSize;
            layout.fixedSize += c.size;
        } else {
            c.varIndex = layout.varCount++;
        }
    }
    layout.maskBytes = (static_cast<int>(layout.columns.size()) + 7) / 8;
}

void checkName(const QString& name, const QString& what) {
    if (name.isEmpty()) fail(QStringLiteral("%1 has an empty name").arg(what));
    if (name.size() > MaxNameLength)
        fail(QStringLiteral("%1 name \"%2\" is longer than %3 characters")
                 .arg(what, name)
                 .arg(MaxNameLength));
    if (name.contains(QChar(0))) fail(QStringLiteral("%1 name contains U+0000").arg(what));
}

Layout userLayout(const TableDef& table) {
    checkName(table.name, QStringLiteral("a table"));
    if (table.columns.empty() || table.columns.size() > 255)
        fail(QStringLiteral("table \"%1\" must have 1 to 255 columns").arg(table.name));
    Layout layout;
    layout.name = table.name;
    for (const auto& def : table.columns) {
        checkName(def.name, QStringLiteral("a column of \"%1\"").arg(table.name));
        for (const auto& other : layout.columns)
            if (other.name.compare(def.name, Qt::CaseInsensitive) == 0)
                fail(QStringLiteral("table \"%1\" has two columns named \"%2\"")
                         .arg(table.name, def.name));
        StoredColumn c;
        c.name = def.name;
        if (def.autoIncrement && def.type != ColumnType::Long)
            fail(QStringLiteral("column \"%1\": only Long columns can be auto-increment")
                     .arg(def.name));
        switch (def.type) {
            case ColumnType::Long:
                c.type = TypeLong;
                c.size = 4;
                c.fixed = true;
                c.autoIncrement = def.autoIncrement;
                break;
            case ColumnType::Integer:
                c.type = TypeInt;
                c.size = 2;
                c.fixed = true;
                break;
            case ColumnType::Double:
                c.type = TypeDouble;
                c.size = 8;
                c.fixed = true;
                break;
            case ColumnType::DateTime:
                c.type = TypeDateTime;
                c.size = 8;
                c.fixed = true;
                break;
            case ColumnType::Text:
                if (def.textSize < 1 || def.textSize > 255)
                    fail(QStringLiteral("text column \"%1\" must hold 1 to 255 characters")
                             .arg(def.name));
                c.type = TypeText;
                c.size = 2 * def.textSize;
                c.compressible = true;
                break;
            case ColumnType::Memo:
                c.type = TypeMemo;
                c.compressible = true;
                break;
        }
        layout.columns.push_back(c);
    }
    finishLayout(layout);
    return layout;
}

Layout catalogLayout() {
    Layout layout;
    layout.name = QStringLiteral("MSysObjects");
    layout.system = true;
    auto fixedColumn = [](const char* name, std::uint8_t type, int size) {
        StoredColumn c;
        c.name = QString::fromLatin1(name);
        c.type = type;
        c.size = size;
        c.fixed = true;
        return c;
    };
    StoredColumn name;
    name.name = QStringLiteral("Name");
    name.type = TypeText;
    name.size = 510;
    StoredColumn lvProp;
    lvProp.name = QStringLiteral("LvProp");
    lvProp.type = TypeOle;
    layout.columns = {fixedColumn("Id", TypeLong, 4),
                      fixedColumn("ParentId", TypeLong, 4),
                      name,
                      fixedColumn("Type", TypeInt, 2),
                      fixedColumn("DateCreate", TypeDateTime, 8),
                      fixedColumn("DateUpdate", TypeDateTime, 8),
                      fixedColumn("Flags", TypeLong, 4),
                      lvProp};
    finishLayout(layout);
    return layout;
}

// ---------------------------------------------------------------------------
// The file being built, page by page.

class FileBuilder {
public:
    std::uint32_t newPage() {
        if (pages_ >= MaxPages) fail(QStringLiteral("the database would exceed 2^24 pages"));
        const qsizetype needed = (static_cast<qsizetype>(pages_) + 1) * PageSize;
        if (needed > file_.capacity()) file_.reserve(std::max(needed, 2 * file_.capacity()));
        file_.append(PageSize, '\0');
        return pages_++;
    }
    unsigned char* page(std::uint32_t n) {
        return reinterpret_cast<unsigned char*>(file_.data()) +
               static_cast<qsizetype>(n) * PageSize;
    }
    std::uint32_t pageCount() const { return pages_; }
    QByteArray take() { return std::move(file_); }

private:
    QByteArray file_;
    std::uint32_t pages_ = 0;
};

constexpr std::uint32_t LvalMarker = 0x4C41564C;  // "LVAL"

void initDataPage(unsigned char* p, std::uint32_t owner) {
    p[0] = 0x01;
    p[1] = 0x01;
    put16(p + 2, PageSize - RowTableOffset);
    put32(p + 4, owner);
}

// Stores a row below the lowest one on the page. Returns its index, or -1
// when the page has no room for it.
int addRow(unsigned char* p, const unsigned char* row, int length) {
    const int rows = get16(p + 12);
    const int free = get16(p + 2);
    if (rows >= MaxRowsPerPage || length + 2 > free) return -1;
    const int end = rows == 0 ? PageSize : (get16(p + RowTableOffset + 2 * (rows - 1)) & 0x1FFF);
    const int start = end - length;
    std::memcpy(p + start, row, static_cast<std::size_t>(length));
    put16(p + RowTableOffset + 2 * rows, static_cast<std::uint32_t>(start));
    put16(p + 12, static_cast<std::uint32_t>(rows + 1));
    put16(p + 2, static_cast<std::uint32_t>(free - length - 2));
    return rows;
}

struct TableOutput {
    std::uint32_t tdefPage = 0;
    std::vector<std::uint32_t> dataPages;
    std::uint32_t rowCount = 0;
    std::int64_t lastAutoNumber = 0;
};

// ---------------------------------------------------------------------------
// Rows.

class RowWriter {
public:
    RowWriter(FileBuilder& file, const Layout& layout, TableOutput& out)
        : file_(file), layout_(layout), out_(out) {
        varStart_.resize(static_cast<std::size_t>(layout.varCount));
        varLength_.resize(static_cast<std::size_t>(layout.varCount));
        varColumn_.resize(static_cast<std::size_t>(layout.varCount));
        for (std::size_t i = 0; i < layout.columns.size(); ++i)
            if (!layout.columns[i].fixed) varColumn_[layout.columns[i].varIndex] = i;
    }

    void write(const std::vector<Value>& values) {
        const auto& columns = layout_.columns;
        ++rowNumber_;
        if (values.size() != columns.size())
            fail(QStringLiteral("table \"%1\", row %2: %3 values for %4 columns")
                     .arg(layout_.name)
                     .arg(rowNumber_)
                     .arg(values.size())
                     .arg(columns.size()));

        fixed_.assign(static_cast<std::size_t>(layout_.fixedSize), 0);
        mask_.assign(static_cast<std::size_t>(layout_.maskBytes), 0);
        varBytes_.clear();
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const StoredColumn& c = columns[i];
            const Value& v = values[i];
            if (c.fixed)
                writeFixed(c, i, v);
            else
                encodeVariable(c, i, v);
        }
        moveMemosOutOfRow();
        assemble();
        storeRow();
    }

private:
    [[noreturn]] void badValue(std::size_t column, const char* expected) const {
        fail(QStringLiteral("table \"%1\", row %2, column \"%3\": %4")
                 .arg(layout_.name)
                 .arg(rowNumber_)
                 .arg(layout_.columns[column].name, QString::fromLatin1(expected)));
    }

    void setPresent(std::size_t column) { mask_[column / 8] |= 1u << (column % 8); }

    void writeFixed(const StoredColumn& c, std::size_t column, const Value& v) {
        unsigned char* at = fixed_.data() + c.fixedOffset;
        if (c.autoIncrement && std::holds_alternative<std::monostate>(v)) {
            if (out_.lastAutoNumber >= std::numeric_limits<std::int32_t>::max())
                badValue(column, "auto-increment value out of range");
            put32(at, static_cast<std::uint32_t>(++out_.lastAutoNumber));
            setPresent(column);
            return;
        }
        if (std::holds_alternative<std::monostate>(v)) return;
        const auto* integer = std::get_if<std::int64_t>(&v);
        const auto* real = std::get_if<double>(&v);
        switch (c.type) {
            case TypeLong:
                if (!integer) badValue(column, "expected an integer");
                if (*integer < std::numeric_limits<std::int32_t>::min() ||
                    *integer > std::numeric_limits<std::int32_t>::max())
                    badValue(column, "value out of the Long range");
                put32(at, static_cast<std::uint32_t>(*integer));
                if (c.autoIncrement) out_.lastAutoNumber = std::max(out_.lastAutoNumber, *integer);
                break;
            case TypeInt:
                if (!integer) badValue(column, "expected an integer");
                if (*integer < std::numeric_limits<std::int16_t>::min() ||
                    *integer > std::numeric_limits<std::int16_t>::max())
                    badValue(column, "value out of the Integer range");
                put16(at, static_cast<std::uint32_t>(*integer));
                break;
            case TypeDouble:
            case TypeDateTime:
                if (real)
                    putDouble(at, *real);
                else if (integer)
                    putDouble(at, static_cast<double>(*integer));
                else
                    badValue(column, "expected a number");
                break;
            default:
                badValue(column, "unsupported fixed column");
        }
        setPresent(column);
    }

    void encodeVariable(const StoredColumn& c, std::size_t column, const Value& v) {
        const std::size_t var = static_cast<std::size_t>(c.varIndex);
        varStart_[var] = varBytes_.size();
        varLength_[var] = 0;
        if (std::holds_alternative<std::monostate>(v)) return;
        const auto* text = std::get_if<QString>(&v);
        if (c.type == TypeOle) badValue(column, "OLE values are not supported");
        if (!text) badValue(column, "expected text");
        if (c.type == TypeText && text->size() > c.size / 2)
            fail(QStringLiteral("table \"%1\", row %2, column \"%3\": text of %4 characters "
                                "does not fit the declared size %5")
                     .arg(layout_.name)
                     .arg(rowNumber_)
                     .arg(c.name)
                     .arg(text->size())
                     .arg(c.size / 2));
        encoder_.append(reinterpret_cast<const char16_t*>(text->utf16()), text->size(),
                        c.compressible, varBytes_);
        varLength_[var] = varBytes_.size() - varStart_[var];
        if (c.type == TypeMemo && varLength_[var] > MaxMemoBytes)
            badValue(column, "memo value too large (at most 16 MiB when stored)");
        setPresent(column);
    }

    bool isMemo(std::size_t var) const { return layout_.columns[varColumn_[var]].type == TypeMemo; }

    bool present(std::size_t var) const {
        const std::size_t column = varColumn_[var];
        return (mask_[column / 8] >> (column % 8)) & 1;
    }

    // The stored size of variable column `var`: memo values carry a 12-byte
    // header, and only the header stays in the row once the text moves out.
    std::size_t storedLength(std::size_t var) const {
        if (!isMemo(var) || !present(var)) return varLength_[var];
        return MemoHeader + (memoOutside_[var] ? 0 : varLength_[var]);
    }

    std::size_t rowLength() const {
        std::size_t length = 2 + static_cast<std::size_t>(layout_.fixedSize + layout_.maskBytes);
        if (layout_.varCount == 0) return length;
        length += 2 * static_cast<std::size_t>(layout_.varCount) + 4;
        for (std::size_t v = 0; v < varLength_.size(); ++v) length += storedLength(v);
        return length;
    }

    // Moves memo values to long-value pages, largest first, until the row fits.
    void moveMemosOutOfRow() {
        memoOutside_.assign(varLength_.size(), false);
        while (rowLength() > MaxDataRow) {
            std::size_t largest = varLength_.size();
            for (std::size_t v = 0; v < varLength_.size(); ++v)
                if (isMemo(v) && present(v) && !memoOutside_[v] &&
                    (largest == varLength_.size() || varLength_[v] > varLength_[largest]))
                    largest = v;
            if (largest == varLength_.size())
                fail(QStringLiteral("table \"%1\", row %2: the row needs %3 bytes, but at most "
                                    "%4 fit a page")
                         .arg(layout_.name)
                         .arg(rowNumber_)
                         .arg(rowLength())
                         .arg(MaxDataRow));
            memoOutside_[largest] = true;
        }
    }

    void putMemoHeader(std::size_t var) {
        const unsigned char* data = varBytes_.data() + varStart_[var];
        const auto length = static_cast<std::uint32_t>(varLength_[var]);
        const std::size_t at = row_.size();
        row_.resize(at + MemoHeader, 0);
        unsigned char* header = row_.data() + at;
        if (!memoOutside_[var]) {
            put32(header, length | 0x80000000u);
            row_.insert(row_.end(), data, data + length);
        } else if (length <= MaxLvalRow) {
            put32(header, length | 0x40000000u);
            put32(header + 4, storeLongValue(data, static_cast<int>(length)));
        } else {
            put32(header, length);
            put32(header + 4, storeLongValueChain(data, length));
        }
    }

    void assemble() {
        row_.clear();
        row_.push_back(static_cast<unsigned char>(layout_.columns.size()));
        row_.push_back(static_cast<unsigned char>(layout_.columns.size() >> 8));
        row_.insert(row_.end(), fixed_.begin(), fixed_.end());
        if (layout_.varCount > 0) {
            offsets_.resize(static_cast<std::size_t>(layout_.varCount) + 1);
            for (std::size_t v = 0; v < varLength_.size(); ++v) {
                offsets_[v] = static_cast<int>(row_.size());
                if (isMemo(v) && present(v)) {
                    putMemoHeader(v);
                } else {
                    const unsigned char* data = varBytes_.data() + varStart_[v];
                    row_.insert(row_.end(), data, data + varLength_[v]);
                }
            }
            offsets_.back() = static_cast<int>(row_.size());  // end of the variable data
            for (int v = layout_.varCount; v >= 0; --v) {
                row_.push_back(static_cast<unsigned char>(offsets_[v]));
                row_.push_back(static_cast<unsigned char>(offsets_[v] >> 8));
            }
            row_.push_back(static_cast<unsigned char>(layout_.varCount));
            row_.push_back(static_cast<unsigned char>(layout_.varCount >> 8));
        }
        row_.insert(row_.end(), mask_.begin(), mask_.end());
    }

    void storeRow() {
        const int length = static_cast<int>(row_.size());
        if (dataPage_ == 0 || addRow(file_.page(dataPage_), row_.data(), length) < 0) {
            dataPage_ = file_.newPage();
            initDataPage(file_.page(dataPage_), out_.tdefPage);
            out_.dataPages.push_back(dataPage_);
            addRow(file_.page(dataPage_), row_.data(), length);
        }
        ++out_.rowCount;
    }

    std::uint32_t newLvalPage() {
        const std::uint32_t page = file_.newPage();
        initDataPage(file_.page(page), LvalMarker);
        return page;
    }

    std::uint32_t storeLongValue(const unsigned char* data, int length) {
        int row = lvalPage_ == 0 ? -1 : addRow(file_.page(lvalPage_), data, length);
        if (row < 0) {
            lvalPage_ = newLvalPage();
            row = addRow(file_.page(lvalPage_), data, length);
        }
        return pageRow(lvalPage_, row);
    }

    // A value longer than one long-value row: a chain of rows, one page each,
    // every row starting with the page/row of the next (0 ends the chain).
    std::uint32_t storeLongValueChain(const unsigned char* data, std::uint32_t length) {
        const std::uint32_t chunks = (length + LvalChunk - 1) / LvalChunk;
        const std::uint32_t first = file_.pageCount();
        chunk_.resize(MaxLvalRow);
        for (std::uint32_t i = 0; i < chunks; ++i) {
            const std::uint32_t page = newLvalPage();
            const std::uint32_t offset = i * LvalChunk;
            const auto size = static_cast<int>(std::min<std::uint32_t>(LvalChunk, length - offset));
            put32(chunk_.data(), i + 1 < chunks ? pageRow(page + 1, 0) : 0);
            std::memcpy(chunk_.data() + 4, data + offset, static_cast<std::size_t>(size));
            addRow(file_.page(page), chunk_.data(), size + 4);
        }
        return pageRow(first, 0);
    }

    FileBuilder& file_;
    const Layout& layout_;
    TableOutput& out_;
    std::uint32_t dataPage_ = 0;
    std::uint32_t lvalPage_ = 0;
    std::uint32_t rowNumber_ = 0;
    TextEncoder encoder_;
    std::vector<unsigned char> fixed_;
    std::vector<unsigned char> mask_;
    std::vector<unsigned char> varBytes_;
    std::vector<std::size_t> varStart_;
    std::vector<std::size_t> varLength_;
    std::vector<std::size_t> varColumn_;
    std::vector<bool> memoOutside_;
    std::vector<int> offsets_;
    std::vector<unsigned char> row_;
    std::vector<unsigned char> chunk_;
};

// ---------------------------------------------------------------------------
// Usage maps, kept as rows on pages owned by no table (page 1 first).

class MapWriter {
public:
    MapWriter(FileBuilder& file, std::uint32_t firstPage) : file_(file), page_(firstPage) {
        initDataPage(file_.page(page_), 0);
    }

    std::uint32_t add(const std::vector<unsigned char>& row) {
        int index = addRow(file_.page(page_), row.data(), static_cast<int>(row.size()));
        if (index < 0) {
            page_ = file_.newPage();
            initDataPage(file_.page(page_), 0);
            index = addRow(file_.page(page_), row.data(), static_cast<int>(row.size()));
        }
        return pageRow(page_, index);
    }

    // An inline bitmap when the pages span at most 512, otherwise a list of
    // bitmap pages of type 0x05.
    std::uint32_t addPageMap(const std::vector<std::uint32_t>& pages, std::uint32_t emptyStart) {
        std::vector<unsigned char> row;
        if (pages.empty() || pages.back() - pages.front() < InlineMapPages) {
            const std::uint32_t start = pages.empty() ? emptyStart : pages.front();
            row.assign(5 + InlineMapBytes, 0);
            put32(row.data() + 1, start);
            for (std::uint32_t p : pages) row[5 + (p - start) / 8] |= 1u << ((p - start) % 8);
            return add(row);
        }
        const std::uint32_t entries = pages.back() / PagesPerMapPage + 1;
        row.assign(1 + 4 * static_cast<std::size_t>(entries), 0);
        row[0] = 0x01;
        std::uint32_t bitmapPage = 0;
        std::uint32_t bitmapIndex = entries;  // none yet
        for (std::uint32_t p : pages) {
            const std::uint32_t index = p / PagesPerMapPage;
            if (index != bitmapIndex) {
                bitmapIndex = index;
                bitmapPage = file_.newPage();
                unsigned char* bitmap = file_.page(bitmapPage);
                bitmap[0] = 0x05;
                bitmap[1] = 0x01;
                put32(row.data() + 1 + 4 * index, bitmapPage);
            }
            const std::uint32_t bit = p % PagesPerMapPage;
            file_.page(bitmapPage)[4 + bit / 8] |= static_cast<unsigned char>(1u << (bit % 8));
        }
        return add(row);
    }

    std::uint32_t addEmptyMap(std::uint32_t start) {
        std::vector<unsigned char> row(5 + InlineMapBytes, 0);
        put32(row.data() + 1, start);
        return add(row);
    }

private:
    FileBuilder& file_;
    std::uint32_t page_;
};

// ---------------------------------------------------------------------------

void appendUcs2(std::vector<unsigned char>& out, const QString& s) {
    for (QChar c : s) {
        out.push_back(static_cast<unsigned char>(c.unicode()));
        out.push_back(static_cast<unsigned char>(c.unicode() >> 8));
    }
}

void writeTableDefinition(unsigned char* page, const Layout& layout, const TableOutput& out,
                          std::uint32_t usageMap, std::uint32_t freeMap) {
    const auto columnCount = static_cast<std::uint32_t>(layout.columns.size());
    std::vector<unsigned char> t(63, 0);
    t[0] = 0x02;
    t[1] = 0x01;
    put32(&t[12], MagicTableNumber);
    put32(&t[16], out.rowCount);
    put32(&t[20], static_cast<std::uint32_t>(out.lastAutoNumber));
    t[24] = 1;
    t[40] = layout.system ? 0x53 : 0x4E;
    put16(&t[41], columnCount);
    put16(&t[43], static_cast<std::uint32_t>(layout.varCount));
    put16(&t[45], columnCount);
    put32(&t[55], usageMap);
    put32(&t[59], freeMap);

    for (std::uint32_t i = 0; i < columnCount; ++i) {
        const StoredColumn& c = layout.columns[i];
        unsigned char e[25] = {};
        e[0] = c.type;
        put32(e + 1, MagicTableNumber);
        put16(e + 5, i);
        put16(e + 7, c.fixed ? 0 : static_cast<std::uint32_t>(c.varIndex));
        put16(e + 9, i);
        if (c.type == TypeText || c.type == TypeMemo) put16(e + 11, 0x0409);
        e[15] = c.fixed ? (c.autoIncrement ? 0x07 : 0x03) : 0x02;
        e[16] = c.compressible ? 0x01 : 0x00;
        put16(e + 21, c.fixed ? static_cast<std::uint32_t>(c.fixedOffset) : 0);
        put16(e + 23, static_cast<std::uint32_t>(c.size));
        t.insert(t.end(), e, e + sizeof e);
    }
    for (const auto& c : layout.columns) {
        const auto bytes = static_cast<std::uint32_t>(2 * c.name.size());
        t.push_back(static_cast<unsigned char>(bytes));
        t.push_back(static_cast<unsigned char>(bytes >> 8));
        appendUcs2(t, c.name);
    }
    t.push_back(0xFF);
    t.push_back(0xFF);
    if (t.size() > static_cast<std::size_t>(PageSize))
        fail(QStringLiteral("the definition of table \"%1\" does not fit one page")
                 .arg(layout.name));
    put16(&t[2], static_cast<std::uint32_t>(PageSize - t.size()));
    put32(&t[8], static_cast<std::uint32_t>(t.size() - 8));
    std::memcpy(page, t.data(), t.size());
}

void writeHeader(unsigned char* page, const DatabaseDef& database) {
    static constexpr unsigned char Magic[4] = {0x00, 0x01, 0x00, 0x00};
    std::memcpy(page, Magic, sizeof Magic);
    std::memcpy(page + 4, "Standard Jet DB", 15);
    page[JetHeader::VersionOffset] = 0x01;
    put16(page + 0x3C, 1252);  // code page
    put32(page + 0x3E, 0);     // no page encoding
    unsigned char mask[4];
    JetHeader::passwordMask(database.creationDate, mask);
    for (int i = 0; i < JetHeader::PasswordBytes; ++i) {
        const int unit = i / 2;
        const char16_t c = unit < database.password.size() ? database.password[unit].unicode() : 0;
        const auto byte = static_cast<unsigned char>(i % 2 == 0 ? c : c >> 8);
        page[JetHeader::PasswordOffset + i] = byte ^ mask[i % 4];
    }
    put32(page + 0x6E, 0x0409);  // sort order
    putDouble(page + JetHeader::CreationDateOffset, database.creationDate);
    JetHeader::applyHeaderMask(reinterpret_cast<char*>(page));
}

}  // namespace

QByteArray encodeText(QStringView text) {
    TextEncoder encoder;
    std::vector<unsigned char> out;
    encoder.append(reinterpret_cast<const char16_t*>(text.utf16()), text.size(), true, out);
    return QByteArray(reinterpret_cast<const char*>(out.data()),
                      static_cast<qsizetype>(out.size()));
}

QByteArray writeDatabase(const DatabaseDef& database) {
    if (database.password.size() > 20)
        fail(QStringLiteral("the database password is longer than 20 characters"));
    if (database.password.contains(QChar(0)))
        fail(QStringLiteral("the database password contains U+0000"));

    std::vector<Layout> layouts;
    layouts.reserve(database.tables.size());
    for (const auto& table : database.tables) {
        layouts.push_back(userLayout(table));
        if (table.name.compare(QLatin1String("MSysObjects"), Qt::CaseInsensitive) == 0)
            fail(QStringLiteral("the table name \"%1\" is reserved").arg(table.name));
        for (std::size_t i = 0; i + 1 < layouts.size(); ++i)
            if (layouts[i].name.compare(table.name, Qt::CaseInsensitive) == 0)
                fail(QStringLiteral("two tables are named \"%1\"").arg(table.name));
    }
    const Layout catalog = catalogLayout();

    FileBuilder file;
    file.newPage();  // 0: header
    file.newPage();  // 1: usage maps
    file.newPage();  // 2: catalog definition
    std::vector<TableOutput> outputs(layouts.size());
    for (auto& out : outputs) out.tdefPage = file.newPage();

    for (std::size_t t = 0; t < layouts.size(); ++t) {
        RowWriter writer(file, layouts[t], outputs[t]);
        for (const auto& row : database.tables[t].rows) writer.write(row);
        if (database.tables[t].moreRows) {
            std::vector<Value> row;
            while (database.tables[t].moreRows(row)) writer.write(row);
        }
    }

    TableOutput catalogOut;
    catalogOut.tdefPage = CatalogPage;
    {
        RowWriter writer(file, catalog, catalogOut);
        constexpr std::int64_t SystemFlags = -0x7FFFFFFE;  // 0x80000002 as a signed Long
        auto entry = [&](std::uint32_t id, const QString& name, std::int64_t flags) {
            writer.write({Value(std::int64_t{id}), Value(TablesContainerId), Value(name),
                          Value(std::int64_t{1}), Value(database.creationDate),
                          Value(database.creationDate), Value(flags), Value()});
        };
        entry(CatalogPage, catalog.name, SystemFlags);
        for (std::size_t t = 0; t < layouts.size(); ++t)
            entry(outputs[t].tdefPage, layouts[t].name, 0);
    }

    MapWriter maps(file, 1);
    maps.addEmptyMap(0);  // the database-wide map; libmdb does not read it
    auto writeMapsAndDefinition = [&](const Layout& layout, const TableOutput& out) {
        const std::uint32_t usage = maps.addPageMap(out.dataPages, out.tdefPage + 1);
        const std::uint32_t free =
            maps.addEmptyMap(out.dataPages.empty() ? out.tdefPage + 1 : out.dataPages.front());
        writeTableDefinition(file.page(out.tdefPage), layout, out, usage, free);
    };
    writeMapsAndDefinition(catalog, catalogOut);
    for (std::size_t t = 0; t < layouts.size(); ++t) writeMapsAndDefinition(layouts[t], outputs[t]);

    writeHeader(file.page(0), database);
    return file.take();
}

void writeDatabaseFile(const QString& path, const DatabaseDef& database) {
    const QByteArray bytes = writeDatabase(database);
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        throw std::runtime_error(
            QStringLiteral("cannot create %1: %2").arg(path, out.errorString()).toStdString());
    if (out.write(bytes) != bytes.size() || !out.commit())
        throw std::runtime_error(
            QStringLiteral("cannot write %1: %2").arg(path, out.errorString()).toStdString());
}

}  // namespace jet4
