// The desktop's search over the national list, through a session bus of the
// benchmark's own (it starts itself again under dbus-run-session, with a
// service file naming the built meslek-arama-servisi):
//   - from the service's activation by a first call to that call's answer,
//     beside meslek-ara answering the same term from a cold start;
//   - GetInitialResultSet with one and with two terms, the service running,
//     beside a Ping of the same service (the bus's own round trip);
//   - the service's resident memory, idle after answering, beside the same
//     process idle before its first call (Qt and the bus alone).
//
//   desktop_search_bench [--rounds N]
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "desktopsearch/SearchService.h"
#include "support/BenchSupport.h"

namespace {

const QString BusName = QLatin1String(SearchServiceNames::BusName);
const QString GnomePath = QLatin1String(SearchServiceNames::GnomePath);

QString serviceProgram() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/meslek-arama-servisi");
}

// Outside a session of its own: writes the service file and the list, then
// runs this program again under dbus-run-session. Returns only on failure.
int runInOwnSession(char** argv) {
    QTemporaryDir temp;
    temp.setAutoRemove(false);
    const QString services = temp.filePath(QStringLiteral("share/dbus-1/services"));
    QDir().mkpath(services);
    QFile serviceFile(services + QLatin1Char('/') + BusName + QStringLiteral(".service"));
    if (!serviceFile.open(QIODevice::WriteOnly)) return 1;
    serviceFile.write(QStringLiteral("[D-BUS Service]\nName=%1\nExec=%2\n")
                          .arg(BusName, serviceProgram())
                          .toUtf8());
    serviceFile.close();
    const auto rows = bench::readOccupationCsv(bench::realListCsv());
    if (rows.empty()) return 1;
    bench::writeProgramDatabase(temp.filePath(QStringLiteral("data-home/meslekana")), rows);
    qputenv("XDG_DATA_DIRS", (temp.filePath(QStringLiteral("share")) + QStringLiteral(":") +
                              qEnvironmentVariable("XDG_DATA_DIRS", "/usr/share"))
                                 .toUtf8());
    qputenv("XDG_DATA_HOME", temp.filePath(QStringLiteral("data-home")).toUtf8());
    qputenv("MESLEK_BENCH_SESSION", temp.path().toUtf8());
    std::vector<char*> args{const_cast<char*>("dbus-run-session"), const_cast<char*>("--")};
    for (char** a = argv; *a != nullptr; ++a) args.push_back(*a);
    args.push_back(nullptr);
    execvp("dbus-run-session", args.data());
    std::perror("desktop_search_bench: dbus-run-session");
    return 1;
}

bool nameOwned() {
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(BusName).value();
}

QDBusMessage call(const QString& path, const QString& interface, const QString& method,
                  const QVariantList& arguments, bool autoStart = false) {
    QDBusMessage message = QDBusMessage::createMethodCall(BusName, path, interface, method);
    message.setArguments(arguments);
    message.setAutoStartService(autoStart);
    return QDBusConnection::sessionBus().call(message, QDBus::Block, 10000);
}

QDBusMessage initialResults(const QStringList& terms, bool autoStart = false) {
    return call(GnomePath, QStringLiteral("org.gnome.Shell.SearchProvider2"),
                QStringLiteral("GetInitialResultSet"), {terms}, autoStart);
}

uint servicePid() { return QDBusConnection::sessionBus().interface()->servicePid(BusName).value(); }

void stopService() {
    const uint pid = servicePid();
    if (pid != 0) kill(static_cast<pid_t>(pid), SIGTERM);
    QDeadlineTimer deadline(5000);
    while (nameOwned() && !deadline.hasExpired()) QThread::msleep(5);
}

std::vector<double> timedCalls(int rounds, const std::function<bool()>& body) {
    std::vector<double> ms;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!body()) {
            std::fprintf(stderr, "desktop_search_bench: a call failed\n");
            std::exit(1);
        }
        ms.push_back(bench::elapsedMs(timer));
    }
    return ms;
}

void report(const char* label, const std::vector<double>& ms) {
    std::printf("  %-50s median %7.3f ms  worst %7.3f ms\n", label, bench::median(ms),
                bench::worst(ms));
}

long rssKb(uint pid) {
    return bench::kilobytes(bench::processStatus(QString::number(pid)), "VmRSS");
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    if (qEnvironmentVariableIsEmpty("MESLEK_BENCH_SESSION")) return runInOwnSession(argv);
    const int rounds = bench::roundsArgument(argc, argv, 200);
    std::printf("desktop search over the national list (%d rounds)\n", rounds);

    // Activation: each round starts the service anew.
    std::vector<double> activation;
    for (int i = 0; i < std::max(5, rounds / 20); ++i) {
        stopService();
        const auto answer = timedCalls(1, [] {
            return initialResults({QStringLiteral("aşçı")}, true).type() ==
                   QDBusMessage::ReplyMessage;
        });
        activation.push_back(answer.front());
    }
    std::vector<double> cold;
    const std::string list =
        (qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/meslekana/AnaData/MeslekAna.mdb"))
            .toStdString();
    const std::string ara = (QCoreApplication::applicationDirPath() + "/meslek-ara").toStdString();
    for (std::size_t i = 0; i < activation.size(); ++i) {
        cold.push_back(1000 * bench::timeCommand({ara, "--db", list, "aşçı"}));
    }
    report("activation to the first answer ('aşçı')", activation);
    report("peer: meslek-ara 'aşçı', a cold start", cold);

    // The running service.
    const auto one = timedCalls(rounds, [] {
        return initialResults({QStringLiteral("aşçı")}).type() == QDBusMessage::ReplyMessage;
    });
    const auto two = timedCalls(rounds, [] {
        return initialResults({QStringLiteral("inşaat"), QStringLiteral("mühendis")}).type() ==
               QDBusMessage::ReplyMessage;
    });
    const auto wide = timedCalls(rounds, [] {
        return initialResults({QStringLiteral("a")}).type() == QDBusMessage::ReplyMessage;
    });
    const auto plain = timedCalls(rounds, [] {
        return initialResults({QStringLiteral("muhendis")}).type() == QDBusMessage::ReplyMessage;
    });
    const auto ping = timedCalls(rounds, [] {
        return call(GnomePath, QStringLiteral("org.freedesktop.DBus.Peer"), QStringLiteral("Ping"),
                    {})
                   .type() == QDBusMessage::ReplyMessage;
    });
    report("GetInitialResultSet ['aşçı']", one);
    report("GetInitialResultSet ['inşaat', 'mühendis']", two);
    report("GetInitialResultSet ['a'] (most rows match)", wide);
    report("GetInitialResultSet ['muhendis'] (plain Latin)", plain);
    report("peer: Ping of the same service", ping);

    // Memory, idle: after answering, and a fresh process before any call.
    const long answered = rssKb(servicePid());
    stopService();
    QProcess fresh;
    fresh.start(serviceProgram(), {});
    fresh.waitForStarted();
    QDeadlineTimer deadline(5000);
    while (!nameOwned() && !deadline.hasExpired()) QThread::msleep(5);
    QThread::msleep(300);
    const long bare = rssKb(static_cast<uint>(fresh.processId()));
    fresh.terminate();
    fresh.waitForFinished(5000);
    std::printf("  %-50s %7.1f MB (target under 30 MB)\n", "resident memory, idle after answering",
                answered / 1024.0);
    std::printf("  %-50s %7.1f MB\n", "peer: the same, idle before its first call", bare / 1024.0);
    QDir(qEnvironmentVariable("MESLEK_BENCH_SESSION")).removeRecursively();
    return 0;
}
