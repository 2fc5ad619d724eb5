// The window program started for real, off screen, over the tests' own
// session bus: what it takes from its command line, and when it hands its
// terms to a window of its folder that already runs.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QMutex>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include "app/WindowHandoff.h"
#include "support/ProgramRun.h"
#include "support/TempWorkDir.h"

namespace {

bool registered(const QString& name) {
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(name).value();
}

// Stands in for a window of `folder` that runs already: holds the folder's
// bus name and answers each Ara call, keeping the terms handed.
class StandInWindow : public QDBusVirtualObject {
public:
    explicit StandInWindow(const QString& folder) : name_(WindowHandoff::busNameFor(folder)) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        serving_ = bus.registerVirtualObject(QLatin1String(WindowHandoff::ObjectPath), this) &&
                   bus.registerService(name_);
    }
    ~StandInWindow() override {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterService(name_);
        bus.unregisterObject(QLatin1String(WindowHandoff::ObjectPath));
    }
    bool serving() const { return serving_; }
    QList<QStringList> calls() {
        QMutexLocker lock(&mutex_);
        return calls_;
    }
    QStringList lastCall() {
        QMutexLocker lock(&mutex_);
        return calls_.isEmpty() ? QStringList() : calls_.constLast();
    }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.interface() != QLatin1String(WindowHandoff::Interface) ||
            message.member() != QLatin1String("Ara")) {
            return false;
        }
        {
            QMutexLocker lock(&mutex_);
            calls_.append(message.arguments().value(0).toStringList());
        }
        connection.send(message.createReply());
        return true;
    }
    QString introspect(const QString&) const override { return {}; }

private:
    QString name_;
    bool serving_ = false;
    QMutex mutex_;
    QList<QStringList> calls_;
};

// meslekana started in `folder` with `arguments`, its toolkit set up by the
// environment alone; killed if it still runs at the end.
class WindowProgram {
public:
    WindowProgram(const QString& folder, const QStringList& arguments) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(folder);
        process.start(QStringLiteral(MESLEK_BUILD_DIR "/meslekana"), arguments);
        process.waitForStarted(10000);
    }
    ~WindowProgram() {
        if (process.state() == QProcess::NotRunning) return;
        process.kill();
        process.waitForFinished(5000);
    }
    // Ended by itself within `ms`, the bus served meanwhile.
    bool ends(int ms) {
        return QTest::qWaitFor([this] { return process.state() == QProcess::NotRunning; }, ms);
    }
    bool endsWithZeroOnATerminationRequest() {
        ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
        return ends(20000) && process.exitStatus() == QProcess::NormalExit &&
               process.exitCode() == 0;
    }
    std::string errors() { return process.readAllStandardError().toStdString(); }

    QProcess process;
};

std::vector<jet4::OccupationRow> occupations() {
    return {{"5120.01", "Aşçı", QString()}, {"9629.05", "Kat Görevlisi (Otel)", QString()}};
}

// A named pipe nobody reads yet: a reader that opens it shows.
class WatchedPipe {
public:
    explicit WatchedPipe(const QString& path) : path_(QFile::encodeName(path)) {
        made_ = ::mkfifo(path_.constData(), 0600) == 0;
    }
    bool made() const { return made_; }
    // Whether a reader has it open now; one found gets end of file at once.
    bool opened() const {
        const int fd = ::open(path_.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) return false;
        ::close(fd);
        return true;
    }

private:
    QByteArray path_;
    bool made_ = false;
};

}  // namespace

// A start with terms hands them to the window of its folder that runs and
// ends with 0; a start without any opens a window of its own and calls nothing.
TEST(WindowStartBusTest, OnlyAStartWithTermsHandsThemToTheRunningWindow) {
    TempWorkDir work;
    work.writeProgramDatabase(occupations());
    StandInWindow running(work.path());
    ASSERT_TRUE(running.serving());

    WindowProgram withTerms(work.path(), {"kat", "otel"});
    ASSERT_TRUE(withTerms.ends(20000)) << "the terms were not handed over";
    EXPECT_EQ(withTerms.process.exitCode(), 0) << withTerms.errors();
    EXPECT_EQ(running.calls(), QList<QStringList>{QStringList({"kat", "otel"})});

    WindowProgram withoutTerms(work.path(), {});
    // Idle once its window waits for the user; a program that handed over has ended.
    const bool waits = waitUntilIdle(withoutTerms.process.processId()) &&
                       withoutTerms.process.state() == QProcess::Running;
    EXPECT_EQ(running.calls().size(), 1) << "an empty hand-over";
    ASSERT_TRUE(waits) << "no window of its own: " << withoutTerms.errors();
    EXPECT_TRUE(withoutTerms.endsWithZeroOnATerminationRequest()) << withoutTerms.errors();
}

// After "--" everything is a term: no toolkit option (nor the web engine's
// marker) is taken from the command line.
TEST(WindowStartBusTest, ArgumentsThatLookLikeToolkitOptionsAreTerms) {
    TempWorkDir work;
    work.writeProgramDatabase(occupations());
    const WatchedPipe sheet(work.path("sayfa.qss"));
    ASSERT_TRUE(sheet.made());
    const QString styleSheet = QStringLiteral("-stylesheet=") + work.path("sayfa.qss");
    StandInWindow running(work.path());
    ASSERT_TRUE(running.serving());
    const QList<QStringList> termLists = {{styleSheet},
                                          {"--webEngineArgs"},
                                          {"-qwindowtitle", "X"},
                                          {"-platformpluginpath", work.path()},
                                          {"-style=fusion", "-reverse"}};
    for (const QStringList& terms : termLists) {
        const std::string name = terms.join(' ').toStdString();
        WindowProgram program(work.path(), QStringList{"--"} + terms);
        ASSERT_TRUE(program.ends(20000)) << name << ": taken for the toolkit";
        EXPECT_EQ(program.process.exitCode(), 0) << name << ": " << program.errors();
        EXPECT_EQ(running.lastCall(), terms) << name;
    }
    EXPECT_FALSE(sheet.opened());
}

// With no window to hand them to, the program opens its own window on the
// terms, and a style sheet named by one is never read.
TEST(WindowStartBusTest, AWindowOfItsOwnNeverReadsAStyleSheetNamedByATerm) {
    TempWorkDir work;
    work.writeProgramDatabase(occupations());
    const WatchedPipe sheet(work.path("sayfa.qss"));
    ASSERT_TRUE(sheet.made());
    WindowProgram program(work.path(),
                          {"--", QStringLiteral("-stylesheet=") + work.path("sayfa.qss")});
    bool read = false;
    // The window serves its folder's name once it shows.
    const bool shown = QTest::qWaitFor(
        [&] {
            read = read || sheet.opened();
            return registered(WindowHandoff::busNameFor(work.path()));
        },
        30000);
    EXPECT_FALSE(read) << "the style sheet was opened";
    ASSERT_TRUE(shown) << program.errors();
    EXPECT_FALSE(sheet.opened());
    EXPECT_TRUE(program.endsWithZeroOnATerminationRequest()) << program.errors();
}
