#include "support/XlsxWriter.h"

#include <QBuffer>
#include <QDateTime>
#include <QHash>
#include <QSaveFile>

#include <quazip.h>
#include <quazipfile.h>
#include <quazipnewinfo.h>

#include <stdexcept>

#include "workbook/XlsxReader.h"

namespace xlsx {

namespace {

const char* const RelationshipsNs =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
const char* const MainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";

QByteArray contentTypes(std::size_t sheets, bool sharedStrings) {
    QByteArray xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
        "<Default Extension=\"rels\" "
        "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
        "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
        "<Override PartName=\"/xl/workbook.xml\" "
        "ContentType=\"application/"
        "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>";
    for (std::size_t i = 1; i <= sheets; ++i)
        xml += "<Override PartName=\"/xl/worksheets/sheet" + QByteArray::number(i) +
               ".xml\" ContentType=\"application/"
               "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>";
    if (sharedStrings)
        xml +=
            "<Override PartName=\"/xl/sharedStrings.xml\" ContentType=\"application/"
            "vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>";
    return xml + "</Types>";
}

}  // namespace

QByteArray escaped(const QString& text) {
    QByteArray out;
    out.reserve(text.size() + 8);
    for (const char c : text.toUtf8()) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::vector<Part> workbookParts(const std::vector<SheetXml>& sheets,
                                const QByteArray& sharedStrings) {
    std::vector<Part> parts;
    const bool shared = !sharedStrings.isEmpty();
    parts.push_back({QStringLiteral("[Content_Types].xml"), contentTypes(sheets.size(), shared)});
    parts.push_back(
        {QStringLiteral("_rels/.rels"),
         QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                    "<Relationships "
                    "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                    "<Relationship Id=\"rId1\" Type=\"") +
             RelationshipsNs + "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"});

    QByteArray workbook = QByteArray(
                              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                              "<workbook xmlns=\"") +
                          MainNs + "\" xmlns:r=\"" + RelationshipsNs + "\"><sheets>";
    QByteArray relationships =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">";
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        const QByteArray n = QByteArray::number(static_cast<qulonglong>(i + 1));
        workbook += "<sheet name=\"" + escaped(sheets[i].name) + "\" sheetId=\"" + n +
                    "\" r:id=\"rId" + n + "\"/>";
        relationships += "<Relationship Id=\"rId" + n + "\" Type=\"" + RelationshipsNs +
                         "/worksheet\" Target=\"worksheets/sheet" + n + ".xml\"/>";
        parts.push_back({QStringLiteral("xl/worksheets/sheet%1.xml").arg(i + 1),
                         QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" "
                                    "standalone=\"yes\"?>\n<worksheet xmlns=\"") +
                             MainNs + "\"><sheetData>" + sheets[i].sheetData +
                             "</sheetData></worksheet>"});
    }
    if (shared) {
        relationships += QByteArray("<Relationship Id=\"rIdS\" Type=\"") + RelationshipsNs +
                         "/sharedStrings\" Target=\"sharedStrings.xml\"/>";
        parts.push_back({QStringLiteral("xl/sharedStrings.xml"),
                         QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" "
                                    "standalone=\"yes\"?>\n<sst xmlns=\"") +
                             MainNs + "\">" + sharedStrings + "</sst>"});
    }
    parts.push_back({QStringLiteral("xl/workbook.xml"), workbook + "</sheets></workbook>"});
    parts.push_back(
        {QStringLiteral("xl/_rels/workbook.xml.rels"), relationships + "</Relationships>"});
    return parts;
}

std::vector<Part> listWorkbook(const std::vector<QStringList>& rows, int firstRow, int firstColumn,
                               const QString& sheetName) {
    QHash<QString, int> indexes;
    QByteArray strings;
    QByteArray sheetData;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const int row = firstRow + static_cast<int>(r);
        sheetData += "<row r=\"" + QByteArray::number(row) + "\">";
        for (qsizetype c = 0; c < rows[r].size(); ++c) {
            const QString& text = rows[r][c];
            if (text.isEmpty()) continue;
            auto found = indexes.find(text);
            if (found == indexes.end()) {
                found = indexes.insert(text, static_cast<int>(indexes.size()));
                const bool blanks = text.front().isSpace() || text.back().isSpace();
                strings += QByteArray(blanks ? "<si><t xml:space=\"preserve\">" : "<si><t>") +
                           escaped(text) + "</t></si>";
            }
            sheetData += "<c r=\"" + cellName(row, firstColumn + static_cast<int>(c)).toLatin1() +
                         "\" t=\"s\"><v>" + QByteArray::number(*found) + "</v></c>";
        }
        sheetData += "</row>";
    }
    return workbookParts({{sheetName, sheetData}}, strings);
}

QByteArray zipParts(const std::vector<Part>& parts) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QuaZip zip(&buffer);
        if (!zip.open(QuaZip::mdCreate)) throw std::runtime_error("cannot create a zip");
        const QDateTime time(QDate(2024, 1, 1), QTime(0, 0));
        for (const Part& part : parts) {
            QuaZipFile file(&zip);
            QuaZipNewInfo info(part.name);
            info.dateTime = time;
            if (!file.open(QIODevice::WriteOnly, info) || file.write(part.data) != part.data.size())
                throw std::runtime_error("cannot write a zip entry");
            file.close();
            if (file.getZipError() != UNZ_OK) throw std::runtime_error("cannot close a zip entry");
        }
        zip.close();
        if (zip.getZipError() != UNZ_OK) throw std::runtime_error("cannot finish a zip");
    }
    return buffer.data();
}

void writeWorkbook(const QString& path, const std::vector<Part>& parts) {
    const QByteArray bytes = zipParts(parts);
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
        throw std::runtime_error("cannot write " + path.toStdString());
}

}  // namespace xlsx
