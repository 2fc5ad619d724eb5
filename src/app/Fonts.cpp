#include "app/Fonts.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstddef>

namespace {

const char* const TahomaFiles[] = {
    "/usr/share/wine/fonts/tahoma.ttf",
    "/usr/share/wine/fonts/tahomabd.ttf",
};

const char* const MsSansSerifFiles[] = {
    "/usr/share/wine/fonts/ms_sans_serif.ttf",
};

template <std::size_t N>
bool registerFamily(const QString& family, const char* const (&files)[N]) {
    if (QFontDatabase::hasFamily(family)) return true;
    for (const char* file : files) {
        if (QFile::exists(QLatin1String(file))) {
            QFontDatabase::addApplicationFont(QLatin1String(file));
        }
    }
    return QFontDatabase::hasFamily(family);
}

}  // namespace

bool registerTahoma() { return registerFamily(QStringLiteral("Tahoma"), TahomaFiles); }

bool registerMsSansSerif() {
    return registerFamily(QStringLiteral("MS Sans Serif"), MsSansSerifFiles);
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
