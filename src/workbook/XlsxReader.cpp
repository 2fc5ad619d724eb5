#include "workbook/XlsxReader.h"

#include <QDir>
#include <QHash>
#include <QLocale>
#include <QXmlStreamReader>

#include <quazip.h>
#include <quazipfile.h>

#include <algorithm>
#include <array>
#include <optional>

#include "text/ShownValue.h"
#include "workbook/StartTagScan.h"

namespace xlsx {

namespace {

using shownvalue::shown;

constexpr qint64 ChunkBytes = 64 * 1024;

[[noreturn]] void fail(const QString& message) { throw Error{message}; }

// "xl/worksheets/sheet1.xml" for "XL/Worksheets/Sheet1.XML": part names are
// the same whatever the case of their ASCII letters.
QString asciiLower(const QString& name) {
    QString lower = name;
    for (QChar& c : lower)
        if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() + (u'a' - u'A'));
    return lower;
}

// The zip container, with its entries found by part name without regard to
// ASCII case. The package format treats two names that differ only so as one,
// so a package holding both is refused: picking either would let the other
// decide what is read.
class Package {
public:
    explicit Package(QIODevice& device) : zip_(&device) {
        if (!zip_.open(QuaZip::mdUnzip)) refuseAsZip();
        const QStringList names = zip_.getFileNameList();
        if (zip_.getZipError() != UNZ_OK) refuseAsZip();
        for (const QString& name : names) {
            const QString key = asciiLower(name);
            if (const auto found = entries_.constFind(key); found != entries_.constEnd())
                fail(QStringLiteral("çalışma kitabında aynı adlı iki bölüm var (%1, %2); bölüm "
                                    "adlarında büyük-küçük harf ayrımı yapılmaz, dosya kabul "
                                    "edilmedi")
                         .arg(shown(*found), shown(name)));
            entries_.insert(key, name);
        }
    }

    Package(const Package&) = delete;
    Package& operator=(const Package&) = delete;

    QuaZip& zip() { return zip_; }

    // The entry's name as the zip holds it; empty when there is none.
    QString entry(const QString& partName) const { return entries_.value(asciiLower(partName)); }

private:
    [[noreturn]] static void refuseAsZip() {
        fail(
            QStringLiteral("bir Excel çalışma kitabı (.xlsx) değil: zip dosyası olarak "
                           "açılamadı ya da bozuk"));
    }

    QuaZip zip_;
    QHash<QString, QString> entries_;  // by asciiLower(name)
};

// One XML part of the package, read in chunks through the zip entry and fed
// to the XML reader, with the inflated bytes counted here. Every part is read
// to the end of its entry, past the XML's end, so that its checksum is
// checked.
class PartReader {
public:
    PartReader(Package& package, const QString& name)
        : name_(name), file_(&package.zip()), scan_(MaxAttributes) {
        const QString entry = package.entry(name);
        if (entry.isEmpty() || !package.zip().setCurrentFile(entry, QuaZip::csSensitive))
            fail(QStringLiteral("çalışma kitabında %1 bölümü yok").arg(shown(name)));
        if (!file_.open(QIODevice::ReadOnly))
            fail(QStringLiteral("%1 bölümü açılamadı: zip dosyası bozuk").arg(shown(name)));
        declaredSize_ = file_.usize();
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
            switch (token) {
                case QXmlStreamReader::Invalid:
                    if (xml_.error() != QXmlStreamReader::PrematureEndOfDocumentError || atEnd_)
                        refuseXml();
                    refill();
                    continue;
                case QXmlStreamReader::DTD:
                    fail(QStringLiteral("%1 bölümünde bir DOCTYPE bildirimi var; çalışma "
                                        "kitaplarında bulunmaz, dosya kabul edilmedi")
                             .arg(shown(name_)));
                case QXmlStreamReader::StartElement:
                    enter();
                    break;
                case QXmlStreamReader::EndElement:
                    leave();
                    break;
                case QXmlStreamReader::EndDocument:
                    readToEnd();
                    break;
                default:
                    break;
            }
            return token;
        }
    }

    // The text inside the element just started, including that of elements
    // nested in it; leaves the reader on the element's end. Refused past
    // MaxCellText characters, before they are copied.
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
                    checkTextLength(text.size() + xml_.text().size());
                    text.append(xml_.text());
                    break;
                case QXmlStreamReader::EndDocument:
                    refuseCut();
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
            if (token == QXmlStreamReader::EndDocument) refuseCut();
        }
    }

    void checkTextLength(qsizetype length) const {
        if (length > MaxCellText)
            fail(QStringLiteral("%1 bölümünde %2 karakterden uzun bir metin var; bir hücre en çok "
                                "%2 karakter tutar, dosya kabul edilmedi")
                     .arg(shown(name_))
                     .arg(MaxCellText));
    }

    [[noreturn]] void refuseCut() const {
        fail(QStringLiteral("%1 bölümü yarıda bitiyor").arg(shown(name_)));
    }

    const QXmlStreamReader& xml() const { return xml_; }
    const QString& name() const { return name_; }

