// The decoder of the reader's stream, fed in pieces of varying size.
#include <cstddef>
#include <cstdint>

#include "jet/TableStream.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte picks the piece size, so record boundaries fall anywhere.
    const std::size_t piece = 1 + data[0] % 64;
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    const std::size_t length = size - 1;
    TableStreamDecoder decoder;
    try {
        for (std::size_t at = 0; at < length; at += piece) {
            decoder.feed(bytes + at, std::min(piece, length - at));
        }
        decoder.finish();
        const RawTable& table = decoder.table();
        if (decoder.complete() && !table.columns.empty() &&
            table.cellCount() % table.columns.size() != 0) {
            __builtin_trap();
        }
    } catch (const TableStreamError&) {
    }
    return 0;
}
