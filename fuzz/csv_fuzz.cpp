// The CSV reader of meslek-mdb and the table built from it, over arbitrary bytes.
#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "jet4/Csv.h"
#include "jet4/MeslekMdb.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const std::vector<csv::Record> records = csv::parse(bytes);
        int previousLine = 0;
        for (const csv::Record& record : records) {
            if (record.line <= previousLine || record.fields.isEmpty()) __builtin_trap();
            previousLine = record.line;
        }
    } catch (const csv::ParseError& error) {
        if (error.line < 1 || error.message.isEmpty()) __builtin_trap();
    }
    try {
        const jet4::TableDef table = jet4::occupationTableFromCsv(bytes);
        for (const auto& row : table.rows) {
            if (row.size() != table.columns.size()) __builtin_trap();
        }
    } catch (const csv::ParseError&) {
    }
    return 0;
}
