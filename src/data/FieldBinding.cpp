#include "data/FieldBinding.h"

#include "exceptions/Exceptions.h"

namespace {

bool columnFits(FieldKind fieldKind, FieldKind columnKind) {
    if (isTextKind(fieldKind)) return isTextKind(columnKind);
    if (isIntegerKind(fieldKind)) return isIntegerKind(columnKind);
    return fieldKind == columnKind;
}

}  // namespace

const std::vector<FieldSpec>& occupationFields() {
    static const std::vector<FieldSpec> fields = {
        {QStringLiteral("ID"), QString(), FieldKind::AutoInc},
        {QStringLiteral("meslek_kodu"), QStringLiteral("Meslek Kodu"), FieldKind::WideString},
        {QStringLiteral("meslek_adi"), QStringLiteral("Meslek Adı"), FieldKind::WideString},
        {QStringLiteral("meslek_ana"), QString(), FieldKind::WideString},
    };
    return fields;
}

QStringList occupationValueColumns() {
    const std::vector<FieldSpec>& fields = occupationFields();
    return {fields[1].columnName, fields[2].columnName};
}

std::vector<int> bindFields(const std::vector<RawColumn>& columns,
                            const std::vector<FieldSpec>& fields, const QString& recordSetName) {
    std::vector<int> indexes;
    indexes.reserve(fields.size());
    for (const FieldSpec& field : fields) {
        const int index = findColumn(columns, field.columnName);
        if (index < 0) {
            throw EDatabaseError::named(
                recordSetName, QStringLiteral("Field '%1' not found").arg(field.displayName()));
        }
        const FieldKind actual = columns[static_cast<std::size_t>(index)].kind;
        if (!columnFits(field.kind, actual)) {
            throw EDatabaseError::named(
                recordSetName,
                QStringLiteral("Type mismatch for field '%1', expecting: %2 actual: %3")
                    .arg(field.displayName(), fieldKindName(field.kind), fieldKindName(actual)));
        }
        indexes.push_back(index);
    }
    return indexes;
}
