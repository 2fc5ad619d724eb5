#include "jetwriter/Jet4Writer.h"

#include <QSaveFile>

#include <stdexcept>
#include <string>

#include "jetwriter/DatabaseHeader.h"
#include "jetwriter/FileBuilder.h"
#include "jetwriter/FileFormat.h"
#include "jetwriter/RowWriter.h"
#include "jetwriter/TableDefinition.h"
#include "jetwriter/TableLayout.h"
#include "jetwriter/TextEncoder.h"
#include "jetwriter/UsageMaps.h"

// The file: page 0 the header, page 1 the usage maps, page 2 the catalog's
// definition, then one definition page for each table, then the tables' rows
// and long values, the catalog's rows, and what the usage maps need more.
namespace jet4 {

namespace {

constexpr std::uint32_t CatalogPage = 2;
constexpr std::int64_t TablesContainerId = 0x0F000001;

void checkPassword(const QString& password) {
    if (password.size() > 20)
        fail(QStringLiteral("the database password is longer than 20 characters"));
    if (password.contains(QChar(0))) fail(QStringLiteral("the database password contains U+0000"));
}

// The layouts of the user's tables, with their names checked against each
// other and the catalog's.
std::vector<Layout> userLayouts(const std::vector<TableDef>& tables) {
    std::vector<Layout> layouts;
    layouts.reserve(tables.size());
    for (const auto& table : tables) {
        layouts.push_back(userLayout(table));
        if (table.name.compare(QLatin1String("MSysObjects"), Qt::CaseInsensitive) == 0)
            fail(QStringLiteral("the table name \"%1\" is reserved").arg(table.name));
        for (std::size_t i = 0; i + 1 < layouts.size(); ++i)
            if (layouts[i].name.compare(table.name, Qt::CaseInsensitive) == 0)
                fail(QStringLiteral("two tables are named \"%1\"").arg(table.name));
    }
    return layouts;
}

void writeRows(FileBuilder& file, const TableDef& table, const Layout& layout, TableOutput& out) {
    RowWriter writer(file, layout, out);
    for (const auto& row : table.rows) writer.write(row);
    if (table.moreRows) {
        std::vector<Value> row;
        while (table.moreRows(row)) writer.write(row);
    }
}

// The catalog's rows: itself first, then every user table.
void writeCatalogRows(FileBuilder& file, const DatabaseDef& database, const Layout& catalog,
                      const std::vector<Layout>& layouts, const std::vector<TableOutput>& outputs,
                      TableOutput& catalogOut) {
    RowWriter writer(file, catalog, catalogOut);
    constexpr std::int64_t SystemFlags = -0x7FFFFFFE;  // 0x80000002 as a signed Long
    auto entry = [&](std::uint32_t id, const QString& name, std::int64_t flags) {
        writer.write({Value(std::int64_t{id}), Value(TablesContainerId), Value(name),
                      Value(std::int64_t{1}), Value(database.creationDate),
                      Value(database.creationDate), Value(flags), Value()});
    };
    entry(CatalogPage, catalog.name, SystemFlags);
    for (std::size_t t = 0; t < layouts.size(); ++t) entry(outputs[t].tdefPage, layouts[t].name, 0);
}

void writeMapsAndDefinition(FileBuilder& file, MapWriter& maps, const Layout& layout,
                            const TableOutput& out) {
    const std::uint32_t usage = maps.addPageMap(out.dataPages, out.tdefPage + 1);
    const std::uint32_t free =
        maps.addEmptyMap(out.dataPages.empty() ? out.tdefPage + 1 : out.dataPages.front());
    writeTableDefinition(file.page(out.tdefPage), layout, out, usage, free);
}

}  // namespace

QByteArray encodeText(QStringView text) {
    TextEncoder encoder;
    std::vector<unsigned char> out;
    encoder.append(reinterpret_cast<const char16_t*>(text.utf16()), text.size(), true, out);
    return QByteArray(reinterpret_cast<const char*>(out.data()),
                      static_cast<qsizetype>(out.size()));
}

QByteArray writeDatabase(const DatabaseDef& database) {
    checkPassword(database.password);
    const std::vector<Layout> layouts = userLayouts(database.tables);
    const Layout catalog = catalogLayout();

    FileBuilder file;
    file.newPage();  // 0: header
    file.newPage();  // 1: usage maps
    file.newPage();  // 2: catalog definition
    std::vector<TableOutput> outputs(layouts.size());
    for (auto& out : outputs) out.tdefPage = file.newPage();

    for (std::size_t t = 0; t < layouts.size(); ++t)
        writeRows(file, database.tables[t], layouts[t], outputs[t]);
    TableOutput catalogOut;
    catalogOut.tdefPage = CatalogPage;
    writeCatalogRows(file, database, catalog, layouts, outputs, catalogOut);

    MapWriter maps(file, 1);
    maps.addEmptyMap(0);  // the database-wide map; libmdb does not read it
    writeMapsAndDefinition(file, maps, catalog, catalogOut);
    for (std::size_t t = 0; t < layouts.size(); ++t)
        writeMapsAndDefinition(file, maps, layouts[t], outputs[t]);

    writeHeader(file.page(0), database);
    return file.take();
}

void writeDatabaseFile(const QString& path, const DatabaseDef& database) {
    const QByteArray bytes = writeDatabase(database);
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        throw std::runtime_error(
            QStringLiteral("cannot create %1: %2").arg(path, out.errorString()).toStdString());
    if (out.write(bytes) != bytes.size() || !out.commit())
        throw std::runtime_error(
            QStringLiteral("cannot write %1: %2").arg(path, out.errorString()).toStdString());
}

}  // namespace jet4
