// A table as the reader sends it, through the in-process path of a search:
// the stream decoded, sorted by a chosen column, held as a result, its fields
// bound, every row folded and tested by the filter with fuzzed terms, and the
// accepted rows written in a chosen output format, which must parse back to
// the same values.
//
// The record set itself opens only through a connection to a database file
// read by the reader process, so the table enters at the result, the lowest
// seam in this process: the steps above are those the record set and
// meslek-ara take.
//
// Input: a byte for the piece size of the stream, a byte of choices (low four
// bits: 0 physical order, n the sort column n - 1 modulo the column count;
// 0x10 descending; 0x20 VEYA; top two bits the format), the first term, NUL,
// the second term, NUL, then the stream.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "cli/RowFormat.h"
#include "data/FieldBinding.h"
#include "data/ResultSet.h"
#include "data/RowOrder.h"
#include "exceptions/Exceptions.h"
#include "jet/TableStream.h"
#include "lists/Csv.h"
#include "search/SearchFilter.h"
#include "text/FoldSearchText.h"

namespace {

// The text as the output formats carry it: a lone surrogate becomes U+FFFD.
QString withoutLoneSurrogates(QString text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            text[i] = QChar(QChar::ReplacementCharacter);
        }
    }
    return text;
}

using Rows = std::vector<std::pair<QString, QString>>;

void checkWritten(OutputFormat format, const std::string& bytes, const Rows& rows) {
    const QByteArray utf8 = QByteArray::fromStdString(bytes);
    if (format == OutputFormat::Json) {
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(utf8, &error);
        if (error.error != QJsonParseError::NoError || !document.isArray()) __builtin_trap();
        const QJsonArray array = document.array();
        if (static_cast<std::size_t>(array.size()) != rows.size()) __builtin_trap();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const QJsonObject object = array.at(static_cast<qsizetype>(i)).toObject();
            if (object.size() != 2 ||
                object.value(QLatin1String("kod")).toString() != rows[i].first ||
                object.value(QLatin1String("ad")).toString() != rows[i].second) {
                __builtin_trap();
            }
        }
    } else if (format == OutputFormat::Csv) {
        // Outside quotes, CR and LF come only together, as line ends.
        bool quoted = false;
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (bytes[i] == '"') quoted = !quoted;
            if (quoted) continue;
            if (bytes[i] == '\r' && (i + 1 == bytes.size() || bytes[i + 1] != '\n'))
                __builtin_trap();
            if (bytes[i] == '\n' && (i == 0 || bytes[i - 1] != '\r')) __builtin_trap();
        }
        const std::vector<csv::Record> records = csv::parse(utf8);
        if (records.size() != rows.size() + 1) __builtin_trap();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (records[i + 1].fields != QStringList{rows[i].first, rows[i].second}) {
                __builtin_trap();
            }
        }
    } else if (static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) !=
               rows.size()) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::size_t piece = 1 + data[0] % 64;
    const std::uint8_t choices = data[1];
    const char* rest = reinterpret_cast<const char*>(data + 2);
    const char* end = rest + (size - 2);
    const char* nul1 = static_cast<const char*>(std::memchr(rest, 0, end - rest));
    if (nul1 == nullptr) return 0;
    const char* nul2 = static_cast<const char*>(std::memchr(nul1 + 1, 0, end - nul1 - 1));
    if (nul2 == nullptr) return 0;

    SearchCriteria criteria;
    criteria.term1 = QString::fromUtf8(rest, nul1 - rest);
    criteria.term2 = QString::fromUtf8(nul1 + 1, nul2 - nul1 - 1);
    criteria.orMode = (choices & 0x20) != 0;

    TableStreamDecoder decoder;
    const char* stream = nul2 + 1;
    const std::size_t length = static_cast<std::size_t>(end - stream);
    try {
        for (std::size_t at = 0; at < length; at += piece) {
            decoder.feed(stream + at, std::min(piece, length - at));
        }
        decoder.finish();
    } catch (const TableStreamError&) {
        return 0;
    }
    if (!decoder.complete()) return 0;
    RawTable table = decoder.takeTable();
    const std::size_t rowCount = table.rowCount();

    std::vector<std::uint32_t> order;
    if ((choices & 0x0F) == 0 || table.columns.empty()) {
        order = physicalOrder(table);
    } else {
        const int column = ((choices & 0x0F) - 1) % static_cast<int>(table.columns.size());
        order = orderRows(table, column, (choices & 0x10) != 0);
    }
    std::vector<bool> seen(rowCount);
    if (order.size() != rowCount) __builtin_trap();
    for (const std::uint32_t row : order) {
        if (row >= rowCount || seen[row]) __builtin_trap();
        seen[row] = true;
    }

    const ResultSet result(std::move(table), std::move(order));
    std::vector<int> bound;
    try {
        bound = bindFields(result.columns(), occupationFields(),
                           QLatin1String(OccupationRecordSetName));
    } catch (const EDatabaseError&) {
        return 0;
    }
    if (bound.size() != occupationFields().size()) __builtin_trap();

    const SearchFilter filter(criteria);
    const auto format = static_cast<OutputFormat>((choices >> 6) % 3);
    const ListFormat list(format);
    std::string bytes(list.opening());
    Rows written;
    for (int position = 1; position <= result.recordCount(); ++position) {
        const QString code = result.valueAt(position, bound[1]);
        const QString name = result.valueAt(position, bound[2]);
        // The row test in use works in byte form; the text form must agree.
        const bool accepted = filter.acceptsRow(name, code);
        if (accepted != filter.accepts(FoldSearchText(name), code)) __builtin_trap();
        if (!criteria.term1.isEmpty() && !accepted) continue;
        const std::size_t at = bytes.size();
        bytes.resize(at + list.rowBound(code, name));
        char* rowEnd = list.row(bytes.data() + at, code, name, written.empty());
        bytes.resize(static_cast<std::size_t>(rowEnd - bytes.data()));
        written.emplace_back(withoutLoneSurrogates(code), withoutLoneSurrogates(name));
    }
    bytes.append(list.closing(!written.empty()));
    checkWritten(format, bytes, written);
    return 0;
}
