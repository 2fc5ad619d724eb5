#include "jetwriter/RowValues.h"

#include <QString>

#include <algorithm>
#include <limits>

#include "jetwriter/FileFormat.h"

namespace jet4 {

namespace {

constexpr std::uint32_t MaxMemoBytes = 0x00FFFFFF;

}  // namespace

RowValues::RowValues(const Layout& layout, std::int64_t& lastAutoNumber)
    : layout_(layout), lastAutoNumber_(lastAutoNumber) {
    varStart_.resize(static_cast<std::size_t>(layout.varCount));
    varLength_.resize(static_cast<std::size_t>(layout.varCount));
}

void RowValues::encode(const std::vector<Value>& values, std::uint32_t rowNumber) {
    rowNumber_ = rowNumber;
    fixed_.assign(static_cast<std::size_t>(layout_.fixedSize), 0);
    mask_.assign(static_cast<std::size_t>(layout_.maskBytes), 0);
    varBytes_.clear();
    for (std::size_t i = 0; i < layout_.columns.size(); ++i) {
        const StoredColumn& c = layout_.columns[i];
        if (c.fixed)
            writeFixed(c, i, values[i]);
        else
            encodeVariable(c, i, values[i]);
    }
}

void RowValues::badValue(std::size_t column, const char* expected) const {
    fail(QStringLiteral("table \"%1\", row %2, column \"%3\": %4")
             .arg(layout_.name)
             .arg(rowNumber_)
             .arg(layout_.columns[column].name, QString::fromLatin1(expected)));
}

// The next number of an auto-increment column, for a NULL there.
void RowValues::writeAutoNumber(unsigned char* at, std::size_t column) {
    if (lastAutoNumber_ >= std::numeric_limits<std::int32_t>::max())
        badValue(column, "auto-increment value out of range");
    put32(at, static_cast<std::uint32_t>(++lastAutoNumber_));
    setPresent(column);
}

void RowValues::writeFixed(const StoredColumn& c, std::size_t column, const Value& v) {
    unsigned char* at = fixed_.data() + c.fixedOffset;
    if (c.autoIncrement && std::holds_alternative<std::monostate>(v)) {
        writeAutoNumber(at, column);
        return;
    }
    if (std::holds_alternative<std::monostate>(v)) return;
    const auto* integer = std::get_if<std::int64_t>(&v);
    const auto* real = std::get_if<double>(&v);
    switch (c.type) {
        case TypeLong:
            if (!integer) badValue(column, "expected an integer");
            if (*integer < std::numeric_limits<std::int32_t>::min() ||
                *integer > std::numeric_limits<std::int32_t>::max())
                badValue(column, "value out of the Long range");
            put32(at, static_cast<std::uint32_t>(*integer));
            if (c.autoIncrement) lastAutoNumber_ = std::max(lastAutoNumber_, *integer);
            break;
        case TypeInt:
            if (!integer) badValue(column, "expected an integer");
            if (*integer < std::numeric_limits<std::int16_t>::min() ||
                *integer > std::numeric_limits<std::int16_t>::max())
                badValue(column, "value out of the Integer range");
            put16(at, static_cast<std::uint32_t>(*integer));
            break;
        case TypeDouble:
        case TypeDateTime:
            if (real)
                putDouble(at, *real);
            else if (integer)
                putDouble(at, static_cast<double>(*integer));
            else
                badValue(column, "expected a number");
            break;
        default:
            badValue(column, "unsupported fixed column");
    }
    setPresent(column);
}

void RowValues::encodeVariable(const StoredColumn& c, std::size_t column, const Value& v) {
    const std::size_t var = static_cast<std::size_t>(c.varIndex);
    varStart_[var] = varBytes_.size();
    varLength_[var] = 0;
    if (std::holds_alternative<std::monostate>(v)) return;
    const auto* text = std::get_if<QString>(&v);
    if (c.type == TypeOle) badValue(column, "OLE values are not supported");
    if (!text) badValue(column, "expected text");
    if (c.type == TypeText && text->size() > c.size / 2)
        fail(QStringLiteral("table \"%1\", row %2, column \"%3\": text of %4 characters "
                            "does not fit the declared size %5")
                 .arg(layout_.name)
                 .arg(rowNumber_)
                 .arg(c.name)
                 .arg(text->size())
                 .arg(c.size / 2));
    encoder_.append(reinterpret_cast<const char16_t*>(text->utf16()), text->size(), c.compressible,
                    varBytes_);
    varLength_[var] = varBytes_.size() - varStart_[var];
    if (c.type == TypeMemo && varLength_[var] > MaxMemoBytes)
        badValue(column, "memo value too large (at most 16 MiB when stored)");
    setPresent(column);
}

}  // namespace jet4
