#include "jet/reader/MdbTable.h"

#include <cstring>

namespace {

constexpr char kDateFormat[] = "%Y-%m-%d %H:%M:%S";

bool isTextType(int type) { return type == MDB_TEXT || type == MDB_MEMO; }

bool valuesWanted(const std::string& name, const std::vector<std::string>& wanted) {
    if (wanted.empty()) return true;
    for (const std::string& each : wanted) {
        if (g_ascii_strcasecmp(each.c_str(), name.c_str()) == 0) return true;
    }
    return false;
}

}  // namespace

MdbHandle* openHandle(const std::string& path) {
    MdbHandle* mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
    if (!mdb) return nullptr;
    mdb_set_date_fmt(mdb, kDateFormat);
    mdb_set_shortdate_fmt(mdb, kDateFormat);
    mdb_set_boolean_fmt_numbers(mdb);
    return mdb;
}

std::vector<StreamColumn> describeColumns(MdbTableDef* table,
                                          const std::vector<std::string>& wanted) {
    const unsigned count = table->columns->len;
    std::vector<StreamColumn> columns(count);
    for (unsigned i = 0; i < count; ++i) {
        const auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
        columns[i].name = std::string(column->name, strnlen(column->name, sizeof(column->name)));
        columns[i].jetType = column->col_type;
        columns[i].autoIncrement = column->is_long_auto != 0;
        columns[i].size = column->col_size;
        columns[i].valuesRead = valuesWanted(columns[i].name, wanted);
    }
    return columns;
}

bool bindColumns(BoundTable& bound, const std::vector<StreamColumn>& columns) {
    MdbTableDef* table = bound.res.table;
    bound.count = table->columns->len;
    // libmdb writes up to bind_size bytes into each buffer.
    bound.bindSize = bound.res.mdb->bind_size;
    bound.buffers.assign(bound.count * (bound.bindSize + 1), 0);
    bound.lengths.assign(bound.count, 0);
    bound.text.resize(bound.count);
    for (unsigned i = 0; i < bound.count; ++i) {
        const auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
        bound.text[i] = isTextType(column->col_type) && columns[i].valuesRead;
        if (!columns[i].valuesRead) continue;
        if (mdb_bind_column(table, static_cast<int>(i) + 1,
                            &bound.buffers[i * (bound.bindSize + 1)], &bound.lengths[i]) < 0) {
            return false;
        }
    }
    return true;
}

std::vector<guint32> dataPages(MdbTableDef* table) {
    std::vector<guint32> pages;
    MdbHandle* mdb = table->entry->mdb;
    long previous = 0;
    for (gint32 page = mdb_map_find_next(mdb, table->usage_map, table->map_sz, 0); page > previous;
         page =
             mdb_map_find_next(mdb, table->usage_map, table->map_sz, static_cast<guint32>(page))) {
        pages.push_back(static_cast<guint32>(page));
        previous = page;
    }
    return pages;
}

std::uint64_t encodeRows(BoundTable& bound, TableStreamEncoder& out, guint32 after, guint32 stop) {
    MdbTableDef* table = bound.res.table;
    mdb_rewind_table(table);
    // The next page read is the first one the map names after this one.
    table->cur_phys_pg = after;
    std::uint64_t rows = 0;
    while (mdb_fetch_row(table)) {
        if (stop != 0 && table->cur_phys_pg >= stop) break;
        out.beginRow();
        for (unsigned i = 0; i < bound.count; ++i) {
            std::size_t length =
                bound.lengths[i] > 0 ? static_cast<std::size_t>(bound.lengths[i]) : 0;
            if (length > bound.bindSize) length = bound.bindSize;
            if (length == 0 && !bound.text[i]) {
                out.nullCell();
            } else {
                out.cell(&bound.buffers[i * (bound.bindSize + 1)], length);
            }
            bound.lengths[i] = 0;
        }
        out.endRow();
        ++rows;
    }
    return rows;
}
