#pragma once

#include <QString>

#include "workbook/XlsxReader.h"

namespace xlsx {

// Refuses the workbook: `message` is Turkish and names the cause, not the file.
[[noreturn]] inline void fail(const QString& message) { throw Error{message}; }

}  // namespace xlsx
