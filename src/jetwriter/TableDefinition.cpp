#include "jetwriter/TableDefinition.h"

#include <QString>

#include <cstring>
#include <vector>

#include "jetwriter/FileFormat.h"

namespace jet4 {

namespace {

constexpr std::uint32_t MagicTableNumber = 1625;
constexpr std::size_t HeadBytes = 63;
constexpr std::size_t ColumnBytes = 25;

void appendUcs2(std::vector<unsigned char>& out, const QString& s) {
    for (QChar c : s) {
        out.push_back(static_cast<unsigned char>(c.unicode()));
        out.push_back(static_cast<unsigned char>(c.unicode() >> 8));
    }
}

// The definition's head, but for its free space and length.
std::vector<unsigned char> head(const Layout& layout, const TableOutput& out,
                                std::uint32_t usageMap, std::uint32_t freeMap) {
    const auto columnCount = static_cast<std::uint32_t>(layout.columns.size());
    std::vector<unsigned char> t(HeadBytes, 0);
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
    return t;
}

void appendColumn(std::vector<unsigned char>& t, const StoredColumn& c, std::uint32_t index) {
    unsigned char e[ColumnBytes] = {};
    e[0] = c.type;
    put32(e + 1, MagicTableNumber);
    put16(e + 5, index);
    put16(e + 7, c.fixed ? 0 : static_cast<std::uint32_t>(c.varIndex));
    put16(e + 9, index);
    if (c.type == TypeText || c.type == TypeMemo) put16(e + 11, 0x0409);
    e[15] = c.fixed ? (c.autoIncrement ? 0x07 : 0x03) : 0x02;
    e[16] = c.compressible ? 0x01 : 0x00;
    put16(e + 21, c.fixed ? static_cast<std::uint32_t>(c.fixedOffset) : 0);
    put16(e + 23, static_cast<std::uint32_t>(c.size));
    t.insert(t.end(), e, e + sizeof e);
}

}  // namespace

void writeTableDefinition(unsigned char* page, const Layout& layout, const TableOutput& out,
                          std::uint32_t usageMap, std::uint32_t freeMap) {
    std::vector<unsigned char> t = head(layout, out, usageMap, freeMap);
    for (std::size_t i = 0; i < layout.columns.size(); ++i)
        appendColumn(t, layout.columns[i], static_cast<std::uint32_t>(i));
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

}  // namespace jet4
