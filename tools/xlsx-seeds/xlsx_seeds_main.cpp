// Writes small workbooks into a folder, as seeds for the workbook fuzz target:
//   xlsx-seeds FOLDER
// Each seed starts with the byte that tells the target it is a whole file.
#include <QDir>
#include <QFile>

#include <cstdio>

#include "workbook/XlsxWriter.h"

namespace {

bool writeSeed(const QDir& folder, const QString& name, const std::vector<xlsx::Part>& parts) {
    QFile file(folder.filePath(name));
    if (!file.open(QIODevice::WriteOnly)) return false;
    return file.write("\x00", 1) == 1 && file.write(xlsx::zipParts(parts)) > 0;
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
                  xlsx::workbookParts({{QStringLiteral("Sayfa1"), inlineCells}}));
    if (!ok) std::fprintf(stderr, "xlsx-seeds: %s yazılamadı\n", argv[1]);
    return ok ? 0 : 1;
}
