// Resident memory per occupation at 1,000,000 rows: resident memory after the
// first search minus resident memory on an empty table, divided by the rows;
// in the window (offscreen, a term typed into the first box) and in meslek-ara
// (its peak, searching the same term), with mdb-export's peak beside it.
//
//   memory_bench                      runs everything
//   memory_bench --window-child DIR   (internal) one window on DIR's database
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "grid/OccupationGrid.h"
#include "support/BenchSupport.h"

namespace {

const QString Term = QStringLiteral("mühendis");

// Fields of /proc/PID/status ("Name", "VmRSS", ...), keyed without the colon.
std::map<QByteArray, QByteArray> processStatus(const QString& pid) {
    std::map<QByteArray, QByteArray> fields;
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return fields;
    for (const QByteArray& line : status.readAll().split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0) fields[line.left(colon)] = line.mid(colon + 1).trimmed();
    }
    return fields;
}

// A "1234 kB" field in kB; -1 when absent.
long kilobytes(const std::map<QByteArray, QByteArray>& fields, const char* name) {
    const auto field = fields.find(name);
    return field == fields.end() ? -1 : field->second.split(' ').first().toLong();
}

long residentKb() { return kilobytes(processStatus(QStringLiteral("self")), "VmRSS"); }

int windowChild(int argc, char** argv, const QString& dir) {
    bench::WindowApplication application(argc, argv);
    bench::MainWindow window(dir);
    auto* box = window.window->findChild<QLineEdit*>(QStringLiteral("Edit1"));
    for (const QChar c : Term) {
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
    window.window->grid().viewport()->repaint();
    std::printf("%ld\n", residentKb());
    return 0;
}

// The high-water mark of process `pid` once it runs `program` (before the
// exec it is a copy of this process); -1 before that or after its end.
long highWaterKb(pid_t pid, const std::string& program) {
    const auto fields = processStatus(QString::number(pid));
    const QByteArray name = QByteArray::fromStdString(program).split('/').last().left(15);
    const auto running = fields.find("Name");
    if (running == fields.end() || running->second != name) return -1;
    return kilobytes(fields, "VmHWM");
}

// Peak resident memory of a whole process, in kB; -1 when it failed. Read
// from the process's own high-water mark until it exits: the rusage of a
// child forked from this large process would count this process's memory.
long peakKb(const std::vector<std::string>& args) {
    const pid_t pid = fork();
    if (pid == 0) {
        freopen("/dev/null", "w", stdout);
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    long peak = -1;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        peak = std::max(peak, highWaterKb(pid, args[0]));
        usleep(2000);
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed (status %d)\n", args[0].c_str(), status);
        return -1;
    }
    // A process that ended before it could be looked at counts as nothing.
    return std::max(peak, 0L);
}

long windowKb(const std::string& self, const QString& dir) {
    QProcess child;
    child.start(QString::fromStdString(self), {QStringLiteral("--window-child"), dir});
    if (!child.waitForFinished(600000)) return -1;
    return child.readAllStandardOutput().trimmed().toLong();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--window-child") == 0) {
        return windowChild(argc, argv, QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication application(argc, argv);
    const std::string self = QCoreApplication::applicationFilePath().toStdString();
    const std::string ara = (QCoreApplication::applicationDirPath() + "/meslek-ara").toStdString();
    QTemporaryDir temp;
    const int rows = 1000000;
    const QString empty = temp.filePath(QStringLiteral("empty"));
    const QString full = temp.filePath(QStringLiteral("full"));
    const QString emptyDb = bench::writeProgramDatabase(empty, {});
    const QString fullDb = bench::writeProgramDatabase(full, jet4::syntheticOccupations(rows, 42));

    auto perRow = [rows](long fullKb, long emptyKb) {
        return fullKb < 0 || emptyKb < 0 ? -1.0 : (fullKb - emptyKb) * 1024.0 / rows;
    };
    const double window = perRow(windowKb(self, full), windowKb(self, empty));
    const std::string term = Term.toStdString();
    const double cli = perRow(peakKb({ara, "--db", fullDb.toStdString(), term}),
                              peakKb({ara, "--db", emptyDb.toStdString(), term}));
    const double peer = perRow(peakKb({"mdb-export", fullDb.toStdString(), "meslekler"}),
                               peakKb({"mdb-export", emptyDb.toStdString(), "meslekler"}));
    std::printf("Resident memory per row at %d rows, after the first search:\n", rows);
    std::printf("  window       %7.1f bytes\n  meslek-ara   %7.1f bytes (peak)\n", window, cli);
    std::printf("  mdb-export   %7.1f bytes (peak; it streams and keeps no rows)\n", peer);
    std::printf("Target: under 150 bytes a row in the window and in meslek-ara.\n");
    return 0;
}
