#include "app/Fonts.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

const char* const TahomaFiles[] = {
    "/usr/share/wine/fonts/tahoma.ttf",
    "/usr/share/wine/fonts/tahomabd.ttf",
};

}  // namespace

bool registerTahoma() {
    if (QFontDatabase::hasFamily(QStringLiteral("Tahoma"))) return true;
    for (const char* file : TahomaFiles) {
        if (QFile::exists(QLatin1String(file))) {
            QFontDatabase::addApplicationFont(QLatin1String(file));
        }
    }
    return QFontDatabase::hasFamily(QStringLiteral("Tahoma"));
}

void loadTurkishTranslations(QApplication& application) {
    auto* translator = new QTranslator(&application);
    if (translator->load(QStringLiteral("qtbase_tr"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(translator);
    } else {
        delete translator;
    }
}
