// The workbook reader of meslek-mdb and the list made from a sheet, over
// arbitrary bytes. The first byte chooses what the rest is: 0 a whole file,
// 1 a worksheet part and 2 a shared-strings part, each put into an otherwise
// sound workbook so that the XML reader is reached past the zip's checks.
#include <QBuffer>
#include <QByteArray>

#include <cstddef>
#include <cstdint>

#include "lists/ListReaders.h"
#include "lists/OccupationList.h"
#include "support/XlsxWriter.h"
#include "workbook/XlsxReader.h"

namespace {

const QByteArray Header =
    "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c></row>";
const QByteArray Strings =
    "<si><t>Meslek Kodu</t></si><si><t>Meslek Adı</t></si><si><t>0110.00</t></si>";

QByteArray workbook(const QByteArray& sheet, const QByteArray& strings) {
    std::vector<xlsx::Part> parts = xlsx::workbookParts({{QStringLiteral("Sayfa1"), {}}}, Strings);
    for (xlsx::Part& part : parts) {
        if (part.name == QLatin1String("xl/worksheets/sheet1.xml") && !sheet.isNull())
            part.data = sheet;
        if (part.name == QLatin1String("xl/sharedStrings.xml") && !strings.isNull())
            part.data = strings;
    }
    return xlsx::zipParts(parts);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const QByteArray rest(reinterpret_cast<const char*>(data) + 1,
                          static_cast<qsizetype>(size - 1));
    QByteArray file;
    switch (data[0] % 3) {
        case 0:
            file = rest;
            break;
        case 1:
            file = workbook(rest, {});
            break;
        default:
            file = workbook("<worksheet><sheetData>" + Header +
                                "<row><c t=\"s\"><v>2</v></c><c t=\"s\"><v>3</v></c></row>"
                                "</sheetData></worksheet>",
                            rest);
    }
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    try {
        const lists::OccupationList list = lists::listFromWorkbook(buffer, {});
        const lists::ListCheck check = lists::check(list);
        if (check.errors.size() > static_cast<qsizetype>(lists::MaxListed)) __builtin_trap();
        for (std::size_t i = 0; i < list.size(); ++i) {
            if (list.place(i, lists::Field::Code).isEmpty()) __builtin_trap();
        }
    } catch (const xlsx::Error& e) {
        if (e.message.isEmpty()) __builtin_trap();
    }
    return 0;
}
