#include "jet/reader/TableSender.h"

#include <cerrno>
#include <memory>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>

#include "jet/reader/MdbTable.h"
#include "jet/reader/SecondHalf.h"
#include "jet/reader/TruncationChecks.h"

namespace {

// Writes an error record; false, for the steps that stop at one.
bool refuse(TableStreamEncoder& out, StreamError code, const std::string& detail = {}) {
    fail(out, code, detail);
    return false;
}

// The database as the reader holds it.
struct OpenedFile {
    // Its size in 4 KiB pages.
    long pages = 0;
    // The path through which libmdb opens the very descriptor opened here.
    std::string ownPath;
};

// Opens `file` once, without blocking (a named pipe at the path must not hang
// us); libmdb then opens this very descriptor, not the path again. False
// after an error record.
bool openFile(const char* file, OpenedFile& opened, TableStreamEncoder& out) {
    const int fd = open(file, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) return refuse(out, StreamError::FileNotFound);
        return refuse(out, StreamError::CannotOpen, std::to_string(error));
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        return refuse(out, StreamError::NotAFile);
    }
    opened.pages = static_cast<long>(info.st_size / 4096);
    opened.ownPath = "/dev/fd/" + std::to_string(fd);
    return true;
}

// Opens the table `tableName` through a handle of its own in `res`, its
// definition, rows and columns checked. False after an error record.
bool openTable(const OpenedFile& file, const char* tableName, MdbResources& res,
               TableStreamEncoder& out) {
    res.mdb = openHandle(file.ownPath);
    if (!res.mdb) return refuse(out, StreamError::NotADatabase);
    if (!catalogInsideFile(res.mdb, file.pages, out)) return false;
    // Read the catalog once: every mdb_read_catalog frees the entries of the last one.
    if (!mdb_read_catalog(res.mdb, MDB_TABLE)) return refuse(out, StreamError::CatalogUnreadable);
    MdbCatalogEntry* entry = mdb_get_catalogentry_by_name(res.mdb, tableName);
    if (!entry || entry->object_type != MDB_TABLE) return refuse(out, StreamError::TableNotFound);
    if (!definitionInsideFile(*entry, file.pages, out)) return false;

    res.table = mdb_read_table(entry);
    if (!res.table) return refuse(out, StreamError::TableUnreadable, "tablo tanımı okunamadı");
    MdbTableDef* table = res.table;
    // libmdb 1.0.0 dereferences a missing usage map.
    if (table->map_sz < 1 || !table->usage_map) {
        return refuse(out, StreamError::TableUnreadable, "tablonun sayfa haritası yok");
    }
    if (!rowsInsideFile(res.mdb, table, file.pages, out)) return false;
    if (!mdb_read_columns(table) || !table->columns) {
        return refuse(out, StreamError::TableUnreadable, "tablonun sütunları okunamadı");
    }
    const unsigned count = table->columns->len;
    if (count == 0 || count > TableStream::kMaxColumns || count != table->num_cols) {
        return refuse(out, StreamError::TableUnreadable, "tablonun sütun sayısı geçersiz");
    }
    return true;
}

// Sends the rows of the bound table, the second half of a large one through
// `secondStream`, and the end record counting this stream's rows.
int sendRows(BoundTable& bound, const std::vector<StreamColumn>& columns, const std::string& path,
             const ReaderArguments& arguments, TableStreamEncoder& out) {
    MdbTableDef* table = bound.res.table;
    out.columns(columns);
    // A large table is read in two halves of its pages at once.
    guint32 stop = 0;
    const std::unique_ptr<SecondHalf> second =
        splitRead(path, arguments.table, table, arguments.secondStream, columns, stop);
    // This stream's end record counts its own rows; the check, both halves.
    const std::uint64_t sent = encodeRows(bound, out, 0, stop);
    std::uint64_t rows = sent;
    if (second) {
        if (!second->finish()) return fail(out, StreamError::OutOfMemory);
        rows += second->rows();
    }
    // libmdb skips a row it cannot make sense of without a word: a count that
    // differs from the one the definition keeps means rows were lost.
    if (rows != table->num_rows) {
        return fail(out, StreamError::TableUnreadable,
                    "tablonun tanımı ile satırları uyuşmuyor: tanımda " +
                        std::to_string(table->num_rows) + " satır var, okunabilen " +
                        std::to_string(rows));
    }
    out.end(sent);
    return 0;
}

}  // namespace

int fail(TableStreamEncoder& out, StreamError code, const std::string& detail) {
    out.error(code, detail);
    return 1;
}

int sendTable(const ReaderArguments& arguments, TableStreamEncoder& out) {
    OpenedFile file;
    if (!openFile(arguments.file, file, out)) return 1;
    BoundTable bound;
    if (!openTable(file, arguments.table, bound.res, out)) return 1;
    const std::vector<StreamColumn> columns = describeColumns(bound.res.table, arguments.wanted);
    if (!bindColumns(bound, columns)) {
        return fail(out, StreamError::TableUnreadable, "tablonun sütunları okunamadı");
    }
    return sendRows(bound, columns, file.ownPath, arguments, out);
}
