#include "jet/reader/SecondHalf.h"

#include <new>

namespace {

// Below this many data pages one handle reads everything.
constexpr std::size_t kPagesForTwoParts = 256;

// A second stream without rows: the whole table goes out in the first.
void emptySecondStream(int stream, const std::vector<StreamColumn>& columns) {
    TableStreamEncoder out(stream);
    out.header();
    out.columns(columns);
    out.end(0);
    out.flush();
}

}  // namespace

SecondHalf::SecondHalf(const std::string& path, const char* tableName, guint32 after, int stream,
                       const std::vector<StreamColumn>& columns)
    : out_(stream) {
    if (!open(path, tableName, columns)) return;
    out_.header();
    out_.columns(columns);
    thread_ = std::thread([this, after] {
        try {
            rows_ = encodeRows(bound_, out_, after, 0);
            out_.end(rows_);
        } catch (const std::bad_alloc&) {
            outOfMemory_ = true;
            out_.error(StreamError::OutOfMemory, {});
        }
        out_.flush();
    });
}

SecondHalf::~SecondHalf() {
    if (thread_.joinable()) thread_.join();
}

bool SecondHalf::finish() {
    thread_.join();
    return !outOfMemory_;
}

bool SecondHalf::open(const std::string& path, const char* tableName,
                      const std::vector<StreamColumn>& columns) {
    MdbResources& res = bound_.res;
    res.mdb = openHandle(path);
    if (!res.mdb || !mdb_read_catalog(res.mdb, MDB_TABLE)) return false;
    MdbCatalogEntry* entry = mdb_get_catalogentry_by_name(res.mdb, tableName);
    if (!entry || entry->object_type != MDB_TABLE) return false;
    res.table = mdb_read_table(entry);
    return res.table && mdb_read_columns(res.table) && res.table->columns &&
           res.table->columns->len == columns.size() && bindColumns(bound_, columns);
}

std::unique_ptr<SecondHalf> splitRead(const std::string& path, const char* tableName,
                                      MdbTableDef* table, int secondStream,
                                      const std::vector<StreamColumn>& columns, guint32& stop) {
    const std::vector<guint32> data = dataPages(table);
    std::unique_ptr<SecondHalf> second;
    if (secondStream >= 0 && data.size() >= kPagesForTwoParts) {
        const std::size_t middle = data.size() / 2;
        second =
            std::make_unique<SecondHalf>(path, tableName, data[middle - 1], secondStream, columns);
        if (second->started()) {
            stop = data[middle];
        } else {
            second.reset();
        }
    }
    if (!second && secondStream >= 0) emptySecondStream(secondStream, columns);
    return second;
}
