#include "workbook/PartReader.h"

#include <array>

#include "text/ShownValue.h"
#include "workbook/ReadFailure.h"

namespace xlsx {

namespace {

using shownvalue::shown;

constexpr qint64 ChunkBytes = 64 * 1024;

}  // namespace

PartReader::PartReader(Package& package, const QString& name)
    : name_(name), file_(&package.zip()), scan_(MaxAttributes) {
    const QString entry = package.entry(name);
    if (entry.isEmpty() || !package.zip().setCurrentFile(entry, QuaZip::csSensitive))
        fail(QStringLiteral("çalışma kitabında %1 bölümü yok").arg(shown(name)));
    if (!file_.open(QIODevice::ReadOnly))
        fail(QStringLiteral("%1 bölümü açılamadı: zip dosyası bozuk").arg(shown(name)));
    declaredSize_ = file_.usize();
}

PartReader::~PartReader() {
    if (file_.isOpen()) file_.close();
}

QXmlStreamReader::TokenType PartReader::next() {
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

QString PartReader::elementText() {
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

void PartReader::skipElement() {
    int depth = 1;
    while (depth > 0) {
        const auto token = next();
        if (token == QXmlStreamReader::StartElement) ++depth;
        if (token == QXmlStreamReader::EndElement) --depth;
        if (token == QXmlStreamReader::EndDocument) refuseCut();
    }
}

void PartReader::checkTextLength(qsizetype length) const {
    if (length > MaxCellText)
        fail(QStringLiteral("%1 bölümünde %2 karakterden uzun bir metin var; bir hücre en çok "
                            "%2 karakter tutar, dosya kabul edilmedi")
                 .arg(shown(name_))
                 .arg(MaxCellText));
}

void PartReader::refuseCut() const {
    fail(QStringLiteral("%1 bölümü yarıda bitiyor").arg(shown(name_)));
}

void PartReader::refuseXml() const {
    fail(QStringLiteral("%1 bölümü geçerli bir XML değil (satır %2, sütun %3): %4")
             .arg(shown(name_))
             .arg(xml_.lineNumber())
             .arg(xml_.columnNumber())
             .arg(xml_.errorString()));
}

// Keeps the depth and the namespace declarations in force within bounds:
// the reader's memory grows with the first, and its lookup of every name's
// namespace with the second.
void PartReader::enter() {
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

void PartReader::leave() {
    namespaces_ -= declared_.back();
    declared_.pop_back();
}

void PartReader::refill() {
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
void PartReader::readToEnd() {
    std::array<char, ChunkBytes> buffer;
    while (!atEnd_) readChunk(buffer.data());
}

// Reads up to ChunkBytes; at the entry's end closes it and checks it whole.
qint64 PartReader::readChunk(char* buffer) {
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
void PartReader::closeWhole() {
    file_.close();
    if (file_.getZipError() != UNZ_OK || inflated_ != declaredSize_)
        fail(QStringLiteral("%1 bölümü bozuk (sağlama toplamı tutmuyor)").arg(shown(name_)));
}

QStringView attribute(const QXmlStreamReader& xml, QLatin1StringView name) {
    for (const QXmlStreamAttribute& a : xml.attributes())
        if (a.name() == name && a.prefix().isEmpty()) return a.value();
    return {};
}

}  // namespace xlsx
