#include "lists/OccupationList.h"

#include <algorithm>
#include <numeric>

#include "lists/OccupationSchema.h"
#include "text/ShownValue.h"
#include "workbook/XlsxReader.h"

namespace lists {

namespace {

constexpr std::uint32_t NullBit = 0x80000000u;

bool isBlank(QStringView text) { return text.trimmed().isEmpty(); }

// NNNN.NN: four digits, a dot, two digits.
bool isNationalCode(QStringView code) {
    if (code.size() != 7 || code[4] != u'.') return false;
    for (qsizetype i = 0; i < 7; ++i)
        if (i != 4 && (code[i] < u'0' || code[i] > u'9')) return false;
    return true;
}

// A problem at a row, kept small until it is shown.
struct Finding {
    std::uint32_t row;
    // In the order findings of one row are shown: the code's first.
    enum Kind : std::uint8_t {
        NumberCode,
        EmptyCode,
        LongCode,
        Duplicate,
        EmptyName,
        LongName,
        LongParent,
    } kind;
    std::uint32_t other = 0;  // Duplicate: the row where the code first appears
};

QString describe(const OccupationList& list, const Finding& f) {
    const QString code = shownvalue::shown(list.code(f.row));
    switch (f.kind) {
        case Finding::NumberCode:
            return QStringLiteral(
                       "%1: meslek kodu sayı olarak saklanmış (%2); sayı 0110.00 ya da 5120.10 "
                       "gibi bir kodu tutamaz, sütunu metin biçiminde yazın")
                .arg(list.place(f.row, Field::Code), code);
        case Finding::EmptyCode:
            return QStringLiteral("%1: meslek kodu boş").arg(list.place(f.row, Field::Code));
        case Finding::EmptyName:
            return QStringLiteral("%1: meslek adı boş").arg(list.place(f.row, Field::Name));
        case Finding::LongCode:
            return QStringLiteral("%1: meslek kodu %2 karakterden uzun")
                .arg(list.place(f.row, Field::Code))
                .arg(CodeLength);
        case Finding::LongName:
            return QStringLiteral("%1: meslek adı %2 karakterden uzun")
                .arg(list.place(f.row, Field::Name))
                .arg(TextLength);
        case Finding::LongParent:
            return QStringLiteral("%1: meslek ana grubu %2 karakterden uzun")
                .arg(list.place(f.row, Field::Parent))
                .arg(TextLength);
        case Finding::Duplicate:
            return QStringLiteral("%1: %2 kodu ikinci kez geçiyor (ilki %3)")
                .arg(list.place(f.row, Field::Code), code, list.place(f.other, Field::Code));
    }
    return {};
}

// Every row whose code an earlier row already has, with that earlier row.
void findDuplicates(const OccupationList& list, std::vector<Finding>& findings) {
    std::vector<std::uint32_t> order(list.size());
    std::iota(order.begin(), order.end(), 0u);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return list.code(a) < list.code(b); });
    std::size_t first = 0;  // the group's first row in list order: the sort is stable
    for (std::size_t i = 1; i < order.size(); ++i) {
        if (list.code(order[i]) != list.code(order[first])) {
            first = i;
        } else if (!isBlank(list.code(order[i]))) {
            findings.push_back({order[i], Finding::Duplicate, order[first]});
        }
    }
}

// The errors of one row, but for repeated codes.
void findRowErrors(const OccupationList& list, std::uint32_t row, std::vector<Finding>& findings) {
    const QStringView code = list.code(row);
    if (!list.codeIsText(row)) findings.push_back({row, Finding::NumberCode});
    if (isBlank(code)) findings.push_back({row, Finding::EmptyCode});
    if (isBlank(list.name(row))) findings.push_back({row, Finding::EmptyName});
    if (code.size() > CodeLength) findings.push_back({row, Finding::LongCode});
    if (list.name(row).size() > TextLength) findings.push_back({row, Finding::LongName});
    if (list.parent(row) && list.parent(row)->size() > TextLength)
        findings.push_back({row, Finding::LongParent});
}

}  // namespace

