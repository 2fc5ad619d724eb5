#pragma once

#include "jetwriter/Jet4Writer.h"

// Page 0: the file's version, code page and sort order, its creation date and
// its password, masked as Jet 4 masks them.
namespace jet4 {

void writeHeader(unsigned char* page, const DatabaseDef& database);

}  // namespace jet4
