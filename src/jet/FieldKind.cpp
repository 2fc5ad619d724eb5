#include "jet/FieldKind.h"

QString fieldKindName(FieldKind kind) {
    switch (kind) {
        case FieldKind::WideString:
            return QStringLiteral("WideString");
        case FieldKind::String:
            return QStringLiteral("String");
        case FieldKind::WideMemo:
            return QStringLiteral("WideMemo");
        case FieldKind::Memo:
            return QStringLiteral("Memo");
        case FieldKind::AutoInc:
            return QStringLiteral("AutoInc");
        case FieldKind::Integer:
            return QStringLiteral("Integer");
        case FieldKind::SmallInt:
            return QStringLiteral("SmallInt");
        case FieldKind::Word:
            return QStringLiteral("Word");
        case FieldKind::Float:
            return QStringLiteral("Float");
        case FieldKind::Currency:
            return QStringLiteral("Currency");
        case FieldKind::DateTime:
            return QStringLiteral("DateTime");
        case FieldKind::Boolean:
            return QStringLiteral("Boolean");
        case FieldKind::Bytes:
            return QStringLiteral("Bytes");
        case FieldKind::Blob:
            return QStringLiteral("Blob");
    }
    return QStringLiteral("Unknown");
}

FieldKind fieldKindForJetType(int jetType, bool autoIncrement) {
    switch (jetType) {
        case JetType::Bool:
            return FieldKind::Boolean;
        case JetType::Byte:
            return FieldKind::Word;
        case JetType::Int:
            return FieldKind::SmallInt;
        case JetType::Long:
            return autoIncrement ? FieldKind::AutoInc : FieldKind::Integer;
        case JetType::Money:
            return FieldKind::Currency;
        case JetType::Float:
        case JetType::Double:
        case JetType::Numeric:
            return FieldKind::Float;
        case JetType::DateTime:
            return FieldKind::DateTime;
        case JetType::Text:
            return FieldKind::WideString;
        case JetType::Memo:
            return FieldKind::WideMemo;
        case JetType::Ole:
            return FieldKind::Blob;
        default:
            return FieldKind::Bytes;
    }
}

bool isIntegerKind(FieldKind kind) {
    return kind == FieldKind::AutoInc || kind == FieldKind::Integer ||
           kind == FieldKind::SmallInt || kind == FieldKind::Word;
}

bool isTextKind(FieldKind kind) {
    return kind == FieldKind::WideString || kind == FieldKind::String;
}
