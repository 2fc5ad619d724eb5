// The statement parser, over arbitrary text.
#include <QString>

#include <cstddef>
#include <cstdint>

#include "data/Statement.h"
#include "exceptions/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const SelectStatement statement = parseSelectStatement(text);
        if (statement.table.isEmpty()) __builtin_trap();
    } catch (const EOleException&) {
    }
    return 0;
}
