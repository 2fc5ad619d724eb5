// Writes small workbooks into a folder, as seeds for the workbook fuzz target:
//   xlsx-seeds FOLDER
// Each seed starts with the byte that tells the target what follows: 0 a whole
// file, 1 a worksheet part (see workbook_fuzz.cpp).
#include <QDir>
#include <QFile>

#include <cstdio>

#include "support/XlsxWriter.h"

namespace {

bool writeSeed(const QDir& folder, const QString& name, const std::vector<xlsx::Part>& parts) {
    QFile file(folder.filePath(name));
    if (!file.open(QIODevice::WriteOnly)) return false;
    return file.write("\x00", 1) == 1 && file.write(xlsx::zipParts(parts)) > 0;
}

bool writeSheetSeed(const QDir& folder, const QString& name, const QByteArray& sheet) {
    QFile file(folder.filePath(name));
    return file.open(QIODevice::WriteOnly) && file.write("\x01" + sheet) == sheet.size() + 1;
}

// Seeds at the reader's limits, each a step past one: nesting, attributes,
// namespaces, part names that differ only in case, a shared string used by
// many cells.
bool writeLimitSeeds(const QDir& folder) {
    QByteArray attributes;
    for (int i = 0; i < 65; ++i) attributes += " a" + QByteArray::number(i) + "=\"x>=\"";
    QByteArray namespaces;
    for (int i = 0; i < 40; ++i) namespaces += " xmlns:p" + QByteArray::number(i) + "=\"u\"";
    QByteArray reused =
        "<row r=\"1\"><c r=\"A1\" t=\"s\"><v>0</v></c><c r=\"B1\" t=\"s\"><v>1</v></c>"
        "</row>";
    for (int r = 2; r <= 300; ++r)
        reused += "<row><c t=\"s\"><v>2</v></c><c t=\"s\"><v>2</v></c></row>";
    std::vector<xlsx::Part> twice = xlsx::listWorkbook({{"Meslek Kodu", "Meslek Adı"}});
    twice.insert(twice.begin(), {QStringLiteral("XL/WORKSHEETS/SHEET1.XML"), "<worksheet/>"});
    return writeSheetSeed(folder, QStringLiteral("nested"),
                          "<worksheet>" + QByteArray("<x>").repeated(65) +
                              QByteArray("</x>").repeated(65) + "</worksheet>") &&
           writeSheetSeed(folder, QStringLiteral("attributes"),
                          "<worksheet><!-- 1 > 0 --><x" + attributes + "/></worksheet>") &&
           writeSheetSeed(folder, QStringLiteral("namespaces"),
                          "<worksheet" + namespaces + "><x" +
                              QByteArray(namespaces).replace("xmlns:p", "xmlns:q") +
                              "/></worksheet>") &&
           writeSheetSeed(folder, QStringLiteral("reused"),
                          "<worksheet><sheetData>" + reused + "</sheetData></worksheet>") &&
           writeSeed(folder, QStringLiteral("twice"), twice);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Kullanım: xlsx-seeds KLASÖR\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const std::vector<QStringList> list = {{"meslek kodları", "MESLEK Adı"},
                                           {"0110.00", "Subaylar"},
                                           {"3111.26", "Waelz Prosesi Laboratuvar Görevlisi     "},
                                           {"5120.10", "Aşçı, Baş"}};
    std::vector<QStringList> shifted = {{"", "Meslekleri Tanıyalım"}, {}};
    shifted.push_back({"", "ISCO-08 KODU", "MESLEK ADI", "Meslek Ana"});
    shifted.push_back({"", "2269.16", "Acil Yardım ve Afet Yöneticisi", "Sağlık"});
    const QByteArray inlineCells =
        "<row r=\"1\"><c r=\"A1\" t=\"inlineStr\"><is><r><t>Meslek </t></r><r><t>Kodu</t></r>"
        "</is></c><c r=\"B1\" t=\"inlineStr\"><is><t>Meslek Adı</t></is></c></row>"
        "<row><c><v>5120.1</v></c><c t=\"str\"><v>Aşçı</v></c></row>"
        "<row r=\"4\"><c r=\"A4\" t=\"inlineStr\"><is><t xml:space=\"preserve\"> 0110.01</t>"
        "</is></c><c r=\"XFD4\" t=\"b\"><v>1</v></c></row>";
    const bool ok =
        writeSeed(folder, QStringLiteral("list"), xlsx::listWorkbook(list)) &&
        writeSeed(folder, QStringLiteral("shifted"), xlsx::listWorkbook(shifted, 3, 1)) &&
        writeSeed(folder, QStringLiteral("inline"),
                  xlsx::workbookParts({{QStringLiteral("Sayfa1"), inlineCells}})) &&
        writeLimitSeeds(folder);
    if (!ok) std::fprintf(stderr, "xlsx-seeds: %s yazılamadı\n", argv[1]);
    return ok ? 0 : 1;
}
