#include "widgets/Fonts.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QTranslator>

#include <climits>
#include <cstddef>

#include <unistd.h>

namespace {

// Wine's Tahoma draws "İ" as a bare stem on the capital I's wide advance and
// its bold face with the regular outlines; the build makes mended copies
// (tools/fonts/mend_tahoma.py), which lie in `fonts/` beside the program in
// the build tree and in share/meslekana/fonts/ when installed. Wine's own
// files serve when the copies are missing.
const char* const TahomaFileNames[] = {"tahoma.ttf", "tahomabd.ttf"};
const char* const WineFontFolder = "/usr/share/wine/fonts";

const char* const MsSansSerifFiles[] = {
    "/usr/share/wine/fonts/ms_sans_serif.ttf",
};

QString programPath() {
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof(path) - 1);
    return n > 0 ? QFile::decodeName(QByteArray(path, n)) : QString();
}

bool addFonts(const QStringList& files) {
    bool added = false;
    for (const QString& file : files) {
        if (QFile::exists(file)) added |= QFontDatabase::addApplicationFont(file) >= 0;
    }
    return added;
}

template <std::size_t N>
bool registerFamily(const QString& family, const char* const (&files)[N]) {
    if (QFontDatabase::hasFamily(family)) return true;
    QStringList paths;
    for (const char* file : files) paths << QLatin1String(file);
    addFonts(paths);
    return QFontDatabase::hasFamily(family);
}

}  // namespace

QString programFontFolderFor(const QString& executable) {
    const QString dir = QFileInfo(executable).absolutePath();
    const QString beside = dir + QStringLiteral("/fonts");
    if (QFileInfo(beside + QStringLiteral("/tahoma.ttf")).isFile()) return beside;
    return QDir::cleanPath(dir + QLatin1Char('/') + QLatin1String(MESLEK_INSTALLED_FONT_DIRECTORY));
}

bool registerTahoma() {
    const QString family = QStringLiteral("Tahoma");
    if (QFontDatabase::hasFamily(family)) return true;
    const QString own = programFontFolderFor(programPath());
    QStringList files;
    for (const char* name : TahomaFileNames) files << own + QLatin1Char('/') + QLatin1String(name);
    if (!addFonts(files)) {
        files.clear();
        for (const char* name : TahomaFileNames)
            files << QLatin1String(WineFontFolder) + QLatin1Char('/') + QLatin1String(name);
        addFonts(files);
    }
    return QFontDatabase::hasFamily(family);
}

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
