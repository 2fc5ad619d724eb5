#pragma once

// GLib first: mdbtools.h 1.0.0 includes it inside extern "C", which GLib's
// C++ templates do not survive.
#include <glib.h>
#include <mdbtools.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "jet/TableStream.h"

// A libmdb handle and the table read through it, released in the order
// libmdb needs.
struct MdbResources {
    MdbResources() = default;
    MdbResources(const MdbResources&) = delete;
    MdbResources& operator=(const MdbResources&) = delete;
    ~MdbResources() {
        mdb_free_tabledef(table);
        mdb_close(mdb);
    }

    MdbHandle* mdb = nullptr;
    MdbTableDef* table = nullptr;
};

// A table opened through a handle of its own, its columns bound.
struct BoundTable {
    MdbResources res;
    std::vector<char> buffers;
    std::vector<int> lengths;
    std::vector<bool> text;
    std::size_t bindSize = 0;
    unsigned count = 0;
};

// Opens `path` (the reader's own descriptor) with libmdb and sets its formats:
// dates as "%Y-%m-%d %H:%M:%S", booleans as numbers. Null when libmdb refuses.
MdbHandle* openHandle(const std::string& path);

// The columns of `table` as the stream describes them. The values of a column
// are read unless the caller names the columns it reads (`wanted`, ASCII
// letters in any case) and this one is not among them.
std::vector<StreamColumn> describeColumns(MdbTableDef* table,
                                          const std::vector<std::string>& wanted);

// Binds the columns of the table `bound` holds whose values are read; the
// others go out as nulls, and libmdb does not even convert them. False when
// libmdb refuses one.
bool bindColumns(BoundTable& bound, const std::vector<StreamColumn>& columns);

// The table's data pages, as its usage map names them, in file order; empty
// when the map is of a kind this walk does not know.
std::vector<guint32> dataPages(MdbTableDef* table);

// Writes the rows of the data pages after page `after` (0: from the first)
// up to, not including, page `stop` (0: to the end), in file order; returns
// their number. libmdb returns NULL and empty values alike: a zero-length
// value of a text or memo column goes out as empty text, one of any other
// column as NULL.
std::uint64_t encodeRows(BoundTable& bound, TableStreamEncoder& out, guint32 after, guint32 stop);
