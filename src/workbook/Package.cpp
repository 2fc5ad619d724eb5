#include "workbook/Package.h"

#include <QStringList>

#include "text/ShownValue.h"
#include "workbook/ReadFailure.h"

namespace xlsx {

namespace {

using shownvalue::shown;

// "xl/worksheets/sheet1.xml" for "XL/Worksheets/Sheet1.XML": part names are
// the same whatever the case of their ASCII letters.
QString asciiLower(const QString& name) {
    QString lower = name;
    for (QChar& c : lower)
        if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() + (u'a' - u'A'));
    return lower;
}

}  // namespace

Package::Package(QIODevice& device) : zip_(&device) {
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

QString Package::entry(const QString& partName) const {
    return entries_.value(asciiLower(partName));
}

void Package::refuseAsZip() {
    fail(
        QStringLiteral("bir Excel çalışma kitabı (.xlsx) değil: zip dosyası olarak "
                       "açılamadı ya da bozuk"));
}

}  // namespace xlsx
