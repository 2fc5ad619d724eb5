#include "jetwriter/TableLayout.h"

#include "jetwriter/FileFormat.h"

namespace jet4 {

namespace {

constexpr int MaxNameLength = 64;

void finishLayout(Layout& layout) {
    for (auto& c : layout.columns) {
        if (c.fixed) {
            c.fixedOffset = layout.fixedSize;
            layout.fixedSize += c.size;
        } else {
            c.varIndex = layout.varCount++;
        }
    }
    layout.maskBytes = (static_cast<int>(layout.columns.size()) + 7) / 8;
}

void checkName(const QString& name, const QString& what) {
    if (name.isEmpty()) fail(QStringLiteral("%1 has an empty name").arg(what));
    if (name.size() > MaxNameLength)
        fail(QStringLiteral("%1 name \"%2\" is longer than %3 characters")
                 .arg(what, name)
                 .arg(MaxNameLength));
    if (name.contains(QChar(0))) fail(QStringLiteral("%1 name contains U+0000").arg(what));
}

// How a column of `def`'s type is stored.
StoredColumn storedColumn(const ColumnDef& def) {
    StoredColumn c;
    c.name = def.name;
    if (def.autoIncrement && def.type != ColumnType::Long)
        fail(
            QStringLiteral("column \"%1\": only Long columns can be auto-increment").arg(def.name));
    switch (def.type) {
        case ColumnType::Long:
            c.type = TypeLong;
            c.size = 4;
            c.fixed = true;
            c.autoIncrement = def.autoIncrement;
            break;
        case ColumnType::Integer:
            c.type = TypeInt;
            c.size = 2;
            c.fixed = true;
            break;
        case ColumnType::Double:
            c.type = TypeDouble;
            c.size = 8;
            c.fixed = true;
            break;
        case ColumnType::DateTime:
            c.type = TypeDateTime;
            c.size = 8;
            c.fixed = true;
            break;
        case ColumnType::Text:
            if (def.textSize < 1 || def.textSize > 255)
                fail(QStringLiteral("text column \"%1\" must hold 1 to 255 characters")
                         .arg(def.name));
            c.type = TypeText;
            c.size = 2 * def.textSize;
            c.compressible = true;
            break;
        case ColumnType::Memo:
            c.type = TypeMemo;
            c.compressible = true;
            break;
    }
    return c;
}

}  // namespace

Layout userLayout(const TableDef& table) {
    checkName(table.name, QStringLiteral("a table"));
    if (table.columns.empty() || table.columns.size() > 255)
        fail(QStringLiteral("table \"%1\" must have 1 to 255 columns").arg(table.name));
    Layout layout;
    layout.name = table.name;
    for (const auto& def : table.columns) {
        checkName(def.name, QStringLiteral("a column of \"%1\"").arg(table.name));
        for (const auto& other : layout.columns)
            if (other.name.compare(def.name, Qt::CaseInsensitive) == 0)
                fail(QStringLiteral("table \"%1\" has two columns named \"%2\"")
                         .arg(table.name, def.name));
        layout.columns.push_back(storedColumn(def));
    }
    finishLayout(layout);
    return layout;
}

Layout catalogLayout() {
    Layout layout;
    layout.name = QStringLiteral("MSysObjects");
    layout.system = true;
    auto fixedColumn = [](const char* name, std::uint8_t type, int size) {
        StoredColumn c;
        c.name = QString::fromLatin1(name);
        c.type = type;
        c.size = size;
        c.fixed = true;
        return c;
    };
    StoredColumn name;
    name.name = QStringLiteral("Name");
    name.type = TypeText;
    name.size = 510;
    StoredColumn lvProp;
    lvProp.name = QStringLiteral("LvProp");
    lvProp.type = TypeOle;
    layout.columns = {fixedColumn("Id", TypeLong, 4),
                      fixedColumn("ParentId", TypeLong, 4),
                      name,
                      fixedColumn("Type", TypeInt, 2),
                      fixedColumn("DateCreate", TypeDateTime, 8),
                      fixedColumn("DateUpdate", TypeDateTime, 8),
                      fixedColumn("Flags", TypeLong, 4),
                      lvProp};
    finishLayout(layout);
    return layout;
}

}  // namespace jet4
