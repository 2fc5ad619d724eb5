#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class SearchService;

// GNOME Shell's search provider interface (version 2) over the service.
class GnomeSearchProvider : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Shell.SearchProvider2")
public:
    explicit GnomeSearchProvider(SearchService* service);

public slots:
    QStringList GetInitialResultSet(const QStringList& terms);
    // Searches the whole list again: the previous results were cut at the
    // limit, so rows past it may match the narrower terms too.
    QStringList GetSubsearchResultSet(const QStringList& previousResults, const QStringList& terms);
    QList<QVariantMap> GetResultMetas(const QStringList& identifiers);
    void ActivateResult(const QString& identifier, const QStringList& terms, uint timestamp);
    void LaunchSearch(const QStringList& terms, uint timestamp);

private:
    SearchService* service_;
};

// One match and one action as KRunner's D-Bus runners hand them over.
struct RemoteMatch {
    QString id;
    QString text;
    QString iconName;
    int type = 0;
    double relevance = 0;
    QVariantMap properties;
};
struct RemoteAction {
    QString id;
    QString text;
    QString iconName;
};
using RemoteMatches = QList<RemoteMatch>;
using RemoteActions = QList<RemoteAction>;
Q_DECLARE_METATYPE(RemoteMatch)
Q_DECLARE_METATYPE(RemoteAction)

QDBusArgument& operator<<(QDBusArgument& argument, const RemoteMatch& match);
const QDBusArgument& operator>>(const QDBusArgument& argument, RemoteMatch& match);
QDBusArgument& operator<<(QDBusArgument& argument, const RemoteAction& action);
const QDBusArgument& operator>>(const QDBusArgument& argument, RemoteAction& action);

// KRunner's D-Bus runner interface over the service.
class KRunnerRunner : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.krunner1")
public:
    // KRunner's match kinds (KRunner::QueryMatch::Type).
    static constexpr int PossibleMatch = 30;
    static constexpr int ExactMatch = 100;

    explicit KRunnerRunner(SearchService* service);

public slots:
    RemoteActions Actions();
    // The query is the line as typed: its words are the terms.
    RemoteMatches Match(const QString& query);
    void Run(const QString& matchId, const QString& actionId);

private:
    SearchService* service_;
};

// The D-Bus types above, made known to Qt D-Bus; once, before the first call.
void registerDesktopSearchTypes();
