#include "workbook/XlsxReader.h"

#include <QDir>
#include <QXmlStreamReader>

#include <quazip.h>
#include <quazipfile.h>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>

namespace xlsx {

namespace {

constexpr qint64 ChunkBytes = 64 * 1024;

[[noreturn]] void fail(const QString& message) { throw Error{message}; }

// One XML part of the package, read in chunks through the zip entry and fed
// to the XML reader, with the inflated bytes counted here.
class PartReader {
public:
    PartReader(QuaZip& zip, const QString& name) : name_(name), file_(&zip) {
        if (!zip.setCurrentFile(name, QuaZip::csInsensitive))
            fail(QStringLiteral("çalışma kitabında %1 bölümü yok").arg(name));
        if (!file_.open(QIODevice::ReadOnly))
            fail(QStringLiteral("%1 bölümü açılamadı: zip dosyası bozuk").arg(name));
    }

    ~PartReader() {
        if (file_.isOpen()) file_.close();
    }

    PartReader(const PartReader&) = delete;
    PartReader& operator=(const PartReader&) = delete;

    // The next token; refills from the zip entry as the reader asks for more.
    QXmlStreamReader::TokenType next() {
        for (;;) {
            const QXmlStreamReader::TokenType token = xml_.readNext();
            if (token == QXmlStreamReader::Invalid) {
                if (xml_.error() == QXmlStreamReader::PrematureEndOfDocumentError && !atEnd_) {
                    refill();
                    continue;
                }
                fail(QStringLiteral("%1 bölümü geçerli bir XML değil (satır %2, sütun %3): %4")
                         .arg(name_)
                         .arg(xml_.lineNumber())
                         .arg(xml_.columnNumber())
                         .arg(xml_.errorString()));
            }
            if (token == QXmlStreamReader::DTD)
                fail(QStringLiteral("%1 bölümünde bir DOCTYPE bildirimi var; çalışma kitaplarında "
                                    "bulunmaz, dosya kabul edilmedi")
                         .arg(name_));
            return token;
        }
    }

    // The text inside the element just started, including that of elements
    // nested in it; leaves the reader on the element's end.
    QString elementText() {
        QString text;
        int depth = 1;
        while (depth > 0) {
            switch (next()) {
                case QXmlStreamReader::StartElement:
                    ++depth;
                    break;
                case QXmlStreamReader::EndElement:
                    --depth;
                    break;
                case QXmlStreamReader::Characters:
                    text.append(xml_.text());
                    break;
                case QXmlStreamReader::EndDocument:
                    fail(QStringLiteral("%1 bölümü yarıda bitiyor").arg(name_));
                default:
                    break;
            }
        }
        return text;
    }

    // Skips the element just started, with everything inside it.
    void skipElement() {
        int depth = 1;
        while (depth > 0) {
            const auto token = next();
            if (token == QXmlStreamReader::StartElement) ++depth;
            if (token == QXmlStreamReader::EndElement) --depth;
            if (token == QXmlStreamReader::EndDocument)
                fail(QStringLiteral("%1 bölümü yarıda bitiyor").arg(name_));
        }
    }

    const QXmlStreamReader& xml() const { return xml_; }
    const QString& name() const { return name_; }

private:
    void refill() {
        std::array<char, ChunkBytes> buffer;
        const qint64 n = file_.read(buffer.data(), static_cast<qint64>(buffer.size()));
        if (n < 0) fail(QStringLiteral("%1 bölümü bozuk: açılırken hata oluştu").arg(name_));
        if (n == 0) {
            atEnd_ = true;
            file_.close();
            if (file_.getZipError() != UNZ_OK)
                fail(QStringLiteral("%1 bölümü bozuk (sağlama toplamı tutmuyor)").arg(name_));
            return;
        }
        inflated_ += n;
        if (inflated_ > MaxPartBytes)
            fail(QStringLiteral("%1 bölümü açıldığında %2 MB sınırını aşıyor; dosya kabul edilmedi")
                     .arg(name_)
                     .arg(MaxPartBytes / (1024 * 1024)));
        xml_.addData(QByteArray(buffer.data(), n));
    }

