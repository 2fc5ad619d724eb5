#include "web/engine/WebEngineStart.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>

#include "exceptions/Exceptions.h"
#include "web/engine/EngineWebPanel.h"

namespace {

QString fromEnvironmentOr(const char* variable, const QString& fallback) {
    const QString value = qEnvironmentVariable(variable);
    return value.isEmpty() ? fallback : value;
}

}  // namespace

void prepareWebEngine() { QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts); }

QString webEngineStartProblem() {
    const QString helper = fromEnvironmentOr(
        "QTWEBENGINE_PROCESS_PATH", QLibraryInfo::path(QLibraryInfo::LibraryExecutablesPath) +
                                        QStringLiteral("/QtWebEngineProcess"));
    const QFileInfo helperInfo(helper);
    if (!helperInfo.isFile() || !helperInfo.isExecutable()) {
        return QStringLiteral("The web engine cannot start: its helper program %1 is missing")
            .arg(helper);
    }
    const QString resources =
        fromEnvironmentOr("QTWEBENGINE_RESOURCES_PATH", QLibraryInfo::path(QLibraryInfo::DataPath) +
                                                            QStringLiteral("/resources"));
    const QString pak = resources + QStringLiteral("/qtwebengine_resources.pak");
    if (!QFileInfo(pak).isFile()) {
        return QStringLiteral("The web engine cannot start: its resources %1 are missing").arg(pak);
    }
    return {};
}

WebPanelFactory engineWebPanelFactory() {
    return [](QWidget* parent) -> WebPanel* {
        const QString problem = webEngineStartProblem();
        if (!problem.isEmpty()) throw Exception(problem);
        return new EngineWebPanel(parent);
    };
}
