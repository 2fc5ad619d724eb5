#pragma once

#include <QString>

// The kind of a result column, in the words the binding messages use.
enum class FieldKind {
    WideString,
    String,
    WideMemo,
    Memo,
    AutoInc,
    Integer,
    SmallInt,
    Word,
    Float,
    Currency,
    DateTime,
    Boolean,
    Bytes,
    Blob,
};

QString fieldKindName(FieldKind kind);

// Jet 4 column type codes as stored in a table definition.
namespace JetType {
inline constexpr int Bool = 0x01;
inline constexpr int Byte = 0x02;
inline constexpr int Int = 0x03;
inline constexpr int Long = 0x04;
inline constexpr int Money = 0x05;
inline constexpr int Float = 0x06;
inline constexpr int Double = 0x07;
inline constexpr int DateTime = 0x08;
inline constexpr int Binary = 0x09;
inline constexpr int Text = 0x0A;
inline constexpr int Ole = 0x0B;
inline constexpr int Memo = 0x0C;
inline constexpr int Guid = 0x0F;
inline constexpr int Numeric = 0x10;
}  // namespace JetType

// The field kind a Jet 4 column of the given type code is read as.
FieldKind fieldKindForJetType(int jetType, bool autoIncrement);

bool isIntegerKind(FieldKind kind);
bool isTextKind(FieldKind kind);