private:
    [[noreturn]] void refuseXml() const {
        fail(QStringLiteral("%1 bölümü geçerli bir XML değil (satır %2, sütun %3): %4")
                 .arg(shown(name_))
                 .arg(xml_.lineNumber())
                 .arg(xml_.columnNumber())
                 .arg(xml_.errorString()));
    }

    // Keeps the depth and the namespace declarations in force within bounds:
    // the reader's memory grows with the first, and its lookup of every name's
    // namespace with the second.
    void enter() {
        const int declared = static_cast<int>(xml_.namespaceDeclarations().size());
        declared_.push_back(declared);
        namespaces_ += declared;
        if (declared_.size() > static_cast<std::size_t>(MaxDepth))
            fail(QStringLiteral("%1 bölümünde öğeler %2 düzeyden derin iç içe geçmiş; çalışma "
                                "kitaplarında bulunmaz, dosya kabul edilmedi")
                     .arg(shown(name_))
                     .arg(MaxDepth));
        if (namespaces_ > MaxNamespaces)
            fail(QStringLiteral("%1 bölümünde aynı anda geçerli %2 ad alanı bildiriminden "
                                "fazlası var; çalışma kitaplarında bulunmaz, dosya kabul edilmedi")
                     .arg(shown(name_))
                     .arg(MaxNamespaces));
    }

    void leave() {
        namespaces_ -= declared_.back();
        declared_.pop_back();
    }

    void refill() {
        std::array<char, ChunkBytes> buffer;
        const qint64 n = readChunk(buffer.data());
        if (n == 0) return;
        if (!scan_.feed(QByteArrayView(buffer.data(), n)))
            fail(QStringLiteral("%1 bölümünde %2 öznitelikten fazlası olan bir öğe var; çalışma "
                                "kitaplarında bulunmaz, dosya kabul edilmedi")
                     .arg(shown(name_))
                     .arg(MaxAttributes));
        xml_.addData(QByteArray(buffer.data(), n));
    }

    // What follows the XML's end is read but not parsed.
    void readToEnd() {
        std::array<char, ChunkBytes> buffer;
        while (!atEnd_) readChunk(buffer.data());
    }

    // Reads up to ChunkBytes; at the entry's end closes it and checks it whole.
    qint64 readChunk(char* buffer) {
        const qint64 n = file_.read(buffer, ChunkBytes);
        if (n < 0) fail(QStringLiteral("%1 bölümü bozuk: açılırken hata oluştu").arg(shown(name_)));
        if (n == 0) {
            atEnd_ = true;
            closeWhole();
            return 0;
        }
        inflated_ += n;
        if (inflated_ > MaxPartBytes)
            fail(QStringLiteral("%1 bölümü açıldığında %2 MB sınırını aşıyor; dosya kabul edilmedi")
                     .arg(shown(name_))
                     .arg(MaxPartBytes / (1024 * 1024)));
        return n;
    }

    // The checksum is checked on close, and only when the entry gave as many
    // bytes as the zip says it holds, so a short entry is refused here too.
    void closeWhole() {
        file_.close();
        if (file_.getZipError() != UNZ_OK || inflated_ != declaredSize_)
            fail(QStringLiteral("%1 bölümü bozuk (sağlama toplamı tutmuyor)").arg(shown(name_)));
    }

    QString name_;
    QuaZipFile file_;
    QXmlStreamReader xml_;
    StartTagScan scan_;
    std::vector<int> declared_;  // namespace declarations of each open element
    int namespaces_ = 0;
    qint64 declaredSize_ = 0;
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
        fail(QStringLiteral("ilişkilerde paketin dışını gösteren bir hedef var: %1")
                 .arg(shown(target)));
    return path;
}

