#include "jet/reader/TruncationChecks.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

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

bool beyondEnd(TableStreamEncoder& out, const char* what, long page, long pages) {
    out.error(StreamError::Truncated, std::string(what) + " " + std::to_string(page) +
                                          ". sayfada, dosya ise " + std::to_string(pages) +
                                          " sayfa");
    return false;
}

}  // namespace

bool catalogInsideFile(MdbHandle* mdb, long pages, TableStreamEncoder& out) {
    if (pages <= 2) return beyondEnd(out, "sistem kataloğunun tanımı", 2, pages);
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
    if (page != 0) return beyondEnd(out, "sistem kataloğunun satırları", page, pages);
    return true;
}

bool definitionInsideFile(const MdbCatalogEntry& entry, long pages, TableStreamEncoder& out) {
    const long page = static_cast<long>(entry.table_pg);
    if (page >= pages) return beyondEnd(out, "tablonun tanımı", page, pages);
    return true;
}

bool rowsInsideFile(MdbHandle* mdb, MdbTableDef* table, long pages, TableStreamEncoder& out) {
    const long page = pageBeyondEnd(mdb, table->usage_map, table->map_sz, pages);
    if (page != 0) return beyondEnd(out, "tablonun satırları", page, pages);
    return true;
}
