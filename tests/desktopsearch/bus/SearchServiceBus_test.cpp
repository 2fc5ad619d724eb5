// The search service over a real session bus: this program runs under
// dbus-run-session (see tests/CMakeLists.txt) and starts the built service.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFile>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

#include "desktopsearch/DesktopAdaptors.h"
#include "desktopsearch/SearchService.h"
#include "desktopsearch/ServiceList.h"
#include "support/TempWorkDir.h"

namespace {

const QString BusName = QLatin1String(SearchServiceNames::BusName);
const QString GnomePath = QLatin1String(SearchServiceNames::GnomePath);
const QString Gnome = QStringLiteral("org.gnome.Shell.SearchProvider2");
const QString KRunner = QStringLiteral("org.kde.krunner1");

bool nameOwned() {
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(BusName).value();
}

// The built service, started by hand with a data home of its own.
class Service {
public:
    explicit Service(const QString& dataHome, const QString& idleMs = QStringLiteral("60000"),
                     const QString& busAddress = QString()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        environment.insert(QStringLiteral("MESLEKANA_SERVICE_IDLE_MS"), idleMs);
        if (!busAddress.isEmpty()) {
            environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress);
        }
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(MESLEK_BUILD_DIR "/meslek-arama-servisi"), {});
        process.waitForStarted();
    }
    ~Service() {
        if (process.state() == QProcess::NotRunning) return;
        process.terminate();
        process.waitForFinished(5000);
        // The bus lets the name go a moment later.
        (void)QTest::qWaitFor([] { return !nameOwned(); }, 5000);
    }
    bool waitForName() {
        return QTest::qWaitFor(
                   [this] { return nameOwned() || process.state() == QProcess::NotRunning; },
                   10000) &&
               nameOwned();
    }
    QProcess process;
};

QDBusMessage call(const QString& path, const QString& interface, const QString& method,
                  const QVariantList& arguments) {
    QDBusMessage message = QDBusMessage::createMethodCall(BusName, path, interface, method);
    message.setArguments(arguments);
    message.setAutoStartService(false);
    return QDBusConnection::sessionBus().call(message, QDBus::Block, 10000);
}

std::vector<jet4::OccupationRow> kitchen() {
    return {{"7113.09", "Taşçı", QString()},
            {"5120.10", "Aşçı", QString()},
            {"3434.01", "Aşçıbaşı", QString()}};
}

QString writeList(const TempWorkDir& dir, const std::vector<jet4::OccupationRow>& rows) {
    dir.writeDatabase(
        QStringLiteral("meslekana/AnaData/MeslekAna.mdb"),
        jet4::occupationDatabase(rows, ConnectionSettings::builtInDatabasePassword()));
    return dir.path();
}

// The codes GNOME Shell shows for `terms`, in the order it is given them.
QStringList gnomeCodes(const QStringList& terms) {
    const QDBusMessage ids = call(GnomePath, Gnome, QStringLiteral("GetInitialResultSet"), {terms});
    const QDBusMessage metas = call(GnomePath, Gnome, QStringLiteral("GetResultMetas"),
                                    {ids.arguments().value(0).toStringList()});
    QStringList codes;
    for (const QVariantMap& meta : qdbus_cast<QList<QVariantMap>>(metas.arguments().value(0))) {
        codes << meta.value(QStringLiteral("description")).toString();
    }
    return codes;
}

// The codes KRunner shows for a query line: its matches by relevance.
QStringList kRunnerCodes(const QString& query) {
    const QDBusMessage reply = call(QLatin1String(SearchServiceNames::KRunnerPath), KRunner,
                                    QStringLiteral("Match"), {query});
    RemoteMatches matches = qdbus_cast<RemoteMatches>(reply.arguments().value(0));
    std::stable_sort(
        matches.begin(), matches.end(),
        [](const RemoteMatch& a, const RemoteMatch& b) { return a.relevance > b.relevance; });
    QStringList codes;
    for (const RemoteMatch& match : matches) {
        codes << match.properties.value(QStringLiteral("subtext")).toString();
    }
    return codes;
}

// Every code starts with `start`, in code order.
testing::AssertionResult startInOrder(const QStringList& codes, const QString& start) {
    const bool starting = std::all_of(codes.begin(), codes.end(), [&start](const QString& code) {
        return code.startsWith(start);
    });
    if (starting && std::is_sorted(codes.begin(), codes.end())) return testing::AssertionSuccess();
    return testing::AssertionFailure() << codes.join(QLatin1Char(' ')).toStdString();
}

}  // namespace

