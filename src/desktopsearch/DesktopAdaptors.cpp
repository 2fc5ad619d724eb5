#include "desktopsearch/DesktopAdaptors.h"

#include <QDBusMetaType>

#include "desktopsearch/DesktopSearchIndex.h"
#include "desktopsearch/SearchService.h"

GnomeSearchProvider::GnomeSearchProvider(SearchService* service)
    : QDBusAbstractAdaptor(service), service_(service) {}

QStringList GnomeSearchProvider::GetInitialResultSet(const QStringList& terms) {
    return service_->search(terms);
}

QStringList GnomeSearchProvider::GetSubsearchResultSet(const QStringList& /*previousResults*/,
                                                       const QStringList& terms) {
    return service_->search(terms);
}

QList<QVariantMap> GnomeSearchProvider::GetResultMetas(const QStringList& identifiers) {
    QList<QVariantMap> metas;
    for (const SearchService::Meta& meta : service_->metas(identifiers)) {
        metas.append(QVariantMap{{QStringLiteral("id"), meta.id},
                                 {QStringLiteral("name"), meta.name},
                                 {QStringLiteral("description"), meta.code},
                                 {QStringLiteral("gicon"), SearchService::iconName()}});
    }
    return metas;
}

void GnomeSearchProvider::ActivateResult(const QString& identifier, const QStringList& /*terms*/,
                                         uint timestamp) {
    service_->activate(identifier, timestamp);
}

void GnomeSearchProvider::LaunchSearch(const QStringList& terms, uint timestamp) {
    service_->launchSearch(terms, timestamp);
}

QDBusArgument& operator<<(QDBusArgument& argument, const RemoteMatch& match) {
    argument.beginStructure();
    argument << match.id << match.text << match.iconName << match.type << match.relevance
             << match.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, RemoteMatch& match) {
    argument.beginStructure();
    argument >> match.id >> match.text >> match.iconName >> match.type >> match.relevance >>
        match.properties;
    argument.endStructure();
    return argument;
}

QDBusArgument& operator<<(QDBusArgument& argument, const RemoteAction& action) {
    argument.beginStructure();
    argument << action.id << action.text << action.iconName;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, RemoteAction& action) {
    argument.beginStructure();
    argument >> action.id >> action.text >> action.iconName;
    argument.endStructure();
    return argument;
}

KRunnerRunner::KRunnerRunner(SearchService* service)
    : QDBusAbstractAdaptor(service), service_(service) {}

RemoteActions KRunnerRunner::Actions() {
    // Running a match opens the window on it: no other action.
    return {};
}

RemoteMatches KRunnerRunner::Match(const QString& query) {
    const QStringList terms = DesktopSearchIndex::termsOf(query);
    const QList<SearchService::Meta> metas = service_->found(terms);
    RemoteMatches matches;
    for (qsizetype i = 0; i < metas.size(); ++i) {
        const SearchService::Meta& meta = metas.at(i);
        RemoteMatch match;
        match.id = meta.id;
        match.text = meta.name;
        match.iconName = SearchService::iconName();
        // A code typed whole is the row asked for.
        match.type =
            terms.size() == 1 && meta.code == terms.constFirst() ? ExactMatch : PossibleMatch;
        // KRunner orders by relevance: keep the service's order.
        match.relevance = 1.0 - static_cast<double>(i) / (2.0 * DesktopSearchIndex::MaxResults);
        match.properties.insert(QStringLiteral("subtext"), meta.code);
        matches.append(match);
    }
    return matches;
}

void KRunnerRunner::Run(const QString& matchId, const QString& /*actionId*/) {
    service_->activate(matchId, 0);
}

void registerDesktopSearchTypes() {
    qDBusRegisterMetaType<QVariantMap>();
    qDBusRegisterMetaType<QList<QVariantMap>>();
    qDBusRegisterMetaType<RemoteMatch>();
    qDBusRegisterMetaType<RemoteMatches>();
    qDBusRegisterMetaType<RemoteAction>();
    qDBusRegisterMetaType<RemoteActions>();
}
