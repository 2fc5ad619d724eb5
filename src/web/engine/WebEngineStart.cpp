#include "web/engine/WebEngineStart.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>

#include <cerrno>
#include <cstring>

#include "exceptions/Exceptions.h"
#include "web/engine/EngineWebPanel.h"

namespace {

QString fromEnvironmentOr(const char* variable, const QString& fallback) {
    const QString value = qEnvironmentVariable(variable);
    return value.isEmpty() ? fallback : value;
}

}  // namespace

void prepareWebEngine() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }

int webEngineStartError() {
    const QString helper = fromEnvironmentOr(
        "QTWEBENGINE_PROCESS_PATH", QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) +
                                        QStringLiteral("/QtWebEngineProcess"));
    const QFileInfo helperInfo(helper);
    if (!helperInfo.isFile()) return ENOENT;
    if (!helperInfo.isExecutable()) return EACCES;
    const QString resources =
        fromEnvironmentOr("QTWEBENGINE_RESOURCES_PATH", QLibraryInfo::path(QLibraryInfo::DataPath) +
                                                            QStringLiteral("/resources"));
    if (!QFileInfo(resources + QStringLiteral("/qtwebengine_resources.pak")).isFile())
        return ENOENT;
    return 0;
}

WebPanelFactory engineWebPanelFactory() {
    return [](QWidget* parent) -> WebPanel* {
        if (const int error = webEngineStartError()) {
            throw EOleSysError(QString::fromLocal8Bit(std::strerror(error)), error);
        }
        return new EngineWebPanel(parent);
    };
}
