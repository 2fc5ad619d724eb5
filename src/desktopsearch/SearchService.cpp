#include "desktopsearch/SearchService.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <cstdio>

#include "desktopsearch/DesktopSearchIndex.h"
#include "desktopsearch/ServiceList.h"
#include "text/ShownValue.h"

SearchService::SearchService(std::unique_ptr<ServiceList> list, WindowLauncher launcher, int idleMs,
                             QObject* parent)
    : QObject(parent), list_(std::move(list)), launcher_(std::move(launcher)) {
    idleTimer_.setSingleShot(true);
    idleTimer_.setInterval(idleMs);
    connect(&idleTimer_, &QTimer::timeout, this, &SearchService::idle);
    idleTimer_.start();
}

SearchService::~SearchService() = default;

QString SearchService::iconName() { return QStringLiteral(MESLEK_APP_ID); }

void SearchService::touch() { idleTimer_.start(); }

QStringList SearchService::search(const QStringList& terms) {
    touch();
    return list_->index()->search(terms);
}

namespace {

QList<SearchService::Meta> metasIn(const DesktopSearchIndex& index, const QStringList& ids) {
    QList<SearchService::Meta> found;
    for (const QString& id : ids) {
        if (const auto row = index.row(id)) found.append({id, row->name, row->code});
    }
    return found;
}

}  // namespace

QList<SearchService::Meta> SearchService::metas(const QStringList& ids) {
    touch();
    // No search gives out more ids than that.
    return metasIn(*list_->index(), ids.mid(0, DesktopSearchIndex::MaxResults));
}

QList<SearchService::Meta> SearchService::found(const QStringList& terms) {
    touch();
    const auto index = list_->index();
    return metasIn(*index, index->search(terms));
}

void SearchService::activate(const QString& id, unsigned timestamp) {
    touch();
    const auto row = list_->index()->row(id);
    if (!row) {
        std::fprintf(stderr, "meslek-arama-servisi: sonuç artık listede yok: %s\n",
                     qUtf8Printable(shownvalue::shown(id)));
        return;
    }
    launcher_(list_->folder(), {row->code}, timestamp);
}

void SearchService::launchSearch(const QStringList& terms, unsigned timestamp) {
    touch();
    // The folder of the list the results came from.
    list_->index();
    if (list_->folder().isEmpty()) return;
    launcher_(list_->folder(), DesktopSearchIndex::takenTerms(terms).mid(0, 2), timestamp);
}

WindowLauncher processLauncher(const QString& program) {
    return [program](const QString& folder, const QStringList& terms, unsigned timestamp) {
        QProcess process;
        process.setProgram(program);
        // "--" first: a term is never taken for an option of the toolkit.
        process.setArguments(QStringList{QStringLiteral("--")} + terms);
        process.setWorkingDirectory(folder);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // The desktop's time of the user's action lets the window take the
        // focus that the action asked for.
        if (timestamp != 0) {
            environment.insert(QStringLiteral("DESKTOP_STARTUP_ID"),
                               QStringLiteral("meslekana_TIME%1").arg(timestamp));
        }
        process.setProcessEnvironment(environment);
        process.setStandardInputFile(QProcess::nullDevice());
        if (!process.startDetached()) {
            std::fprintf(stderr, "meslek-arama-servisi: %s başlatılamadı: %s\n",
                         qUtf8Printable(program), qUtf8Printable(process.errorString()));
        }
    };
}
