#include "lists/OccupationSchema.h"

namespace lists {

jet4::TableDef occupationTableSchema() {
    jet4::TableDef table;
    table.name = QStringLiteral("meslekler");
    table.columns = {
        {QStringLiteral("ID"), jet4::ColumnType::Long, 0, true},
        {QStringLiteral("meslek_kodu"), jet4::ColumnType::Text, int{CodeLength}, false},
        {QStringLiteral("meslek_adi"), jet4::ColumnType::Text, int{TextLength}, false},
        {QStringLiteral("meslek_ana"), jet4::ColumnType::Text, int{TextLength}, false},
    };
    return table;
}

}  // namespace lists
