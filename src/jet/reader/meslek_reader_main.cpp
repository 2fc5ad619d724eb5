// meslek-reader FILE TABLE
//
// Reads one table of a Jet 4 file with libmdb and writes it to standard
// output in the TableStream form. The program starts it as a separate
// process, because libmdb crashes or loops forever on some damaged files.
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
#include <new>
#include <string>
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

int readTable(const char* file, const char* tableName, TableStreamEncoder& out) {
    {
        const int fd = open(file, O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            const int error = errno;
            if (error == ENOENT || error == ENOTDIR) return fail(out, StreamError::FileNotFound);
            return fail(out, StreamError::CannotOpen, std::to_string(error));
        }
        struct stat info;
        const bool regular = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
        close(fd);
        if (!regular) return fail(out, StreamError::NotAFile);
    }

    MdbResources res;
    res.mdb = mdb_open(file, MDB_NOFLAGS);
    if (!res.mdb) return fail(out, StreamError::NotADatabase);
    mdb_set_date_fmt(res.mdb, kDateFormat);
    mdb_set_shortdate_fmt(res.mdb, kDateFormat);
    mdb_set_boolean_fmt_numbers(res.mdb);

    // Read the catalog once: every mdb_read_catalog frees the entries of the last one.
    if (!mdb_read_catalog(res.mdb, MDB_TABLE)) return fail(out, StreamError::CatalogUnreadable);
    MdbCatalogEntry* entry = mdb_get_catalogentry_by_name(res.mdb, tableName);
    if (!entry || entry->object_type != MDB_TABLE) return fail(out, StreamError::TableNotFound);

    res.table = mdb_read_table(entry);
    if (!res.table) {
        return fail(out, StreamError::TableUnreadable, "tablo tanımı okunamadı");
    }
    MdbTableDef* table = res.table;
    // libmdb 1.0.0 dereferences a missing usage map.
    if (table->map_sz < 1 || !table->usage_map) {
        return fail(out, StreamError::TableUnreadable, "tablonun sayfa haritası yok");
    }
    if (!mdb_read_columns(table) || !table->columns) {
        return fail(out, StreamError::TableUnreadable, "tablonun sütunları okunamadı");
    }
    const unsigned count = table->columns->len;
    if (count == 0 || count > TableStream::kMaxColumns || count != table->num_cols) {
        return fail(out, StreamError::TableUnreadable, "tablonun sütun sayısı geçersiz");
    }

    std::vector<StreamColumn> columns(count);
    std::vector<bool> text(count);
    for (unsigned i = 0; i < count; ++i) {
        const auto* column = static_cast<MdbColumn*>(g_ptr_array_index(table->columns, i));
        columns[i].name = std::string(column->name, strnlen(column->name, sizeof(column->name)));
        columns[i].jetType = column->col_type;
        columns[i].autoIncrement = column->is_long_auto != 0;
        columns[i].size = column->col_size;
        text[i] = isTextType(column->col_type);
    }

    // libmdb writes up to bind_size bytes into each buffer.
    const std::size_t bindSize = res.mdb->bind_size;
    std::vector<char> buffers(count * (bindSize + 1));
    std::vector<int> lengths(count, 0);
    for (unsigned i = 0; i < count; ++i) {
        if (mdb_bind_column(table, static_cast<int>(i) + 1, &buffers[i * (bindSize + 1)],
                            &lengths[i]) < 0) {
            return fail(out, StreamError::TableUnreadable, "tablonun sütunları okunamadı");
        }
    }

    out.columns(columns);
    mdb_rewind_table(table);
    std::uint64_t rows = 0;
    while (mdb_fetch_row(table)) {
        out.beginRow();
        for (unsigned i = 0; i < count; ++i) {
            std::size_t length = lengths[i] > 0 ? static_cast<std::size_t>(lengths[i]) : 0;
            if (length > bindSize) length = bindSize;
            if (length == 0 && !text[i]) {
                out.nullCell();
            } else {
                out.cell(&buffers[i * (bindSize + 1)], length);
            }
            lengths[i] = 0;
        }
        out.endRow();
        ++rows;
    }
    out.end(rows);
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

    int status;
    if (argc != 3) {
        status = fail(out, StreamError::Usage, "kullanım: meslek-reader DOSYA TABLO");
    } else {
        try {
            status = readTable(argv[1], argv[2], out);
        } catch (const std::bad_alloc&) {
            status = fail(out, StreamError::OutOfMemory);
        }
    }
    if (!out.flush()) return 2;
    close(streamFd);
    return status;
}