// The relationships of `sourcePart` ("" for the package), internal ones only.
std::vector<Relationship> readRelationships(Package& package, const QString& sourcePart) {
    PartReader part(package, relationshipsPart(sourcePart));
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

WorkbookParts readWorkbook(Package& package) {
    WorkbookParts parts;
    const std::vector<Relationship> root = readRelationships(package, QString());
    const Relationship* document = findByType(root, QLatin1StringView("officeDocument"));
    if (!document) fail(QStringLiteral("paket bir çalışma kitabını göstermiyor (_rels/.rels)"));
    parts.workbook = document->target;

    PartReader workbook(package, parts.workbook);
    for (auto token = workbook.next(); token != QXmlStreamReader::EndDocument;
         token = workbook.next()) {
        if (token == QXmlStreamReader::StartElement &&
            workbook.xml().name() == QLatin1String("sheet"))
            parts.sheets.push_back({attribute(workbook.xml(), QLatin1StringView("name")).toString(),
                                    relationshipId(workbook.xml()).toString()});
    }
    if (parts.sheets.empty()) fail(QStringLiteral("çalışma kitabında hiç sayfa yok"));
    parts.relationships = readRelationships(package, parts.workbook);
    return parts;
}

// The sheet a name given by the user means. Names are compared in lower case
// under Turkish rules, as the header search compares its cells, so "işçi" and
// "İŞÇİ" find "İşçi"; when none matches so, the case of other rules decides,
// so that "liste" still finds "LISTE".
const SheetEntry* findSheet(const std::vector<SheetEntry>& sheets, const QString& wanted) {
    static const QLocale turkish(QLocale::Turkish, QLocale::Turkey);
    const QString key = turkish.toLower(wanted);
    for (const SheetEntry& sheet : sheets)
        if (turkish.toLower(sheet.name) == key) return &sheet;
    for (const SheetEntry& sheet : sheets)
        if (sheet.name.compare(wanted, Qt::CaseInsensitive) == 0) return &sheet;
    return nullptr;
}

// Appends the text of the string item just started (a shared <si> or an
// inline <is>) to `text`, where the item starts at `start`: its <t>, or its
// runs <r><t>; phonetic runs (<rPh>) are readings of the text, not part of
// it. Leaves the reader on the item's end.
void appendStringItem(PartReader& part, QString& text, qsizetype start) {
    int depth = 1;
    while (depth > 0) {
        const auto token = part.next();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
        } else if (token == QXmlStreamReader::StartElement) {
            const QStringView name = part.xml().name();
            if (name == QLatin1String("t")) {
                const QString piece = part.elementText();
                part.checkTextLength(text.size() - start + piece.size());
                text.append(piece);
            } else if (name == QLatin1String("rPh")) {
                part.skipElement();
            } else {
                ++depth;
            }
        } else if (token == QXmlStreamReader::EndDocument) {
            part.refuseCut();
        }
    }
}

// The workbook's shared strings. Short ones are kept in one text block and
// copied at each use, which costs no more than a block of their own would.
// A longer one gets a QString of its own that every cell using it shares, so
// however many cells use it, it is held once.
class SharedStrings {
public:
    static constexpr qsizetype CopiedLength = 256;

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
        if (const auto found = long_.constFind(index); found != long_.constEnd()) return *found;
        const qsizetype start = index == 0 ? 0 : ends_[static_cast<std::size_t>(index - 1)];
        return text_.mid(start, ends_[static_cast<std::size_t>(index)] - start);
    }

private:
    void readItem(PartReader& part) {
        const qsizetype start = text_.size();
        appendStringItem(part, text_, start);
        if (text_.size() - start > CopiedLength) {
            long_.insert(static_cast<qsizetype>(ends_.size()), text_.mid(start));
            text_.truncate(start);
        }
        ends_.push_back(text_.size());
    }

    QString text_;
    std::vector<qsizetype> ends_;
    QHash<qsizetype, QString> long_;  // by index; their place in text_ is empty
};

struct CellReference {
    int row = 0;
    int column = 0;
};

CellReference parseReference(QStringView ref) {
    auto bad = [&] { fail(QStringLiteral("geçersiz hücre başvurusu: %1").arg(shown(ref))); };
    qsizetype i = 0;
    qint64 column = 0;
    while (i < ref.size() && ref[i].isLetter() && ref[i].unicode() < 128) {
        column = column * 26 + (ref[i].toUpper().unicode() - u'A' + 1);
        if (column > MaxColumns)
            fail(QStringLiteral("%1 hücresi biçimin son sütunu XFD'nin ötesinde").arg(shown(ref)));
        ++i;
    }
    if (i == 0 || i == ref.size()) bad();
    qint64 row = 0;
    for (; i < ref.size(); ++i) {
        if (!ref[i].isDigit() || ref[i].unicode() >= 128) bad();
        row = row * 10 + (ref[i].unicode() - u'0');
        if (row > MaxRows)
            fail(QStringLiteral("%1 hücresi biçimin son satırı %2'nın ötesinde")
                     .arg(shown(ref))
                     .arg(MaxRows));
    }
    if (row < 1) bad();
    return {static_cast<int>(row), static_cast<int>(column)};
}