TEST(SearchServiceBusTest, AnswersGnomeShellAndKRunnerInTheirOwnTypes) {
    TempWorkDir dir;
    Service service(writeList(dir, kitchen()));
    ASSERT_TRUE(service.waitForName()) << service.process.readAllStandardError().toStdString();

    const QDBusMessage initial =
        call(GnomePath, Gnome, QStringLiteral("GetInitialResultSet"), {QStringList{"asci"}});
    ASSERT_EQ(initial.type(), QDBusMessage::ReplyMessage) << initial.errorMessage().toStdString();
    EXPECT_EQ(initial.signature(), "as");
    const QStringList ids = initial.arguments().value(0).toStringList();
    ASSERT_EQ(ids.size(), 3);

    const QDBusMessage sub = call(GnomePath, Gnome, QStringLiteral("GetSubsearchResultSet"),
                                  {QStringList{ids[0]}, QStringList{"asci", "başı"}});
    EXPECT_EQ(sub.arguments().value(0).toStringList(), QStringList{ids[1]});

    const QDBusMessage metas = call(GnomePath, Gnome, QStringLiteral("GetResultMetas"), {ids});
    ASSERT_EQ(metas.type(), QDBusMessage::ReplyMessage) << metas.errorMessage().toStdString();
    EXPECT_EQ(metas.signature(), "aa{sv}");

    const QDBusMessage match = call(QLatin1String(SearchServiceNames::KRunnerPath), KRunner,
                                    QStringLiteral("Match"), {QStringLiteral("aşçı")});
    ASSERT_EQ(match.type(), QDBusMessage::ReplyMessage) << match.errorMessage().toStdString();
    EXPECT_EQ(match.signature(), "a(sssida{sv})");
    const QDBusMessage actions = call(QLatin1String(SearchServiceNames::KRunnerPath), KRunner,
                                      QStringLiteral("Actions"), {});
    EXPECT_EQ(actions.signature(), "a(sss)");

    // A second service finds the name taken and says so.
    Service second(dir.path());
    ASSERT_TRUE(second.process.waitForFinished(10000));
    EXPECT_EQ(second.process.exitCode(), 1);
    EXPECT_TRUE(second.process.readAllStandardError().contains(BusName.toUtf8()));
}

TEST(SearchServiceBusTest, OnTheBundledListEitherDesktopGetsTheWholeNameFirst) {
    ASSERT_TRUE(QFile::exists(QStringLiteral(MESLEK_BUILD_DIR "/AnaData/MeslekAna.mdb")))
        << "the bundled list is not built (target bundled_database)";
    // No list of the user's own: the service answers from the one beside it.
    TempWorkDir dir;
    Service service(dir.path());
    ASSERT_TRUE(service.waitForName()) << service.process.readAllStandardError().toStdString();

    const QStringList cooks = gnomeCodes({"aşçı"});
    EXPECT_EQ(cooks.mid(0, 3), (QStringList{"5120.10", "3434.01", "5120.22"}));
    EXPECT_EQ(kRunnerCodes(QStringLiteral("aşçı")), cooks);
    EXPECT_EQ(gnomeCodes({"kaynakci"}).value(0), "7212.07");
    EXPECT_EQ(kRunnerCodes(QStringLiteral("Kaynakçı")).value(0), "7212.07");
    const QStringList music = gnomeCodes({"türk", "sanat", "müziği", "sanatçısı"});
    EXPECT_EQ(music.mid(0, 2), (QStringList{"2652.39", "2652.38"}));
    EXPECT_EQ(kRunnerCodes(QStringLiteral("türk sanat müziği sanatçısı")), music);

    // Codes that start with the term first, in code order: all fifteen of
    // 5120, and twenty of the many of 12 before "1112.01" and the like.
    const QStringList cooksByCode = gnomeCodes({"5120"});
    EXPECT_EQ(cooksByCode.size(), 15);
    EXPECT_TRUE(startInOrder(cooksByCode, QStringLiteral("5120.")));
    EXPECT_EQ(kRunnerCodes(QStringLiteral("5120")), cooksByCode);
    const QStringList managers = kRunnerCodes(QStringLiteral("12"));
    EXPECT_EQ(managers.size(), DesktopSearchIndex::MaxResults);
    EXPECT_TRUE(startInOrder(managers, QStringLiteral("12")));
    EXPECT_EQ(gnomeCodes({"12"}), managers);
    EXPECT_EQ(gnomeCodes({"a"}).size(), DesktopSearchIndex::MaxResults);
    EXPECT_EQ(kRunnerCodes(QStringLiteral("a")).size(), DesktopSearchIndex::MaxResults);
}

