#pragma once

#include <QLatin1StringView>
#include <QString>

#include <vector>

#include "workbook/Package.h"

// The workbook as the package's relationships show it: its part, its sheets
// in order, and the parts its own relationships name. Parts are found only
// through relationships (`_rels/.rels`, then the workbook's own), never by a
// guessed path.
namespace xlsx {

struct Relationship {
    QString id;
    QString type;
    QString target;  // a part name, resolved against the source part's folder
};

struct SheetEntry {
    QString name;
    QString relationshipId;
};

struct WorkbookParts {
    QString workbook;
    std::vector<SheetEntry> sheets;
    std::vector<Relationship> relationships;
};

// Reads the package's relationships, the workbook part and the workbook's
// relationships; refuses a package without a workbook or a workbook without
// sheets.
WorkbookParts readWorkbook(Package& package);

// The first relationship of a type, compared by its last segment, so the
// transitional and the strict namespaces both match; nullptr when none is.
const Relationship* findByType(const std::vector<Relationship>& relationships,
                               QLatin1StringView lastSegment);

// The sheet a name given by the user means. Names are compared in lower case
// under Turkish rules, as the header search compares its cells, so "işçi" and
// "İŞÇİ" find "İşçi"; when none matches so, the case of other rules decides,
// so that "liste" still finds "LISTE". nullptr when none matches.
const SheetEntry* findSheet(const std::vector<SheetEntry>& sheets, const QString& wanted);

// The first few sheets' names for a message, each cut and escaped.
QString shownSheetNames(const std::vector<SheetEntry>& sheets);

}  // namespace xlsx
