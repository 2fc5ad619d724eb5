#include "desktopsearch/ServiceList.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

#include "data/Connection.h"
#include "data/ConnectionSettings.h"
#include "data/FieldBinding.h"
#include "exceptions/Exceptions.h"

namespace {

// The rows in the start-up statement's order, code and name as stored.
std::vector<DesktopSearchRow> rowsOf(const ResultSet& result) {
    const int code = result.columnIndex(QStringLiteral("meslek_kodu"));
    const int name = result.columnIndex(QStringLiteral("meslek_adi"));
    if (code < 0 || name < 0) {
        throw Exception(QStringLiteral("meslekler tablosunda meslek_kodu ya da meslek_adi yok"));
    }
    std::vector<DesktopSearchRow> rows;
    rows.reserve(static_cast<std::size_t>(result.recordCount()));
    for (int position = 1; position <= result.recordCount(); ++position) {
        rows.push_back({result.valueAt(position, code), result.valueAt(position, name)});
    }
    return rows;
}

}  // namespace

ServiceList::ServiceList(QStringList folders, FailureSink tell)
    : folders_(std::move(folders)), tell_(std::move(tell)) {
    if (!tell_) {
        tell_ = [](const QString& line) {
            std::fprintf(stderr, "meslek-arama-servisi: %s\n", qUtf8Printable(line));
            std::fflush(stderr);
        };
    }
}

ServiceList::~ServiceList() = default;

QStringList ServiceList::standardFolders(const QString& installed) {
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    // XDG_DATA_HOME counts only as an absolute path; a relative one is as good as unset.
    if (dataHome.isEmpty() || QDir::isRelativePath(dataHome)) {
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    }
    return {QDir::cleanPath(dataHome + QStringLiteral("/meslekana")), QDir::cleanPath(installed)};
}

QString ServiceList::databaseIn(const QString& folder) {
    return folder + QStringLiteral("/AnaData/MeslekAna.mdb");
}

std::shared_ptr<const DesktopSearchIndex> ServiceList::index() {
    QString chosen;
    for (const QString& folder : folders_) {
        if (QFileInfo::exists(databaseIn(folder))) {
            chosen = folder;
            break;
        }
    }
    if (chosen.isEmpty()) {
        folder_.clear();
        tellFailure(QStringLiteral("meslek listesi yok: %1 bulunamadı")
                        .arg(folders_.isEmpty() ? QString() : databaseIn(folders_.constFirst())));
        return std::make_shared<const DesktopSearchIndex>();
    }
    try {
        auto index = read(chosen);
        lastFailure_.clear();
        return index;
    } catch (const Exception& failure) {
        tellFailure(failure.message());
        return std::make_shared<const DesktopSearchIndex>();
    }
}

std::shared_ptr<const DesktopSearchIndex> ServiceList::read(const QString& folder) {
    if (folder != folder_ || !connection_) {
        // Another folder: another file, connected anew.
        folder_.clear();
        indexedTable_.reset();
        index_.reset();
        connection_ = std::make_unique<Connection>();
        ConnectionSettings::applyTo(
            *connection_, ConnectionSettings::connectionStringWith(databaseIn(folder), QString()));
        connection_->setValueColumns(occupationValueColumns());
    }
    connection_->open();
    folder_ = folder;
    const std::unique_ptr<ResultSet> result =
        connection_->execute(ConnectionSettings::startupStatement());
    if (index_ && indexedTable_ == result->sharedTable()) return index_;
    index_ = std::make_shared<const DesktopSearchIndex>(rowsOf(*result));
    indexedTable_ = result->sharedTable();
    return index_;
}

void ServiceList::tellFailure(const QString& message) {
    if (message == lastFailure_) return;
    lastFailure_ = message;
    tell_(message);
}
