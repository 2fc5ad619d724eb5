#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <future>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include "data/Connection.h"
#include "data/ConnectionSettings.h"
#include "exceptions/Exceptions.h"
#include "jet/JetFile.h"
#include "jet/JetHeader.h"
#include "jet/TableReader.h"
#include "support/OccupationFixtures.h"
#include "support/ProgramRead.h"
#include "support/ProgramRun.h"
#include "support/TempWorkDir.h"

namespace {

constexpr int Page = JetHeader::PageSize;

// Pages 5 on hold the table's rows (src/jetwriter).
constexpr int FirstRowPage = 5;

QString shown(const QString& path) { return QDir::toNativeSeparators(path); }

// The message the program's own path (open, then the start-up statement) fails with.
QString programFailure(const QString& file) {
    try {
        Connection connection;
        runStartupStatement(connection, file);
    } catch (const Exception& e) {
        return e.message();
    }
    return {};
}

// Runs `body` on a thread of its own. When it has not returned within five
// seconds the test fails, and a body stuck opening a named pipe at `path` is
// let go by opening the pipe's other end, so a regression fails, never hangs.
QString withinFiveSeconds(const std::function<QString()>& body, const QString& path) {
    auto result = std::async(std::launch::async, body);
    if (result.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
        ADD_FAILURE() << "still waiting after 5 s: " << path.toStdString();
        const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) ::close(fd);
    }
    return result.get();
}

void makeFifo(const QString& path) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
}

QByteArray patched(QByteArray bytes, int offset, unsigned char orMask) {
    bytes[offset] = static_cast<char>(static_cast<unsigned char>(bytes[offset]) | orMask);
    return bytes;
}

}  // namespace

TEST(OddFilesTest, EachFailureNamesItsCause) {
    TempWorkDir work;
    const auto rows = jet4::syntheticOccupations(900, 3);
    const QByteArray good = TempWorkDir::readAll(work.writeDatabase(
        "good.mdb", jet4::occupationDatabase(rows, ConnectionSettings::builtInDatabasePassword())));
    ASSERT_GT(good.size(), 8 * Page);
    QByteArray jet3 = good;
    jet3[JetHeader::VersionOffset] = 0;

    const struct {
        const char* name;
        std::function<void(const QString&)> make;
        const char* expected;
        const char* below = "";  // opened: the made path with this added
    } cases[] = {
        {"empty", [](const QString& f) { TempWorkDir::writeAll(f, {}); }, "dosya boş"},
        {"not whole pages", [&](const QString& f) { TempWorkDir::writeAll(f, good.chopped(100)); },
         "tam katı değil"},
        {"cut before the catalog's rows",
         [&](const QString& f) { TempWorkDir::writeAll(f, good.left(3 * Page)); },
         "sistem kataloğunun satırları"},
        {"cut before the table's definition",
         [&](const QString& f) { TempWorkDir::writeAll(f, good.left(4 * Page)); },
         "dosya ise 4 sayfa"},
        {"cut inside the rows",
         [&](const QString& f) { TempWorkDir::writeAll(f, good.left(7 * Page)); },
         "dosya ise 7 sayfa"},
        {"last page missing",
         [&](const QString& f) { TempWorkDir::writeAll(f, good.chopped(Page)); },
         "eksik ya da bozuk"},
        {"Jet 3 with 2 KB pages",
         [&](const QString& f) { TempWorkDir::writeAll(f, jet3.left(3 * 2048)); },
         "Access 97 (Jet 3)"},
        {"folder", [](const QString& f) { QDir().mkdir(f); }, "bir dosya değil, bir klasör"},
        {"named pipe", [](const QString& f) { makeFifo(f); }, "adlandırılmış boru"},
        {"socket",
         [](const QString& f) {
             const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
             sockaddr_un address{};
             address.sun_family = AF_UNIX;
             std::strncpy(address.sun_path, QFile::encodeName(f).constData(),
                          sizeof address.sun_path - 1);
             ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
             ::close(fd);
         },
         "bir dosya değil, bir soket"},
        {"link loop",
         [](const QString& f) {
             QFile::link(f + ".b", f);
             QFile::link(f, f + ".b");
         },
         "yoldaki sembolik bağlantılar bir döngü"},
        {"file where a folder should be", [](const QString& f) { TempWorkDir::writeAll(f, "x"); },
         "mdb\" bir klasör değil, bu yüzden", "/MeslekAna.mdb"},
        {"dangling link", [](const QString& f) { QFile::link(f + ".yok", f); },
         "gösterdiği dosya yok"},
        {"a row libmdb skips",
         [&](const QString& f) {
             // Row 0 of the first row page flagged as deleted; the definition still counts it.
             TempWorkDir::writeAll(f, patched(good, FirstRowPage * Page + 0x0F, 0x40));
         },
         "tanımda 900 satır var, okunabilen 899"},
    };
    int n = 0;
    for (const auto& c : cases) {
        const QString file = work.path(QStringLiteral("case%1.mdb").arg(n++));
        c.make(file);
        const QString opened = file + QString::fromUtf8(c.below);
        const QString message = withinFiveSeconds([&] { return programFailure(opened); }, file);
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.expected)))
            << c.name << ": " << message.toStdString();
        EXPECT_TRUE(message.contains(shown(opened))) << c.name << ": " << message.toStdString();
    }
}

