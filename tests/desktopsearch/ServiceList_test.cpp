#include <QFile>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "desktopsearch/SearchService.h"
#include "desktopsearch/ServiceList.h"
#include "support/TempWorkDir.h"

namespace {

std::vector<jet4::OccupationRow> kitchen() {
    return {{"7113.09", "Taşçı", QString()},
            {"5120.10", "Aşçı", QString()},
            {"3434.01", "Aşçıbaşı", QString()}};
}

// Two folders under a temporary one: the user's, then the installed one.
struct Folders {
    TempWorkDir dir;
    QString user = dir.path(QStringLiteral("user"));
    QString installed = dir.path(QStringLiteral("installed"));

    void write(const QString& folder, const std::vector<jet4::OccupationRow>& rows,
               const QString& password = ConnectionSettings::builtInDatabasePassword()) const {
        dir.writeDatabase(QDir(dir.path()).relativeFilePath(ServiceList::databaseIn(folder)),
                          jet4::occupationDatabase(rows, password));
    }
};

QStringList namesOf(const DesktopSearchIndex& index, const QStringList& terms) {
    QStringList names;
    for (const QString& id : index.search(terms)) names << index.row(id)->name;
    return names;
}

}  // namespace

TEST(ServiceListTest, TheUsersOwnListComesBeforeTheInstalledOne) {
    Folders folders;
    folders.write(folders.installed, kitchen());
    ServiceList list({folders.user, folders.installed});
    EXPECT_EQ(namesOf(*list.index(), {"asci"}), (QStringList{"Aşçı", "Aşçıbaşı", "Taşçı"}));
    EXPECT_EQ(list.folder(), folders.installed);

    folders.write(folders.user, {{"1111.11", "Kendi Aşçım", QString()}});
    EXPECT_EQ(namesOf(*list.index(), {"asci"}), QStringList{"Kendi Aşçım"});
    EXPECT_EQ(list.folder(), folders.user);
}

TEST(ServiceListTest, AnUnchangedFileKeepsItsIndexAndAChangedOneIsReadAgain) {
    Folders folders;
    folders.write(folders.user, kitchen());
    ServiceList list({folders.user});
    const auto first = list.index();
    EXPECT_EQ(list.index(), first);

    auto changed = kitchen();
    changed[0].name = QStringLiteral("Mermer Taşçısı");
    folders.write(folders.user, changed);
    const auto second = list.index();
    EXPECT_NE(second, first);
    EXPECT_EQ(namesOf(*second, {"mermer"}), QStringList{"Mermer Taşçısı"});
    // Ids of the old content name nothing now.
    EXPECT_FALSE(second->row(first->search({"taşçı"}).value(0)).has_value());
}

TEST(ServiceListTest, AnUnreadableListAnswersNothingAndSaysSoOnce) {
    Folders folders;
    QStringList lines;
    ServiceList list({folders.user, folders.installed},
                     [&lines](const QString& line) { lines << line; });

    // No list anywhere.
    EXPECT_EQ(list.index()->size(), 0);
    EXPECT_EQ(list.index()->size(), 0);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].contains(ServiceList::databaseIn(folders.user))) << lines[0].toStdString();
    EXPECT_TRUE(list.folder().isEmpty());

    // A damaged file.
    QDir().mkpath(folders.user + QStringLiteral("/AnaData"));
    QFile damaged(ServiceList::databaseIn(folders.user));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(4096, 'x'));
    damaged.close();
    EXPECT_EQ(list.index()->size(), 0);
    EXPECT_EQ(list.index()->size(), 0);
    ASSERT_EQ(lines.size(), 2);

    // Another password than the program's.
    folders.write(folders.user, kitchen(), QStringLiteral("baska"));
    EXPECT_EQ(list.index()->search({"asci"}).size(), 0);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_NE(lines[2], lines[1]);

    // Mended: answers again, and a later failure is told again.
    folders.write(folders.user, kitchen());
    EXPECT_EQ(list.index()->size(), 3);
    QFile::remove(ServiceList::databaseIn(folders.user));
    EXPECT_EQ(list.index()->size(), 0);
    EXPECT_EQ(lines.size(), 4);
}

TEST(SearchServiceTest, ActivationOpensTheWindowInTheListsFolderOnTheRowsCode) {
    Folders folders;
    folders.write(folders.user, kitchen());
    struct Launch {
        QString folder;
        QStringList terms;
        unsigned timestamp;
    };
    std::vector<Launch> launches;
    SearchService service(
        std::make_unique<ServiceList>(QStringList{folders.user}, [](const QString&) {}),
        [&launches](const QString& folder, const QStringList& terms, unsigned timestamp) {
            launches.push_back({folder, terms, timestamp});
        },
        60000);
    const QStringList ids = service.search({"aşçı"});
    ASSERT_EQ(ids.size(), 3);
    const QList<SearchService::Meta> metas = service.metas({ids[1], QStringLiteral("9-x"), ids[0]});
    ASSERT_EQ(metas.size(), 2);
    EXPECT_EQ(metas[0].name, "Aşçıbaşı");
    EXPECT_EQ(metas[0].code, "3434.01");
    EXPECT_EQ(metas[1].name, "Aşçı");

    service.activate(ids[0], 42);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].folder, folders.user);
    EXPECT_EQ(launches[0].terms, QStringList{"5120.10"});
    EXPECT_EQ(launches[0].timestamp, 42u);

    service.activate(QStringLiteral("1-0000000000000000"), 0);
    EXPECT_EQ(launches.size(), 1u);

    service.launchSearch({"kat", "otel", "üçüncü"}, 0);
    ASSERT_EQ(launches.size(), 2u);
    EXPECT_EQ(launches[1].terms, (QStringList{"kat", "otel"}));
    // A term goes to the window's command line cut as the search cuts it.
    service.launchSearch({QString(1000000, QLatin1Char('k'))}, 0);
    ASSERT_EQ(launches.size(), 3u);
    EXPECT_EQ(launches[2].terms, QStringList{QString(256, QLatin1Char('k'))});

    // Names are given for as many ids as a search gives out, however many are asked.
    EXPECT_EQ(service.metas(QStringList(1000000, ids[0])).size(), DesktopSearchIndex::MaxResults);
}

TEST(SearchServiceTest, EndsOnlyAfterItsIdleTimeWithoutACall) {
    Folders folders;
    folders.write(folders.user, kitchen());
    SearchService service(
        std::make_unique<ServiceList>(QStringList{folders.user}, [](const QString&) {}),
        [](const QString&, const QStringList&, unsigned) {}, 400);
    QSignalSpy idle(&service, &SearchService::idle);
    // Calls every 100 ms keep it alive well past its idle time.
    for (int i = 0; i < 10; ++i) {
        QTest::qWait(100);
        service.search({"kat"});
    }
    EXPECT_EQ(idle.count(), 0);
    EXPECT_TRUE(idle.wait(5000));
}
