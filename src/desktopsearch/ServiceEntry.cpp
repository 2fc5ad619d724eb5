#include "desktopsearch/ServiceEntry.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

#include "desktopsearch/DesktopAdaptors.h"
#include "desktopsearch/SearchService.h"
#include "desktopsearch/ServiceList.h"

namespace {

constexpr int DefaultIdleMs = 2 * 60 * 1000;

int idleMs() {
    bool ok = false;
    const int shortened = qEnvironmentVariableIntValue("MESLEKANA_SERVICE_IDLE_MS", &ok);
    return ok && shortened > 0 ? shortened : DefaultIdleMs;
}

int fail(const QString& message) {
    std::fprintf(stderr, "meslek-arama-servisi: %s\n", qUtf8Printable(message));
    return 1;
}

// The window program beside the service (the build tree), else where it is
// installed relative to it.
QString windowProgram(const QString& serviceFolder) {
    const QString beside = serviceFolder + QStringLiteral("/meslekana");
    if (QFileInfo(beside).isExecutable()) return beside;
    return QDir::cleanPath(serviceFolder + QLatin1Char('/') +
                           QLatin1String(MESLEK_INSTALLED_PROGRAM_DIRECTORY) +
                           QStringLiteral("/meslekana"));
}

QStringList listFolders(const QString& serviceFolder) {
    QStringList folders = ServiceList::standardFolders(QDir::cleanPath(
        serviceFolder + QLatin1Char('/') + QLatin1String(MESLEK_INSTALLED_DATA_DIRECTORY)));
    // In the build tree the bundled list lies beside the programs.
    folders.append(serviceFolder);
    return folders;
}

}  // namespace

int runSearchService(QCoreApplication& application) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return fail(
            QStringLiteral("oturum veri yoluna bağlanılamadı: %1").arg(bus.lastError().message()));
    }
    registerDesktopSearchTypes();
    const QString serviceFolder = QCoreApplication::applicationDirPath();
    SearchService service(std::make_unique<ServiceList>(listFolders(serviceFolder)),
                          processLauncher(windowProgram(serviceFolder)), idleMs());
    new GnomeSearchProvider(&service);
    new KRunnerRunner(&service);
    QObject::connect(&service, &SearchService::idle, &application, &QCoreApplication::quit);
    if (!bus.registerObject(QLatin1String(SearchServiceNames::GnomePath), &service,
                            QDBusConnection::ExportAdaptors) ||
        !bus.registerObject(QLatin1String(SearchServiceNames::KRunnerPath), &service,
                            QDBusConnection::ExportAdaptors)) {
        return fail(QStringLiteral("nesne kaydedilemedi: %1").arg(bus.lastError().message()));
    }
    if (!bus.registerService(QLatin1String(SearchServiceNames::BusName))) {
        return fail(
            QStringLiteral("%1 adı alınamadı: %2")
                .arg(QLatin1String(SearchServiceNames::BusName), bus.lastError().message()));
    }
    return QCoreApplication::exec();
}