    QString name_;
    QuaZipFile file_;
    QXmlStreamReader xml_;
    qint64 inflated_ = 0;
    bool atEnd_ = false;
};

QStringView attribute(const QXmlStreamReader& xml, QLatin1StringView name) {
    for (const QXmlStreamAttribute& a : xml.attributes())
        if (a.name() == name && a.prefix().isEmpty()) return a.value();
    return {};
}

// The relationship id of a <sheet>: the `id` attribute in a relationships namespace.
QStringView relationshipId(const QXmlStreamReader& xml) {
    for (const QXmlStreamAttribute& a : xml.attributes())
        if (a.name() == QLatin1String("id") &&
            a.namespaceUri().endsWith(QLatin1String("/relationships")))
            return a.value();
    return {};
}

struct Relationship {
    QString id;
    QString type;
    QString target;  // a part name, resolved against the source part's folder
};

// "xl/_rels/workbook.xml.rels" for "xl/workbook.xml"; "_rels/.rels" for the package.
QString relationshipsPart(const QString& sourcePart) {
    const qsizetype slash = sourcePart.lastIndexOf(QLatin1Char('/'));
    const QString folder = sourcePart.left(slash + 1);
    return folder + QStringLiteral("_rels/") + sourcePart.mid(slash + 1) + QStringLiteral(".rels");
}

QString resolveTarget(const QString& sourcePart, const QString& target) {
    QString path = target.startsWith(QLatin1Char('/'))
                       ? target.mid(1)
                       : sourcePart.left(sourcePart.lastIndexOf(QLatin1Char('/')) + 1) + target;
    path = QDir::cleanPath(path);
    if (path.isEmpty() || path == QLatin1String(".") || path.startsWith(QLatin1String("../")) ||
        path == QLatin1String("..") || path.startsWith(QLatin1Char('/')))
        fail(QStringLiteral("ilişkilerde paketin dışını gösteren bir hedef var: %1").arg(target));
    return path;
}

// The relationships of `sourcePart` ("" for the package), internal ones only.
std::vector<Relationship> readRelationships(QuaZip& zip, const QString& sourcePart) {
    PartReader part(zip, relationshipsPart(sourcePart));
    std::vector<Relationship> relationships;
    for (auto token = part.next(); token != QXmlStreamReader::EndDocument; token = part.next()) {
        if (token != QXmlStreamReader::StartElement ||
            part.xml().name() != QLatin1String("Relationship"))
            continue;
        const auto& xml = part.xml();
        if (attribute(xml, QLatin1StringView("TargetMode")) == QLatin1String("External")) continue;
        const QString target = attribute(xml, QLatin1StringView("Target")).toString();
        if (target.isEmpty()) continue;
        relationships.push_back({attribute(xml, QLatin1StringView("Id")).toString(),
                                 attribute(xml, QLatin1StringView("Type")).toString(),
                                 resolveTarget(sourcePart, target)});
    }
    return relationships;
}

// Types are compared by their last segment, so the transitional and the
// strict namespaces both match.
const Relationship* findByType(const std::vector<Relationship>& relationships,
                               QLatin1StringView lastSegment) {
    for (const Relationship& r : relationships)
        if (r.type.endsWith(QLatin1Char('/') + lastSegment)) return &r;
    return nullptr;
}

struct SheetEntry {
    QString name;
    QString relationshipId;
};

struct WorkbookParts {
    QString workbook;
    std::vector<SheetEntry> sheets;
    std::vector<Relationship> relationships;
};

WorkbookParts readWorkbook(QuaZip& zip) {
    WorkbookParts parts;
    const std::vector<Relationship> package = readRelationships(zip, QString());
    const Relationship* document = findByType(package, QLatin1StringView("officeDocument"));
    if (!document) fail(QStringLiteral("paket bir çalışma kitabını göstermiyor (_rels/.rels)"));
    parts.workbook = document->target;

    PartReader workbook(zip, parts.workbook);
    for (auto token = workbook.next(); token != QXmlStreamReader::EndDocument;
         token = workbook.next()) {
        if (token == QXmlStreamReader::StartElement &&
            workbook.xml().name() == QLatin1String("sheet"))
            parts.sheets.push_back({attribute(workbook.xml(), QLatin1StringView("name")).toString(),
                                    relationshipId(workbook.xml()).toString()});
    }
    if (parts.sheets.empty()) fail(QStringLiteral("çalışma kitabında hiç sayfa yok"));
    parts.relationships = readRelationships(zip, parts.workbook);
    return parts;
}

// Appends the text of the string item just started (a shared <si> or an
// inline <is>): its <t>, or its runs <r><t>; phonetic runs (<rPh>) are
// readings of the text, not part of it. Leaves the reader on the item's end.
void appendStringItem(PartReader& part, QString& text) {
    int depth = 1;
    while (depth > 0) {
        const auto token = part.next();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
        } else if (token == QXmlStreamReader::StartElement) {
            const QStringView name = part.xml().name();
            if (name == QLatin1String("t")) {
                text.append(part.elementText());
            } else if (name == QLatin1String("rPh")) {
                part.skipElement();
            } else {
                ++depth;
            }
        } else if (token == QXmlStreamReader::EndDocument) {
            fail(QStringLiteral("%1 bölümü yarıda bitiyor").arg(part.name()));
        }
    }
}

// The workbook's shared strings, in one text block.
class SharedStrings {
public:
    void read(PartReader& part) {
        for (auto token = part.next(); token != QXmlStreamReader::EndDocument;
             token = part.next()) {
            if (token == QXmlStreamReader::StartElement && part.xml().name() == QLatin1String("si"))
                readItem(part);
        }
        text_.squeeze();
        ends_.shrink_to_fit();
    }

