#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QEvent>
#include <QPoint>
#include <QString>

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/TmeslekanaF.h"
#include "support/OccupationFixtures.h"
#include "widgets/Application.h"
#include "widgets/FailureReporter.h"
#include "widgets/MessageBoxes.h"

class OccupationGrid;
class QWidget;

namespace bench {

// "/N", the key suffix of a size's samples. Built by appending: GCC 12 warns
// falsely on "/" + std::to_string at -O3.
inline std::string rowsKey(int rows) {
    std::string key = "/";
    key += std::to_string(rows);
    return key;
}

// Runs a command and returns its wall time in seconds, or -1 when it could not
// run or failed (exit codes above `okExitCode`). Its output goes to `output`
// (a scratch file; GNU grep stops at the first match when writing to
// /dev/null), or to /dev/null when empty. `locale` sets LC_ALL when not empty.
double timeCommand(const std::vector<std::string>& args, const std::string& output = {},
                   const std::string& locale = {}, int okExitCode = 0);

// Fields of /proc/PID/status ("Name", "VmRSS", ...), keyed without the colon.
std::map<QByteArray, QByteArray> processStatus(const QString& pid);
// A "1234 kB" field in kB; -1 when absent.
long kilobytes(const std::map<QByteArray, QByteArray>& fields, const char* name);
// Peak resident memory of a whole process, in kB, its standard output thrown
// away; -1 when it failed. Read from the process's own high-water mark: the
// rusage of a child forked from a large process would count that one's memory.
long peakKb(const std::vector<std::string>& args);

// Each repetition is one timed run of the body (manual time, in
// milliseconds); only the aggregates are reported, the summary is ours.
void timedRuns(benchmark::internal::Benchmark* b, int repetitions);

// Runs the benchmarks named on the command line, then prints `summary`.
int runBenchmarks(int& argc, char** argv, void (*summary)());

// No box may wait for anyone in a benchmark: each one is printed on the error
// output and answered at once.
class PrintingBoxes : public MessageBoxes {
public:
    int applicationMessageBox(const QString& text, const QString& caption, Icon icon,
                              Buttons buttons) override;
    void fatalMessageBox(const QString& text, const QString& caption) override;
};

// The program's application for a benchmark of its windows: offscreen unless
// QT_QPA_PLATFORM says otherwise, with the program's name and font.
class WindowApplication : public Application {
public:
    WindowApplication(int& argc, char** argv);
};

// The main window as a user meets it, offscreen, opened in `workDir` (which
// holds AnaData/MeslekAna.mdb): 1280x800, shown, and its list painted once.
struct MainWindow {
    PrintingBoxes boxes;
    FailureReporter reporter{boxes};
    std::unique_ptr<TmeslekanaF> window;
    double startupMs = 0;  // from the construction to the end of that first paint

    explicit MainWindow(const QString& workDir);
};

// Milliseconds since `timer` started.
double elapsedMs(const QElapsedTimer& timer);

// The value after "--rounds" on the command line, or `fallback` without one.
int roundsArgument(int argc, char** argv, int fallback);

// A left-button event of `type` at `point` (in `target`'s coordinates), with
// `held` the buttons down after it, sent straight to `target`.
void sendMouse(QWidget* target, QEvent::Type type, const QPoint& point, Qt::MouseButtons held);

// One click on the title of `column` in `grid`: a press (not timed), then the
// release timed with the repaint that follows it; returns those milliseconds.
double timedTitleClick(OccupationGrid& grid, int column);

// Writes `rows` where the program looks for its database under `workDir`
// (AnaData/MeslekAna.mdb), with the program's password; returns that file.
QString writeProgramDatabase(const QString& workDir, const std::vector<jet4::OccupationRow>& rows);

// The national list the program ships (meslek_kodu,meslek_adi), data/meslekler.csv.
QString realListCsv();
// The rows of such a list; empty (with a note on the error output) when the
// file is absent or cannot be read.
std::vector<jet4::OccupationRow> readOccupationCsv(const QString& file);

// `count` occupations as large lists are made for the benchmarks: names drawn
// from the national list, codes made unique (0000.00, 0000.01, ...), rows
// stored in no particular order (the same seed, the same order). Empty when
// the national list cannot be read.
std::vector<jet4::OccupationRow> largeRealList(int count, std::uint32_t seed = 42);

double median(std::vector<double> values);
double worst(const std::vector<double>& values);

// The names folded for searching, one per line, in a file: what grep reads.
void writeFoldedNames(const std::vector<jet4::OccupationRow>& rows, const QString& file);

}  // namespace bench