TEST(SearchServiceBusTest, ADamagedListAnswersNothingWithOneLineAndKeepsRunning) {
    TempWorkDir dir;
    QDir().mkpath(dir.path(QStringLiteral("meslekana/AnaData")));
    QFile damaged(dir.path(QStringLiteral("meslekana/AnaData/MeslekAna.mdb")));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(8192, '\x7f'));
    damaged.close();
    Service service(dir.path());
    ASSERT_TRUE(service.waitForName());
    for (int i = 0; i < 3; ++i) {
        const QDBusMessage reply =
            call(GnomePath, Gnome, QStringLiteral("GetInitialResultSet"), {QStringList{"a"}});
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage);
        EXPECT_TRUE(reply.arguments().value(0).toStringList().isEmpty());
    }
    const QDBusMessage match = call(QLatin1String(SearchServiceNames::KRunnerPath), KRunner,
                                    QStringLiteral("Match"), {QStringLiteral("a")});
    EXPECT_EQ(match.type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(service.process.state(), QProcess::Running);
    QByteArray told;
    (void)QTest::qWaitFor(
        [&] { return (told += service.process.readAllStandardError()).contains('\n'); }, 5000);
    QTest::qWait(200);
    told += service.process.readAllStandardError();
    const QList<QByteArray> lines = told.trimmed().split('\n');
    ASSERT_EQ(lines.size(), 1) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines[0].startsWith("meslek-arama-servisi: ")) << lines[0].toStdString();
}

// A call of any size is answered at once, from its first eight terms: the
// million after them, which match nothing, are ignored.
TEST(SearchServiceBusTest, AHugeCallIsAnsweredFromItsFirstEightTerms) {
    TempWorkDir dir;
    Service service(writeList(dir, kitchen()));
    ASSERT_TRUE(service.waitForName()) << service.process.readAllStandardError().toStdString();
    const QStringList eight = {"a", "ş", "ç", "ı", "aş", "şç", "çı", "aşçı"};
    const QStringList cooks = gnomeCodes(eight);
    ASSERT_EQ(cooks.size(), 3);

    QStringList huge = eight;
    huge.append(QStringList(1000000, QStringLiteral("yok")));
    EXPECT_EQ(gnomeCodes(huge), cooks);
    EXPECT_EQ(kRunnerCodes(huge.join(QLatin1Char(' '))), cooks);
    EXPECT_TRUE(gnomeCodes({QString(4000000, QLatin1Char('a'))}).isEmpty());
    EXPECT_EQ(service.process.state(), QProcess::Running);
}

// An id the desktop passes back is repeated in the journal on one line, its
// control characters escaped and its length cut.
TEST(SearchServiceBusTest, AnIdOfNoRowIsToldOnOneLineAsItWasWritten) {
    TempWorkDir dir;
    Service service(writeList(dir, kitchen()));
    ASSERT_TRUE(service.waitForName());
    const QString forged = QStringLiteral("1-yok\nmeslek-arama-servisi: sahte\x1b[2J");
    call(GnomePath, Gnome, QStringLiteral("ActivateResult"),
         {forged, QStringList(), QVariant::fromValue(0u)});
    call(QLatin1String(SearchServiceNames::KRunnerPath), KRunner, QStringLiteral("Run"),
         {forged + QString(200, QLatin1Char('x')), QString()});
    QByteArray told;
    (void)QTest::qWaitFor(
        [&] { return (told += service.process.readAllStandardError()).count('\n') >= 2; }, 5000);
    QTest::qWait(200);
    told += service.process.readAllStandardError();
    const QStringList lines = QString::fromUtf8(told).trimmed().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2) << told.toStdString();
    const QString shown = QStringLiteral(
        "meslek-arama-servisi: sonuç artık listede yok: "
        "1-yok\\nmeslek-arama-servisi: sahte\\u001B[2J");
    EXPECT_EQ(lines[0], shown);
    EXPECT_TRUE(lines[1].startsWith(shown + QStringLiteral("xxx"))) << lines[1].toStdString();
    EXPECT_TRUE(lines[1].endsWith(QStringLiteral("x…"))) << lines[1].toStdString();
}

TEST(SearchServiceBusTest, EndsAfterItsIdleTimeAndWithoutABusAtOnce) {
    TempWorkDir dir;
    Service idle(writeList(dir, kitchen()), QStringLiteral("300"));
    ASSERT_TRUE(idle.waitForName());
    ASSERT_TRUE(idle.process.waitForFinished(10000));
    EXPECT_EQ(idle.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(idle.process.exitCode(), 0);

    Service busless(dir.path(), QStringLiteral("60000"),
                    QStringLiteral("unix:path=") + dir.path(QStringLiteral("no-bus")));
    ASSERT_TRUE(busless.process.waitForFinished(10000));
    EXPECT_EQ(busless.process.exitCode(), 1);
    EXPECT_TRUE(busless.process.readAllStandardError().startsWith("meslek-arama-servisi: "));
}

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    registerDesktopSearchTypes();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
