#pragma once

#include <QString>
#include <QStringList>

#include <vector>

#include "jet/FieldKind.h"
#include "jet/RawTable.h"

// A field of a record set, to be bound to a result column by name.
struct FieldSpec {
    QString columnName;
    QString displayLabel;  // empty: the field is named by its column name
    FieldKind kind;        // WideString for text fields; AutoInc or Integer for integer fields

    QString displayName() const { return displayLabel.isEmpty() ? columnName : displayLabel; }
};

// The four fields of the occupation record set.
const std::vector<FieldSpec>& occupationFields();

// The columns whose values the program reads: only codes and names are
// ever shown, searched or copied, so ID and meslek_ana are left unread.
QStringList occupationValueColumns();

// The name under which the occupation record set raises its own failures.
inline constexpr const char* OccupationRecordSetName = "meslekkoduQuery";

// Binds each field to the result column of its name (case-insensitively) and
// returns the column indexes, in field order. Only kinds are checked, never
// sizes: a text field takes any (wide or single-byte) text column but no memo;
// an integer field takes any integer column of up to 32 bits. Throws
// EDatabaseError, named after `recordSetName`, when a column is missing or of
// an unfitting kind.
std::vector<int> bindFields(const std::vector<RawColumn>& columns,
                            const std::vector<FieldSpec>& fields, const QString& recordSetName);
