#pragma once

#include <QLatin1StringView>
#include <QString>
#include <QStringView>
#include <QXmlStreamReader>

#include <quazipfile.h>

#include <vector>

#include "workbook/Package.h"
#include "workbook/StartTagScan.h"

// One XML part of the package, read in chunks through the zip entry and fed
// to the XML reader, with the inflated bytes counted here. Every part is read
// to the end of its entry, past the XML's end, so that its checksum is
// checked. Each part is held to the limits of XlsxReader.h: its inflated
// size, no DOCTYPE, the nesting, the namespace declarations and the
// attributes of a tag, the length of a text.
namespace xlsx {

class PartReader {
public:
    // Opens the part `name`; refuses a package without it.
    PartReader(Package& package, const QString& name);
    ~PartReader();

    PartReader(const PartReader&) = delete;
    PartReader& operator=(const PartReader&) = delete;

    // The next token; refills from the zip entry as the reader asks for more.
    QXmlStreamReader::TokenType next();

    // The text inside the element just started, including that of elements
    // nested in it; leaves the reader on the element's end. Refused past
    // MaxCellText characters, before they are copied.
    QString elementText();

    // Skips the element just started, with everything inside it.
    void skipElement();

    // Refuses a text of `length` characters past MaxCellText.
    void checkTextLength(qsizetype length) const;

    [[noreturn]] void refuseCut() const;

    const QXmlStreamReader& xml() const { return xml_; }
    const QString& name() const { return name_; }

private:
    [[noreturn]] void refuseXml() const;
    void enter();
    void leave();
    void refill();
    void readToEnd();
    qint64 readChunk(char* buffer);
    void closeWhole();

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

// The value of the attribute `name` without a prefix; empty when there is none.
QStringView attribute(const QXmlStreamReader& xml, QLatin1StringView name);

}  // namespace xlsx
