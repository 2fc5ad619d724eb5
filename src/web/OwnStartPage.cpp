#include "web/OwnStartPage.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QLatin1String PageName("baslangic.html");

}  // namespace

QString ownStartPageFor(const QString& executable) {
    const QString dir = QFileInfo(executable).absolutePath();
    const QString beside = dir + QLatin1Char('/') + PageName;
    if (QFileInfo(beside).isFile()) return beside;
    const QString installed =
        QDir::cleanPath(dir + QLatin1Char('/') + QLatin1String(MESLEK_INSTALLED_PAGE_DIRECTORY) +
                        QLatin1Char('/') + PageName);
    if (QFileInfo(installed).isFile()) return installed;
    return {};
}

QUrl builtInStartPage() { return QUrl(QStringLiteral("qrc:/web/") + PageName); }
