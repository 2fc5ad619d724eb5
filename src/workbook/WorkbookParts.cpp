#include "workbook/WorkbookParts.h"

#include <QDir>
#include <QLocale>
#include <QStringList>
#include <QXmlStreamReader>

#include <algorithm>

#include "text/ShownValue.h"
#include "workbook/PartReader.h"
#include "workbook/ReadFailure.h"

namespace xlsx {

namespace {

using shownvalue::shown;

// The relationship id of a <sheet>: the `id` attribute in a relationships namespace.
QStringView relationshipId(const QXmlStreamReader& xml) {
    for (const QXmlStreamAttribute& a : xml.attributes())
        if (a.name() == QLatin1String("id") &&
            a.namespaceUri().endsWith(QLatin1String("/relationships")))
            return a.value();
    return {};
}

// "xl/_rels/workbook.xml.rels" for "xl/workbook.xml"; "_rels/.rels" for the package.
QString relationshipsPart(const QString& sourcePart) {
    const qsizetype slash = sourcePart.lastIndexOf(QLatin1Char('/'));
    const QString folder = sourcePart.left(slash + 1);
    return folder + QStringLiteral("_rels/") + sourcePart.mid(slash + 1) + QStringLiteral(".rels");
}

QString resolveTarget(const QString& sourcePart, const QString& target) {
    QString path = target.startsWith(QLatin1Char('/'))
                       ? target.mid(1)
                       : sourcePart.left(sourcePart.lastIndexOf(QLatin1Char('/')) + 1) + target;
    path = QDir::cleanPath(path);
    if (path.isEmpty() || path == QLatin1String(".") || path.startsWith(QLatin1String("../")) ||
        path == QLatin1String("..") || path.startsWith(QLatin1Char('/')))
        fail(QStringLiteral("ilişkilerde paketin dışını gösteren bir hedef var: %1")
                 .arg(shown(target)));
    return path;
}

// The relationships of `sourcePart` ("" for the package), internal ones only.
std::vector<Relationship> readRelationships(Package& package, const QString& sourcePart) {
    PartReader part(package, relationshipsPart(sourcePart));
    std::vector<Relationship> relationships;
    for (auto token = part.next(); token != QXmlStreamReader::EndDocument; token = part.next()) {
        if (token != QXmlStreamReader::StartElement ||
            part.xml().name() != QLatin1String("Relationship"))
            continue;
        const auto& xml = part.xml();
        if (attribute(xml, QLatin1StringView("TargetMode")) == QLatin1String("External")) continue;
        const QString target = attribute(xml, QLatin1StringView("Target")).toString();
        if (target.isEmpty()) continue;
        relationships.push_back({attribute(xml, QLatin1StringView("Id")).toString(),
                                 attribute(xml, QLatin1StringView("Type")).toString(),
                                 resolveTarget(sourcePart, target)});
    }
    return relationships;
}

}  // namespace

const Relationship* findByType(const std::vector<Relationship>& relationships,
                               QLatin1StringView lastSegment) {
    for (const Relationship& r : relationships)
        if (r.type.endsWith(QLatin1Char('/') + lastSegment)) return &r;
    return nullptr;
}

WorkbookParts readWorkbook(Package& package) {
    WorkbookParts parts;
    const std::vector<Relationship> root = readRelationships(package, QString());
    const Relationship* document = findByType(root, QLatin1StringView("officeDocument"));
    if (!document) fail(QStringLiteral("paket bir çalışma kitabını göstermiyor (_rels/.rels)"));
    parts.workbook = document->target;

    PartReader workbook(package, parts.workbook);
    for (auto token = workbook.next(); token != QXmlStreamReader::EndDocument;
         token = workbook.next()) {
        if (token == QXmlStreamReader::StartElement &&
            workbook.xml().name() == QLatin1String("sheet"))
            parts.sheets.push_back({attribute(workbook.xml(), QLatin1StringView("name")).toString(),
                                    relationshipId(workbook.xml()).toString()});
    }
    if (parts.sheets.empty()) fail(QStringLiteral("çalışma kitabında hiç sayfa yok"));
    parts.relationships = readRelationships(package, parts.workbook);
    return parts;
}

const SheetEntry* findSheet(const std::vector<SheetEntry>& sheets, const QString& wanted) {
    static const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    const QString key = turkish.toLower(wanted);
    for (const SheetEntry& sheet : sheets)
        if (turkish.toLower(sheet.name) == key) return &sheet;
    for (const SheetEntry& sheet : sheets)
        if (sheet.name.compare(wanted, Qt::CaseInsensitive) == 0) return &sheet;
    return nullptr;
}

QString shownSheetNames(const std::vector<SheetEntry>& sheets) {
    constexpr std::size_t MaxShownSheets = 10;
    QStringList names;
    for (std::size_t i = 0; i < std::min(sheets.size(), MaxShownSheets); ++i)
        names << shown(sheets[i].name);
    if (sheets.size() > MaxShownSheets)
        names << QStringLiteral("… (%1 sayfa daha)").arg(sheets.size() - MaxShownSheets);
    return names.join(QStringLiteral(", "));
}

}  // namespace xlsx
