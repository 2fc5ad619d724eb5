// meslek-reader FILE TABLE [SECOND_FD]
//
// Reads one table of a Jet 4 file with libmdb and writes it to standard
// output in the TableStream form. The program passes FILE as /dev/fd/3, the
// descriptor it checked the file through; the reader opens FILE once, without
// blocking, and has libmdb read that descriptor. The program starts it as a separate
// process, because libmdb crashes or loops forever on some damaged files.
//
// With SECOND_FD, a large table's second half of pages goes to that
// descriptor as a stream of its own, read at the same time as the first; the
// first stream's end record (or its error) speaks for the whole table: the
// rows of both halves are counted against the table's definition. Without
// it, one handle reads the whole table into the one stream.
//
// Exit status: 0 after the end record; 1 after an error record; anything else
// (or a signal) means the reader itself broke down.
//
// libmdb returns NULL and empty values alike. A zero-length value of a text
// or memo column is sent as empty text, one of any other column as NULL.

// GLib first: mdbtools.h 1.0.0 includes it inside extern "C", which GLib's
// C++ templates do not survive.
#include <glib.h>
#include <mdbtools.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "jet/TableStream.h"

namespace {

constexpr rlim_t kAddressSpaceLimit = rlim_t(4) << 30;
constexpr char kDateFormat[] = "%Y-%m-%d %H:%M:%S";

// The table and handle, released in the order libmdb needs.
struct MdbResources {
    MdbHandle* mdb = nullptr;
    MdbTableDef* table = nullptr;
    ~MdbResources() {
        mdb_free_tabledef(table);
        mdb_close(mdb);
    }
};

// AddressSanitizer keeps terabytes of address space for its shadow memory and
// maps more as the heap grows: a sanitized reader runs without the limit.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitized = true;
#else
constexpr bool kAddressSanitized = false;
#endif
#else
constexpr bool kAddressSanitized = false;
#endif

void limitResources() {
    rlimit limit{0, 0};
    setrlimit(RLIMIT_CORE, &limit);
    if (!kAddressSanitized && getrlimit(RLIMIT_AS, &limit) == 0 &&
        (limit.rlim_max == RLIM_INFINITY || limit.rlim_max > kAddressSpaceLimit)) {
        limit.rlim_cur = kAddressSpaceLimit;
        setrlimit(RLIMIT_AS, &limit);
    }
}

// Moves the stream to a private fd and points fd 1 at
// /dev/null, so that anything libmdb prints cannot end up inside the stream.
int takeStreamFd() {
    const int streamFd = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (streamFd < 0) return -1;
    const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (devNull < 0 || dup2(devNull, STDOUT_FILENO) < 0) {
        if (dup2(STDERR_FILENO, STDOUT_FILENO) < 0) return -1;
    }
    if (devNull >= 0) close(devNull);
    return streamFd;
}

bool isTextType(int type) { return type == MDB_TEXT || type == MDB_MEMO; }

int fail(TableStreamEncoder& out, StreamError code, const std::string& detail = {}) {
    out.error(code, detail);
    return 1;
}

// The first page that `map` names at or beyond `pages`, or 0 when every page
// it names lies inside the file. A damaged map may name pages in any order:
// the walk stops when it no longer moves forward.
long pageBeyondEnd(MdbHandle* mdb, unsigned char* map, unsigned mapSize, long pages) {
    if (!map || mapSize < 1) return 0;
    long previous = -1;
    for (gint32 page = mdb_map_find_next(mdb, map, mapSize, 0); page > previous;
         page = mdb_map_find_next(mdb, map, mapSize, static_cast<guint32>(page))) {
        if (page >= pages) return page;
        previous = page;
    }
    return 0;
}

std::string beyondEnd(const char* what, long page, long pages) {
    return std::string(what) + " " + std::to_string(page) + ". sayfada, dosya ise " +
           std::to_string(pages) + " sayfa";
}

// The catalog's own definition (page 2) and the pages it lists must lie
// inside the file; a cut file otherwise reads as one without the table.
bool catalogInsideFile(MdbHandle* mdb, long pages, TableStreamEncoder& out) {
    if (pages <= 2) {
        out.error(StreamError::Truncated, beyondEnd("sistem kataloğunun tanımı", 2, pages));
        return false;
    }
    MdbCatalogEntry catalog;
    std::memset(&catalog, 0, sizeof catalog);
    catalog.mdb = mdb;
    catalog.object_type = MDB_TABLE;
    catalog.table_pg = 2;
    std::snprintf(catalog.object_name, sizeof catalog.object_name, "%s", "MSysObjects");
    MdbTableDef* table = mdb_read_table(&catalog);
    if (!table) return true;  // the catalog read names the damage
    const long page = pageBeyondEnd(mdb, table->usage_map, table->map_sz, pages);
    mdb_free_tabledef(table);
    if (page != 0) {
        out.error(StreamError::Truncated, beyondEnd("sistem kataloğunun satırları", page, pages));
        return false;
    }
    return true;
}

// A table opened through a handle of its own, its columns bound.
struct BoundTable {
    MdbResources res;
    std::vector<char> buffers;
    std::vector<int> lengths;
    std::vector<bool> text;
    std::size_t bindSize = 0;
    unsigned count = 0;
};

// Opens `path` (the reader's own descriptor) with libmdb and sets its formats.
MdbHandle* openHandle(const std::string& path) {
    MdbHandle* mdb = mdb_open(path.c_str(), MDB_NOFLAGS);
    if (!mdb) return nullptr;
    mdb_set_date_fmt(mdb, kDateFormat);
    mdb_set_shortdate_fmt(mdb, kDateFormat);
    mdb_set_boolean_fmt_numbers(mdb);
    return mdb;
}

// Binds the columns of the table `bound` holds whose values are read; the
// others go out as nulls, and libmdb does not even convert them. False when
// libmdb refuses one.
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

// The table's data pages, as its usage map names them, in file order; empty
// when the map is of a kind this walk does not know.
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

// Writes the rows of the data pages after page `after` (0: from the first)
// up to, not including, page `stop` (0: to the end), in file order; returns
// their number.
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

// Below this many data pages one handle reads everything.
constexpr std::size_t kPagesForTwoParts = 256;

// The second half of the pages, read through a handle of its own on another
// thread while the first half goes out: libmdb's work per row is most of a
// read, and it is the same on either core. The half goes out at once as a
// whole stream of its own on the caller's second descriptor, its end record
// counting its rows; the caller decodes both streams side by side and puts
// these rows after the first half's, so the order is the file's as ever. Not
// started when the second handle cannot be set up the way the first one was.
class SecondHalf {
public:
    SecondHalf(const std::string& path, const char* tableName, guint32 after, int stream,
               const std::vector<StreamColumn>& columns)
        : out_(stream) {
        bound_.res.mdb = openHandle(path);
        if (!bound_.res.mdb || !mdb_read_catalog(bound_.res.mdb, MDB_TABLE)) return;
        MdbCatalogEntry* entry = mdb_get_catalogentry_by_name(bound_.res.mdb, tableName);
        if (!entry || entry->object_type != MDB_TABLE) return;
        bound_.res.table = mdb_read_table(entry);
        if (!bound_.res.table || !mdb_read_columns(bound_.res.table) ||
            !bound_.res.table->columns || bound_.res.table->columns->len != columns.size() ||
            !bindColumns(bound_, columns)) {
            return;
        }
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
    ~SecondHalf() {
        if (thread_.joinable()) thread_.join();
    }
    bool started() const { return thread_.joinable(); }
    // Waits for the rows; false when memory ran out.
    bool finish() {
        thread_.join();
        return !outOfMemory_;
    }
    std::uint64_t rows() const { return rows_; }

private:
    BoundTable bound_;
    TableStreamEncoder out_;
    std::thread thread_;
    std::uint64_t rows_ = 0;
    bool outOfMemory_ = false;
};

// A second stream without rows: the whole table goes out in the first.
void emptySecondStream(int stream, const std::vector<StreamColumn>& columns) {
    TableStreamEncoder out(stream);
    out.header();
    out.columns(columns);
    out.end(0);
    out.flush();
}

// Whether the values of the column named `name` are read: always, unless
// the caller names the columns it reads (`wanted`, ASCII letters in any case).
bool valuesWanted(const std::string& name, const std::vector<std::string>& wanted) {
    if (wanted.empty()) return true;
    for (const std::string& each : wanted) {
        if (g_ascii_strcasecmp(each.c_str(), name.c_str()) == 0) return true;
    }
    return false;
}

int readTable(const char* file, const char* tableName, const std::vector<std::string>& wanted,
              TableStreamEncoder& out, int secondStream) {
    // Opened once, without blocking (a named pipe at the path must not hang
    // us); libmdb then opens this very descriptor, not the path again.
    const int fd = open(file, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) return fail(out, StreamError::FileNotFound);
        return fail(out, StreamError::CannotOpen, std::to_string(error));
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return fail(out, StreamError::NotAFile);
    const long pages = static_cast<long>(info.st_size / 4096);
    const std::string ownPath = "/dev/fd/" + std::to_string(fd);

    BoundTable bound;
    MdbResources& res = bound.res;
    res.mdb = openHandle(ownPath);
    if (!res.mdb) return fail(out, StreamError::NotADatabase);

    if (!catalogInsideFile(res.mdb, pages, out)) return 1;
    // Read the catalog once: every mdb_read_catalog frees the entries of the last one.
    if (!mdb_read_catalog(res.mdb, MDB_TABLE)) return fail(out, StreamError::CatalogUnreadable);
    MdbCatalogEntry* entry = mdb_get_catalogentry_by_name(res.mdb, tableName);
    if (!entry || entry->object_type != MDB_TABLE) return fail(out, StreamError::TableNotFound);
    if (static_cast<long>(entry->table_pg) >= pages) {
        return fail(out, StreamError::Truncated,
                    beyondEnd("tablonun tanımı", static_cast<long>(entry->table_pg), pages));
    }

    res.table = mdb_read_table(entry);
    if (!res.table) {
        return fail(out, StreamError::TableUnreadable, "tablo tanımı okunamadı");
    }
    MdbTableDef* table = res.table;
    // libmdb 1.0.0 dereferences a missing usage map.
    if (table->map_sz < 1 || !table->usage_map) {
        return fail(out, StreamError::TableUnreadable, "tablonun sayfa haritası yok");
    }
    if (const long page = pageBeyondEnd(res.mdb, table->usage_map, table->map_sz, pages)) {
        return fail(out, StreamError::Truncated, beyondEnd("tablonun satırları", page, pages));
    }
    if (!mdb_read_columns(table) || !table->columns) {
        return fail(out, StreamError::TableUnreadable, "tablonun sütunları okunamadı");
    }
    const unsigned count = table->columns->len;
    if (count == 0 || count > TableStream::kMaxColumns || count != table->num_cols) {
        return fail(out, StreamError::TableUnreadable, "tablonun sütun sayısı geçersiz");
    }

    std::vector<StreamColumn> columns(count);
    for (unsigned i = 0; i < count; ++i) {
        const auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
        columns[i].name = std::string(column->name, strnlen(column->name, sizeof(column->name)));
        columns[i].jetType = column->col_type;
        columns[i].autoIncrement = column->is_long_auto != 0;
        columns[i].size = column->col_size;
        columns[i].valuesRead = valuesWanted(columns[i].name, wanted);
    }
    if (!bindColumns(bound, columns)) {
        return fail(out, StreamError::TableUnreadable, "tablonun sütunları okunamadı");
    }

    out.columns(columns);
    // A large table is read in two halves of its pages at once.
    const std::vector<guint32> data = dataPages(table);
    std::unique_ptr<SecondHalf> second;
    guint32 stop = 0;
    if (secondStream >= 0 && data.size() >= kPagesForTwoParts) {
        const std::size_t middle = data.size() / 2;
        second = std::make_unique<SecondHalf>(ownPath, tableName, data[middle - 1], secondStream,
                                              columns);
        if (second->started()) {
            stop = data[middle];
        } else {
            second.reset();
        }
    }
    if (!second && secondStream >= 0) emptySecondStream(secondStream, columns);
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

int main(int argc, char** argv) {
    for (const char* name : {"MDBICONV", "MDBOPTS", "MDBPATH", "MDB_JET3_CHARSET"}) unsetenv(name);
    signal(SIGPIPE, SIG_IGN);
    // Go away with the program that started us.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    limitResources();

    const int streamFd = takeStreamFd();
    if (streamFd < 0) return 3;
    TableStreamEncoder out(streamFd);
    out.header();

    // The columns whose values the caller reads, each after --values.
    std::vector<std::string> wanted;
    int first = 1;
    while (first + 1 < argc && std::strcmp(argv[first], "--values") == 0) {
        wanted.emplace_back(argv[first + 1]);
        first += 2;
    }
    const int positional = argc - first;
    // The descriptor of the second half's stream, when the caller gives one.
    int secondStream = -1;
    if (positional == 3) {
        const char* text = argv[first + 2];
        char* end = nullptr;
        const long fd = std::strtol(text, &end, 10);
        if (end != text && *end == '\0' && fd > 2 && fd < 1024 && fd != streamFd &&
            fcntl(static_cast<int>(fd), F_GETFD) >= 0) {
            secondStream = static_cast<int>(fd);
        }
    }
    int status;
    if ((positional != 2 && positional != 3) || (positional == 3 && secondStream < 0)) {
        status = fail(out, StreamError::Usage,
                      "kullanım: meslek-reader [--values SÜTUN]... DOSYA TABLO [AKIŞ2_FD]");
    } else {
        try {
            status = readTable(argv[first], argv[first + 1], wanted, out, secondStream);
        } catch (const std::bad_alloc&) {
            status = fail(out, StreamError::OutOfMemory);
        }
    }
    if (!out.flush()) return 2;
    close(streamFd);
    return status;
}