    std::optional<QString> at(qsizetype index) const {
        if (index < 0 || index >= static_cast<qsizetype>(ends_.size())) return std::nullopt;
        const qsizetype start = index == 0 ? 0 : ends_[static_cast<std::size_t>(index - 1)];
        return text_.mid(start, ends_[static_cast<std::size_t>(index)] - start);
    }

private:
    void readItem(PartReader& part) {
        appendStringItem(part, text_);
        ends_.push_back(text_.size());
    }

    QString text_;
    std::vector<qsizetype> ends_;
};

struct CellReference {
    int row = 0;
    int column = 0;
};

CellReference parseReference(QStringView ref) {
    auto bad = [&] { fail(QStringLiteral("geçersiz hücre başvurusu: %1").arg(ref)); };
    qsizetype i = 0;
    qint64 column = 0;
    while (i < ref.size() && ref[i].isLetter() && ref[i].unicode() < 128) {
        column = column * 26 + (ref[i].toUpper().unicode() - u'A' + 1);
        if (column > MaxColumns)
            fail(QStringLiteral("%1 hücresi biçimin son sütunu XFD'nin ötesinde").arg(ref));
        ++i;
    }
    if (i == 0 || i == ref.size()) bad();
    qint64 row = 0;
    for (; i < ref.size(); ++i) {
        if (!ref[i].isDigit() || ref[i].unicode() >= 128) bad();
        row = row * 10 + (ref[i].unicode() - u'0');
        if (row > MaxRows)
            fail(QStringLiteral("%1 hücresi biçimin son satırı %2'nın ötesinde")
                     .arg(ref)
                     .arg(MaxRows));
    }
    if (row < 1) bad();
    return {static_cast<int>(row), static_cast<int>(column)};
}

int parseRowNumber(QStringView text) {
    bool ok = false;
    const qint64 row = text.toLongLong(&ok);
    if (!ok || row < 1) fail(QStringLiteral("geçersiz satır numarası: %1").arg(text));
    if (row > MaxRows)
        fail(QStringLiteral("%1. satır biçimin son satırı %2'nın ötesinde").arg(text).arg(MaxRows));
    return static_cast<int>(row);
}

// Reads a worksheet part's rows and hands each to `onRow`.
class SheetReader {
public:
    SheetReader(PartReader& part, const SharedStrings& strings, const RowHandler& onRow)
        : part_(part), strings_(strings), onRow_(onRow) {}

    void read() {
        for (auto token = part_.next(); token != QXmlStreamReader::EndDocument;
             token = part_.next()) {
            if (token != QXmlStreamReader::StartElement) continue;
            const QStringView name = part_.xml().name();
            if (name == QLatin1String("row")) {
                readRow();
            } else if (name == QLatin1String("c")) {
                fail(
                    QStringLiteral("%1 bölümünde bir satırın dışında hücre var").arg(part_.name()));
            }
        }
    }

private:
    void readRow() {
        const QStringView number = attribute(part_.xml(), QLatin1StringView("r"));
        row_ = number.isEmpty() ? row_ + 1 : parseRowNumber(number);
        if (row_ > MaxRows)
            fail(QStringLiteral("sayfa biçimin son satırı %1'nın ötesine uzanıyor").arg(MaxRows));
        cells_.clear();
        nextColumn_ = 1;
        int depth = 1;
        while (depth > 0) {
            const auto token = part_.next();
            if (token == QXmlStreamReader::StartElement) {
                if (part_.xml().name() == QLatin1String("c")) {
                    readCell();
                } else {
                    ++depth;
                }
            } else if (token == QXmlStreamReader::EndElement) {
                --depth;
            } else if (token == QXmlStreamReader::EndDocument) {
                fail(QStringLiteral("%1 bölümü yarıda bitiyor").arg(part_.name()));
            }
        }
        if (cells_.empty()) return;
        std::stable_sort(cells_.begin(), cells_.end(),
                         [](const Cell& a, const Cell& b) { return a.column < b.column; });
        onRow_(row_, cells_);
    }

