#include "lists/ListReaders.h"

#include <QLocale>

#include "lists/Csv.h"

namespace lists {

namespace {

bool isBlank(QStringView text) { return text.trimmed().isEmpty(); }

// "MESLEK Adı" -> "meslekadı", "ISCO-08 KODU" -> "ısco08kodu".
QString headerKey(const QString& text) {
    static const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    QString key;
    for (const QChar c : turkish.toLower(text))
        if (c.isLetterOrNumber()) key.append(c);
    return key;
}

const xlsx::Cell* cellAt(const std::vector<xlsx::Cell>& cells, int column) {
    for (const xlsx::Cell& cell : cells)
        if (cell.column == column) return &cell;
    return nullptr;
}

}  // namespace

OccupationList listFromCsv(const QByteArray& csv) {
    const std::vector<csv::Record> records = csv::parse(csv);
    if (records.empty())
        throw csv::ParseError{1, csv::atLine(1, QStringLiteral("başlık satırı yok"))};

    const csv::Record& header = records.front();
    const QStringList twoColumns = {QStringLiteral("meslek_kodu"), QStringLiteral("meslek_adi")};
    const QStringList threeColumns = twoColumns + QStringList{QStringLiteral("meslek_ana")};
    if (header.fields != twoColumns && header.fields != threeColumns)
        throw csv::ParseError{
            header.line,
            csv::atLine(header.line, QStringLiteral("başlık meslek_kodu,meslek_adi ya da "
                                                    "meslek_kodu,meslek_adi,meslek_ana olmalı"))};
    const qsizetype columns = header.fields.size();

    OccupationList list;
    for (std::size_t r = 1; r < records.size(); ++r) {
        const csv::Record& record = records[r];
        if (record.fields.size() != columns)
            throw csv::ParseError{
                record.line,
                csv::atLine(record.line, QStringLiteral("%1 alan bekleniyordu, %2 alan var")
                                             .arg(columns)
                                             .arg(record.fields.size()))};
        if (std::all_of(record.fields.begin(), record.fields.end(), isBlank)) continue;
        list.add(record.fields[0], record.fields[1],
                 columns == 3 ? std::optional<QStringView>(record.fields[2]) : std::nullopt,
                 record.line);
    }
    list.squeeze();
    return list;
}

std::optional<HeaderColumns> headerColumns(const std::vector<xlsx::Cell>& cells) {
    HeaderColumns found;
    std::vector<std::pair<int, QString>> keys;
    for (const xlsx::Cell& cell : cells) {
        if (cell.kind != xlsx::CellKind::Text) continue;
        const QString key = headerKey(cell.text);
        if (!found.name && key.startsWith(QLatin1String("meslekad"))) {
            found.name = cell.column;
        } else if (!found.parent && key.startsWith(QLatin1String("meslekana"))) {
            found.parent = cell.column;
        } else {
            keys.emplace_back(cell.column, key);
        }
    }
    for (const auto& [column, key] : keys) {
        if (key.contains(QLatin1String("kod"))) {
            found.code = column;
            break;
        }
    }
    if (!found.code || !found.name) return std::nullopt;
    return found;
}

OccupationList listFromWorkbook(QIODevice& zip, const QString& sheet) {
    std::optional<HeaderColumns> header;
    OccupationList list;
    xlsx::readSheet(zip, sheet, [&](int row, const std::vector<xlsx::Cell>& cells) {
        if (!header) {
            header = headerColumns(cells);
            if (header)
                list = OccupationList(Source{true, header->code, header->name, header->parent});
            return;
        }
        const xlsx::Cell* code = cellAt(cells, header->code);
        const xlsx::Cell* name = cellAt(cells, header->name);
        const xlsx::Cell* parent = header->parent ? cellAt(cells, header->parent) : nullptr;
        auto text = [](const xlsx::Cell* cell) {
            return cell ? QStringView(cell->text) : QStringView();
        };
        if (isBlank(text(code)) && isBlank(text(name)) && isBlank(text(parent))) return;
        std::optional<QStringView> parentText;
        if (header->parent) parentText = text(parent);
        list.add(text(code), text(name), parentText, row,
                 !code || code->kind == xlsx::CellKind::Text);
    });
    if (!header)
        throw xlsx::Error{QStringLiteral(
            "başlık satırı bulunamadı: \"kod\" geçen bir hücre ile \"Meslek Adı\" ile başlayan "
            "bir hücre aynı satırda olmalı")};
    list.squeeze();
    return list;
}

}  // namespace lists
