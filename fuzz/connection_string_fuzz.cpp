// The connection string parser, over arbitrary text.
#include <QString>

#include <cstddef>
#include <cstdint>

#include "data/ConnectionString.h"
#include "exceptions/Exceptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const ConnectionString parsed = ConnectionString::parse(text);
        for (const auto& pair : parsed.pairs()) {
            if (pair.first.isEmpty()) __builtin_trap();
            parsed.value(pair.first);
        }
    } catch (const EOleException&) {
    }
    return 0;
}