void OccupationList::add(QStringView code, QStringView name, std::optional<QStringView> parent,
                         int place, bool codeIsText) {
    text_.append(code);
    ends_.push_back(static_cast<std::uint32_t>(text_.size()));
    text_.append(name);
    ends_.push_back(static_cast<std::uint32_t>(text_.size()));
    if (parent) text_.append(*parent);
    ends_.push_back(static_cast<std::uint32_t>(text_.size()) | (parent ? 0 : NullBit));
    places_.push_back(place);
    numberCodes_.push_back(!codeIsText);
}

QStringView OccupationList::field(std::size_t row, int index) const {
    const std::size_t at = row * 3 + static_cast<std::size_t>(index);
    const std::uint32_t start = at == 0 ? 0 : ends_[at - 1] & ~NullBit;
    const std::uint32_t end = ends_[at] & ~NullBit;
    return QStringView(text_).mid(start, end - start);
}

std::optional<QStringView> OccupationList::parent(std::size_t row) const {
    if (ends_[row * 3 + 2] & NullBit) return std::nullopt;
    return field(row, 2);
}

QString OccupationList::place(std::size_t row, Field field) const {
    const int at = places_[row];
    if (!source_.sheet) return QStringLiteral("satır %1").arg(at);
    const int column = field == Field::Code   ? source_.codeColumn
                       : field == Field::Name ? source_.nameColumn
                                              : source_.parentColumn;
    return xlsx::cellName(at, column);
}

void OccupationList::squeeze() {
    text_.squeeze();
    ends_.shrink_to_fit();
    places_.shrink_to_fit();
    numberCodes_.shrink_to_fit();
}

ListCheck check(const OccupationList& list) {
    std::vector<Finding> findings;
    ListCheck result;
    // A header alone would replace a list with nothing.
    if (list.size() == 0) {
        result.errors << QStringLiteral("başlık satırının altında hiç meslek yok");
        result.errorCount = 1;
        return result;
    }
    std::size_t warnings = 0;
    for (std::uint32_t row = 0; row < list.size(); ++row) {
        const QStringView code = list.code(row);
        findRowErrors(list, row, findings);
        if (!isBlank(code) && list.codeIsText(row) && !isNationalCode(code)) {
            if (warnings < MaxListed)
                result.warnings << QStringLiteral("%1: %2 kodu NNNN.NN biçiminde değil")
                                       .arg(list.place(row, Field::Code), shownvalue::shown(code));
            ++warnings;
        }
        if (result.firstCode.isNull() || code < QStringView(result.firstCode))
            result.firstCode = code.toString();
        if (result.lastCode.isNull() || code > QStringView(result.lastCode))
            result.lastCode = code.toString();
    }
    findDuplicates(list, findings);
    std::sort(findings.begin(), findings.end(), [](const Finding& a, const Finding& b) {
        return a.row != b.row ? a.row < b.row : a.kind < b.kind;
    });
    for (std::size_t i = 0; i < findings.size() && i < MaxListed; ++i)
        result.errors << describe(list, findings[i]);
    result.errorCount = findings.size();
    result.warningCount = warnings;
    return result;
}

jet4::TableDef occupationTable(const OccupationList& list) {
    jet4::TableDef table = occupationTableSchema();
    std::size_t next = 0;
    table.moreRows = [&list, next](std::vector<jet4::Value>& row) mutable {
        if (next >= list.size()) return false;
        row.resize(4);
        row[0] = static_cast<std::int64_t>(next + 1);
        row[1] = list.code(next).toString();
        row[2] = list.name(next).toString();
        const std::optional<QStringView> parent = list.parent(next);
        row[3] = parent ? jet4::Value(parent->toString()) : jet4::Value();
        ++next;
        return true;
    };
    return table;
}

}  // namespace lists
