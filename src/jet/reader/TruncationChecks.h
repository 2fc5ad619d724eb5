#pragma once

// GLib first: see MdbTable.h.
#include <glib.h>
#include <mdbtools.h>

#include "jet/TableStream.h"

// A cut file (copied or downloaded in part) otherwise reads as one without
// the table, or with fewer rows. Each check below looks at the pages libmdb
// is about to read against the file's `pages` (its size in 4 KiB pages); when
// one lies beyond the end it writes a Truncated error record naming it and
// returns false.

// The catalog's own definition (page 2) and the pages it lists.
bool catalogInsideFile(MdbHandle* mdb, long pages, TableStreamEncoder& out);
// The table's definition page, as the catalog names it.
bool definitionInsideFile(const MdbCatalogEntry& entry, long pages, TableStreamEncoder& out);
// The pages the table's usage map names, those of its rows.
bool rowsInsideFile(MdbHandle* mdb, MdbTableDef* table, long pages, TableStreamEncoder& out);