// A path is part of the message whole, but its control and bidi characters
// are escaped, and a path of absurd length is cut in its middle.
TEST(OddFilesTest, MessagesShowPathsEscaped) {
    TempWorkDir work;
    const QString hostile = work.path(QStringLiteral("a\nb\u202Ec\u009B.mdb"));
    const QString message = programFailure(hostile);
    EXPECT_TRUE(message.contains(work.path(QStringLiteral("a\\nb\\u202Ec\\u009B.mdb"))))
        << message.toStdString();
    EXPECT_FALSE(message.contains(QChar(u'\n')) || message.contains(QChar(0x202E)) ||
                 message.contains(QChar(0x9B)));

    const QString endless = QString(100000, u'x') + QStringLiteral("/MeslekAna.mdb");
    const QString cut = programFailure(endless);
    EXPECT_LT(cut.size(), 2000);
    EXPECT_TRUE(cut.contains(QStringLiteral("x\u2026x"))) << cut.left(200).toStdString();
    EXPECT_TRUE(cut.contains(QStringLiteral("/MeslekAna.mdb")));
}

TEST(OddFilesTest, TheFileCheckedIsTheFileRead) {
    TempWorkDir work;
    const auto rows = jet4::syntheticOccupations(300, 4);
    const QString file = work.writeDatabase("liste.mdb", jet4::occupationDatabase(rows, {}));

    // Once open, the path may name anything: a named pipe swapped in reads nothing.
    const JetFile opened = JetFile::open(file);
    makeFifo(work.path("boru"));
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_EQ(::rename(QFile::encodeName(work.path("boru")).constData(),
                       QFile::encodeName(file).constData()),
              0);
    const RawTable table = readTable(opened, QStringLiteral("meslekler"));
    ASSERT_EQ(table.rowCount(), rows.size());
    EXPECT_EQ(table.cell(0, 1), rows[0].code);
    EXPECT_EQ(table.cell(rows.size() - 1, 2), rows.back().name);

    // The reader started on the pipe's path by hand does not wait on it either.
    QProcess reader;
    reader.start(readerExecutablePath(), {file, QStringLiteral("meslekler")});
    const bool finished = reader.waitForFinished(5000);
    if (!finished) {
        const int fd = ::open(QFile::encodeName(file).constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) ::close(fd);
        reader.waitForFinished();
    }
    EXPECT_TRUE(finished);
    EXPECT_EQ(reader.exitCode(), 1);
}

// As root every permission check passes: the program runs as nobody there.
TEST(OddFilesTest, PermissionProblemsAreNamedForAnUnprivilegedUser) {
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    if (::geteuid() == 0 && setpriv.isEmpty()) GTEST_SKIP() << "setpriv is not installed";
    auto meslekAraAsNobody = [&](const QString& database) {
        const QString program = QStringLiteral(MESLEK_BUILD_DIR "/meslek-ara");
        if (::geteuid() != 0) return runExecutable(program, {"--db", database});
        return runExecutable(setpriv, {"--reuid=65534", "--regid=65534", "--clear-groups", program,
                                       "--db", database});
    };

    TempWorkDir work;
    QFile::setPermissions(work.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                           QFile::ExeGroup | QFile::ExeOther);
    const auto database = jet4::occupationDatabase(jet4::syntheticOccupations(5, 1),
                                                   ConnectionSettings::builtInDatabasePassword());
    const QString unreadable = work.writeDatabase("okunmaz.mdb", database);
    // No permission for anyone, the owner included, so the cases hold for any user.
    QFile::setPermissions(unreadable, QFile::Permissions());
    QDir().mkdir(work.path("kapali"));
    const QString behindClosedFolder = work.writeDatabase("kapali/MeslekAna.mdb", database);
    QFile::setPermissions(work.path("kapali"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther);

    const struct {
        QString file;
        QString expected;
    } cases[] = {
        {unreadable, QStringLiteral("\"%1\" (okuma izni yok)").arg(shown(unreadable))},
        {behindClosedFolder,
         QStringLiteral("\"%1\" klasörüne girme izni yok").arg(shown(work.path("kapali")))},
    };
    for (const auto& c : cases) {
        const ProgramOutput run = meslekAraAsNobody(c.file);
        EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(c.expected)) << run.err.toStdString();
        EXPECT_FALSE(run.err.contains("Permission denied")) << run.err.toStdString();
    }
    QFile::setPermissions(work.path("kapali"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}
