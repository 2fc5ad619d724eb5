#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>

#include <functional>
#include <memory>

class ServiceList;

// The bus name and the object paths the desktop's search finds the service at.
namespace SearchServiceNames {
inline constexpr char BusName[] = "io.github.meslekana.MeslekArama.SearchProvider";
inline constexpr char GnomePath[] = "/io/github/meslekana/MeslekArama/SearchProvider";
inline constexpr char KRunnerPath[] = "/krunner";
}  // namespace SearchServiceNames

// What the desktop asks for when the user picks a result or asks for the
// search itself: the window started in `folder` (the folder holding the
// service's list) with these search terms. `timestamp` is the desktop's time
// of the user's action (0 when unknown).
using WindowLauncher =
    std::function<void(const QString& folder, const QStringList& terms, unsigned timestamp)>;

// The desktop search service: answers the desktop's search box from the
// occupation list (GNOME Shell's SearchProvider2, KRunner's krunner1 through
// the adaptors) and ends the application after `idleMs` without a call.
class SearchService : public QObject {
    Q_OBJECT
public:
    struct Meta {
        QString id;
        QString name;
        QString code;
    };

    SearchService(std::unique_ptr<ServiceList> list, WindowLauncher launcher, int idleMs,
                  QObject* parent = nullptr);
    ~SearchService() override;

    // The ids of the rows the terms find, best first (DesktopSearchIndex).
    QStringList search(const QStringList& terms);
    // Name and code of each id that names a row of the list as it stands;
    // ids of no row are left out, and so are ids past the first MaxResults.
    QList<Meta> metas(const QStringList& ids);
    // search() and metas() of its results at once, over one reading of the list.
    QList<Meta> found(const QStringList& terms);
    // Opens the window on the row an id names; nothing for an id of no row.
    void activate(const QString& id, unsigned timestamp);
    // Opens the window with the terms (its two boxes take the first two, cut
    // as DesktopSearchIndex::takenTerms cuts them).
    void launchSearch(const QStringList& terms, unsigned timestamp);

    // The application's icon name, as the desktop shows it beside a result.
    static QString iconName();

signals:
    // No call came for the idle time.
    void idle();

private:
    void touch();

    std::unique_ptr<ServiceList> list_;
    WindowLauncher launcher_;
    QTimer idleTimer_;
};

// The window launcher of the installed programs: `program` started detached
// in the folder, with the terms as its arguments.
WindowLauncher processLauncher(const QString& program);