int parseRowNumber(QStringView text) {
    bool ok = false;
    const qint64 row = text.toLongLong(&ok);
    if (!ok || row < 1) fail(QStringLiteral("geçersiz satır numarası: %1").arg(shown(text)));
    if (row > MaxRows)
        fail(QStringLiteral("%1. satır biçimin son satırı %2'nın ötesinde")
                 .arg(shown(text))
                 .arg(MaxRows));
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
                fail(QStringLiteral("%1 bölümünde bir satırın dışında hücre var")
                         .arg(shown(part_.name())));
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
                part_.refuseCut();
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
                fail(QStringLiteral("%1 hücresi %2. satırın içinde duruyor")
                         .arg(shown(ref))
                         .arg(row_));
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
                part_.refuseCut();
            }
        }
        addCell(column, type, value, inlineText, ref);
    }

    QString inlineString() {
        QString text;
        appendStringItem(part_, text, 0);
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
            cell.text = sharedString(*value, column, ref);
        } else if (type == QLatin1String("str")) {
            if (!value) return;
            cell.text = *value;
        } else {
            if (!value || value->isEmpty()) return;
            const bool number = type.isEmpty() || type == QLatin1String("n");
            cell.kind = number ? CellKind::Number : CellKind::Other;
            cell.text = *value;
        }
        keep(std::move(cell));
    }

    QString sharedString(const QString& index, int column, const QString& ref) const {
        bool ok = false;
        const qlonglong at = index.trimmed().toLongLong(&ok);
        std::optional<QString> text = ok ? strings_.at(at) : std::nullopt;
        if (!text)
            fail(QStringLiteral("%1 hücresi olmayan bir paylaşılan metni gösteriyor (%2)")
                     .arg(ref.isEmpty() ? cellName(row_, column) : shown(ref), shown(index)));
        return *std::move(text);
    }

    // Counts what the sheet has handed out: a shared string counts at every
    // use, since the caller may well keep a copy of each.
    void keep(Cell&& cell) {
        if (cells_.size() >= static_cast<std::size_t>(MaxColumns))
            fail(QStringLiteral("%1. satırda %2 hücreden fazlası var; bir satırda en çok %2 "
                                "sütun olur, dosya kabul edilmedi")
                     .arg(row_)
                     .arg(MaxColumns));
        handedOut_ += cell.text.size();
        if (handedOut_ > MaxSheetText)
            fail(QStringLiteral("sayfanın hücrelerindeki metin toplam %1 milyon karakteri aşıyor "
                                "(paylaşılan bir metin kullanıldığı her hücrede sayılır); dosya "
                                "kabul edilmedi")
                     .arg(MaxSheetText / 1000000));
        cells_.push_back(std::move(cell));
    }

    PartReader& part_;
    const SharedStrings& strings_;
    const RowHandler& onRow_;
    int row_ = 0;
    int nextColumn_ = 1;
    qint64 handedOut_ = 0;
    std::vector<Cell> cells_;
};

// The first few sheets' names for a message, each cut and escaped.
QString shownSheetNames(const std::vector<SheetEntry>& sheets) {
    constexpr std::size_t MaxShownSheets = 10;
    QStringList names;
    for (std::size_t i = 0; i < std::min(sheets.size(), MaxShownSheets); ++i)
        names << shown(sheets[i].name);
    if (sheets.size() > MaxShownSheets)
        names << QStringLiteral("… (%1 sayfa daha)").arg(sheets.size() - MaxShownSheets);
    return names.join(QStringLiteral(", "));
}

}  // namespace

QString cellName(int row, int column) {
    QString letters;
    for (int c = column; c > 0; c = (c - 1) / 26) letters.prepend(QChar(u'A' + (c - 1) % 26));
    return letters + QString::number(row);
}

std::vector<QString> sheetNames(QIODevice& device) {
    Package package(device);
    std::vector<QString> names;
    for (const SheetEntry& sheet : readWorkbook(package).sheets) names.push_back(sheet.name);
    return names;
}

void readSheet(QIODevice& device, const QString& sheetName, const RowHandler& onRow) {
    Package package(device);
    const WorkbookParts parts = readWorkbook(package);

    const SheetEntry* sheet = &parts.sheets.front();
    if (!sheetName.isEmpty()) {
        sheet = findSheet(parts.sheets, sheetName);
        if (!sheet) {
            fail(QStringLiteral("\"%1\" adında bir sayfa yok; sayfalar: %2")
                     .arg(shown(sheetName), shownSheetNames(parts.sheets)));
        }
    }
    const auto target = std::find_if(parts.relationships.begin(), parts.relationships.end(),
                                     [&](auto& r) { return r.id == sheet->relationshipId; });
    if (target == parts.relationships.end())
        fail(QStringLiteral("\"%1\" sayfasının bölümü ilişkilerde yok").arg(shown(sheet->name)));

    SharedStrings strings;
    if (const Relationship* shared =
            findByType(parts.relationships, QLatin1StringView("sharedStrings"))) {
        PartReader part(package, shared->target);
        strings.read(part);
    }
    PartReader part(package, target->target);
    SheetReader(part, strings, onRow).read();
}

}  // namespace xlsx
