// The CSV reader of meslek-mdb, the list's checks and the table built from it,
// over arbitrary bytes.
#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "lists/Csv.h"
#include "lists/ListReaders.h"
#include "lists/OccupationList.h"

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
        const lists::OccupationList list = lists::listFromCsv(bytes);
        const lists::ListCheck check = lists::check(list);
        if (static_cast<std::size_t>(check.errors.size()) > lists::MaxListed ||
            static_cast<std::size_t>(check.warnings.size()) > lists::MaxListed)
            __builtin_trap();
        if (check.errorCount < static_cast<std::size_t>(check.errors.size())) __builtin_trap();
        const jet4::TableDef table = lists::occupationTable(list);
        std::vector<jet4::Value> row;
        std::size_t rows = 0;
        while (table.moreRows(row)) {
            if (row.size() != table.columns.size()) __builtin_trap();
            ++rows;
        }
        if (rows != list.size()) __builtin_trap();
    } catch (const csv::ParseError&) {
    }
    return 0;
}
