#include "workbook/XlsxReader.h"

#include <algorithm>

#include "text/ShownValue.h"
#include "workbook/Package.h"
#include "workbook/PartReader.h"
#include "workbook/ReadFailure.h"
#include "workbook/SharedStrings.h"
#include "workbook/SheetReader.h"
#include "workbook/WorkbookParts.h"

namespace xlsx {

namespace {

using shownvalue::shown;

}  // namespace

QString cellName(int row, int column) {
    QString letters;
    for (int c = column; c > 0; c = (c - 1) / 26) letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters + QString::number(row);
}

std::vector<QString> sheetNames(QIODevice& device) {
    Package package(device);
    std::vector<QString> names;
    for (const SheetEntry& sheet : readWorkbook(package).sheets) names.push_back(sheet.name);
    return names;
}

void readSheet(QIODevice& device, const QString& sheetName, const RowHandler& onRow) {
    Package package(device);
    const WorkbookParts parts = readWorkbook(package);

    const SheetEntry* sheet = &parts.sheets.front();
    if (!sheetName.isEmpty()) {
        sheet = findSheet(parts.sheets, sheetName);
        if (!sheet) {
            fail(QStringLiteral("\"%1\" adında bir sayfa yok; sayfalar: %2")
                     .arg(shown(sheetName), shownSheetNames(parts.sheets)));
        }
    }
    const auto target = std::find_if(parts.relationships.begin(), parts.relationships.end(),
                                     [&](auto& r) { return r.id == sheet->relationshipId; });
    if (target == parts.relationships.end())
        fail(QStringLiteral("\"%1\" sayfasının bölümü ilişkilerde yok").arg(shown(sheet->name)));

    SharedStrings strings;
    if (const Relationship* shared =
            findByType(parts.relationships, QLatin1StringView("sharedStrings"))) {
        PartReader part(package, shared->target);
        strings.read(part);
    }
    PartReader part(package, target->target);
    SheetReader(part, strings, onRow).read();
}

}  // namespace xlsx