    void readCell() {
        const QXmlStreamReader& xml = part_.xml();
        int column = nextColumn_;
        // A copy: the reader's attribute texts last only until its next token.
        const QString ref = attribute(xml, QLatin1StringView("r")).toString();
        if (!ref.isEmpty()) {
            const CellReference place = parseReference(ref);
            if (place.row != row_)
                fail(QStringLiteral("%1 hücresi %2. satırın içinde duruyor").arg(ref).arg(row_));
            column = place.column;
        } else if (column > MaxColumns) {
            fail(QStringLiteral("%1. satır biçimin son sütunu XFD'nin ötesine uzanıyor").arg(row_));
        }
        nextColumn_ = column + 1;
        const QString type = attribute(xml, QLatin1StringView("t")).toString();

        std::optional<QString> value;
        std::optional<QString> inlineText;
        int depth = 1;
        while (depth > 0) {
            const auto token = part_.next();
            if (token == QXmlStreamReader::StartElement) {
                const QStringView name = part_.xml().name();
                if (name == QLatin1String("v")) {
                    value = part_.elementText();
                } else if (name == QLatin1String("is")) {
                    inlineText = inlineString();
                } else {
                    part_.skipElement();
                }
            } else if (token == QXmlStreamReader::EndElement) {
                --depth;
            } else if (token == QXmlStreamReader::EndDocument) {
                fail(QStringLiteral("%1 bölümü yarıda bitiyor").arg(part_.name()));
            }
        }
        addCell(column, type, value, inlineText, ref);
    }

    QString inlineString() {
        QString text;
        appendStringItem(part_, text);
        return text;
    }

    void addCell(int column, const QString& type, const std::optional<QString>& value,
                 const std::optional<QString>& inlineText, const QString& ref) {
        Cell cell;
        cell.column = column;
        if (type == QLatin1String("inlineStr")) {
            if (!inlineText) return;
            cell.text = *inlineText;
        } else if (type == QLatin1String("s")) {
            if (!value) return;
            bool ok = false;
            const qlonglong index = value->trimmed().toLongLong(&ok);
            const std::optional<QString> text = ok ? strings_.at(index) : std::nullopt;
            if (!text)
                fail(QStringLiteral("%1 hücresi olmayan bir paylaşılan metni gösteriyor (%2)")
                         .arg(ref.isEmpty() ? cellName(row_, column) : ref, *value));
            cell.text = *text;
        } else if (type == QLatin1String("str")) {
            if (!value) return;
            cell.text = *value;
        } else {
            if (!value || value->isEmpty()) return;
            const bool number = type.isEmpty() || type == QLatin1String("n");
            cell.kind = number ? CellKind::Number : CellKind::Other;
            cell.text = *value;
        }
        cells_.push_back(std::move(cell));
    }

    PartReader& part_;
    const SharedStrings& strings_;
    const RowHandler& onRow_;
    int row_ = 0;
    int nextColumn_ = 1;
    std::vector<Cell> cells_;
};

std::unique_ptr<QuaZip> openZip(QIODevice& device) {
    auto zip = std::make_unique<QuaZip>(&device);
    if (!zip->open(QuaZip::mdUnzip))
        fail(
            QStringLiteral("bir Excel çalışma kitabı (.xlsx) değil: zip dosyası olarak "
                           "açılamadı ya da bozuk"));
    return zip;
}

}  // namespace

QString cellName(int row, int column) {
    QString letters;
    for (int c = column; c > 0; c = (c - 1) / 26) letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters + QString::number(row);
}

std::vector<QString> sheetNames(QIODevice& device) {
    const std::unique_ptr<QuaZip> zip = openZip(device);
    std::vector<QString> names;
    for (const SheetEntry& sheet : readWorkbook(*zip).sheets) names.push_back(sheet.name);
    return names;
}

void readSheet(QIODevice& device, const QString& sheetName, const RowHandler& onRow) {
    const std::unique_ptr<QuaZip> zip = openZip(device);
    const WorkbookParts parts = readWorkbook(*zip);

    const SheetEntry* sheet = &parts.sheets.front();
    if (!sheetName.isEmpty()) {
        const auto found = std::find_if(parts.sheets.begin(), parts.sheets.end(), [&](auto& s) {
            return s.name.compare(sheetName, Qt::CaseInsensitive) == 0;
        });
        if (found == parts.sheets.end()) {
            QStringList names;
            for (const SheetEntry& s : parts.sheets) names << s.name;
            fail(QStringLiteral("\"%1\" adında bir sayfa yok; sayfalar: %2")
                     .arg(sheetName, names.join(QStringLiteral(", "))));
        }
        sheet = &*found;
    }
    const auto target = std::find_if(parts.relationships.begin(), parts.relationships.end(),
                                     [&](auto& r) { return r.id == sheet->relationshipId; });
    if (target == parts.relationships.end())
        fail(QStringLiteral("\"%1\" sayfasının bölümü ilişkilerde yok").arg(sheet->name));

    SharedStrings strings;
    if (const Relationship* shared =
            findByType(parts.relationships, QLatin1StringView("sharedStrings"))) {
        PartReader part(*zip, shared->target);
        strings.read(part);
    }
    PartReader part(*zip, target->target);
    SheetReader(part, strings, onRow).read();
}

}  // namespace xlsx
