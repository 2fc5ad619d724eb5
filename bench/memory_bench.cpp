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

long residentKb() {
    return bench::kilobytes(bench::processStatus(QStringLiteral("self")), "VmRSS");
}

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
    const QString national = temp.filePath(QStringLiteral("national"));
    const QString fullDb = bench::writeProgramDatabase(full, bench::largeRealList(rows));
    const QString nationalDb =
        bench::writeProgramDatabase(national, bench::readOccupationCsv(bench::realListCsv()));

    auto perRow = [rows](long fullKb, long emptyKb) {
        return fullKb < 0 || emptyKb < 0 ? -1.0 : (fullKb - emptyKb) * 1024.0 / rows;
    };
    const double window = perRow(windowKb(self, full), windowKb(self, empty));
    const std::string term = Term.toStdString();
    const double cli = perRow(bench::peakKb({ara, "--db", fullDb.toStdString(), term}),
                              bench::peakKb({ara, "--db", emptyDb.toStdString(), term}));
    const double peer = perRow(bench::peakKb({"mdb-export", fullDb.toStdString(), "meslekler"}),
                               bench::peakKb({"mdb-export", emptyDb.toStdString(), "meslekler"}));
    // The whole list, ordered by code, beyond the peak on the national list.
    const double wholeList = perRow(bench::peakKb({ara, "--db", fullDb.toStdString()}),
                                    bench::peakKb({ara, "--db", nationalDb.toStdString()}));
    std::printf("Resident memory per row at %d rows, after the first search:\n", rows);
    std::printf("  window       %7.1f bytes\n  meslek-ara   %7.1f bytes (peak)\n", window, cli);
    std::printf(
        "  meslek-ara, the whole list, beyond its peak on the national list: %.1f bytes "
        "(target 120)\n",
        wholeList);
    std::printf("  mdb-export   %7.1f bytes (peak; it streams and keeps no rows)\n", peer);
    std::printf("Target: under 150 bytes a row in the window and in meslek-ara.\n");
    return 0;
}
