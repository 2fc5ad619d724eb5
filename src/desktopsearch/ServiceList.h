#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

#include "desktopsearch/DesktopSearchIndex.h"

class Connection;
class RawTable;

// The list the desktop search service answers from: AnaData/MeslekAna.mdb in
// the first folder of `folders` that holds one (a list of the user's own
// before the installed one). The table is read through the program's own
// data layer with its own password, and kept while the file is unchanged, by
// the same rule as the window's (see ResultCache); the search index over it
// is made once per table read.
class ServiceList {
public:
    // Where failures are told: one line each, on the error output unless given.
    using FailureSink = std::function<void(const QString& line)>;

    explicit ServiceList(QStringList folders, FailureSink tell = {});
    ~ServiceList();
    ServiceList(const ServiceList&) = delete;
    ServiceList& operator=(const ServiceList&) = delete;

    // The index of the list as it now stands. When the list cannot be read
    // (no file, a damaged file, a wrong password) an empty index, and the
    // failure is told to the error output once, until the list can be read
    // again or fails otherwise.
    std::shared_ptr<const DesktopSearchIndex> index();
    // The folder holding the list the last index() read, empty when none did.
    const QString& folder() const { return folder_; }

    // Where the list is looked for: $XDG_DATA_HOME/meslekana (by default
    // ~/.local/share/meslekana), then `installed`.
    static QStringList standardFolders(const QString& installed);
    // The database file under a folder.
    static QString databaseIn(const QString& folder);

private:
    std::shared_ptr<const DesktopSearchIndex> read(const QString& folder);
    void tellFailure(const QString& message);

    QStringList folders_;
    QString folder_;
    std::unique_ptr<Connection> connection_;
    std::shared_ptr<const RawTable> indexedTable_;  // the table the index was made from
    std::shared_ptr<const DesktopSearchIndex> index_;
    FailureSink tell_;
    QString lastFailure_;
};
