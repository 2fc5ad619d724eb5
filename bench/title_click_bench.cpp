// A title click in the main window, offscreen: the time from the left-button
// release over the "Meslek Adı" title to the end of the grid's repaint (the
// grid re-reads the whole list sorted by the name, ASC and DESC in turn), over
// the real list, 100,000 and 1,000,000 occupations, with the search box empty
// and with a term that many names hold. Beside it meslek-ara listing the same
// file sorted by name, whole process, from the same run.
//
//   title_click_bench [--list FILE.csv] [benchmark flags]
//
// The real list is read from FILE.csv, by default from the copy kept beside
// the repository; without it that size is left out.
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "grid/OccupationGrid.h"
#include "support/BenchSupport.h"

namespace {

const QString Term = QStringLiteral("mühendis");
constexpr int NameColumn = 1;

struct Size {
    int rows;
    int rounds;
};

QTemporaryDir* g_temp = nullptr;
std::string g_peer;
std::map<int, std::vector<jet4::OccupationRow>> g_lists;  // by row count
std::map<std::string, std::vector<double>> g_ms;

std::string key(const char* what, int rows, bool filtered) {
    return std::string(what) + "/" + std::to_string(rows) + (filtered ? "/filtered" : "");
}

QString workDir(int rows) { return g_temp->filePath(QStringLiteral("rows-%1").arg(rows)); }

QString databaseFor(int rows) {
    const QString dir = workDir(rows);
    const QString file = dir + QStringLiteral("/AnaData/MeslekAna.mdb");
    if (!QFile::exists(file)) bench::writeProgramDatabase(dir, g_lists.at(rows));
    return file;
}

// One window at a time: a million rows are held only once.
std::unique_ptr<bench::MainWindow> g_window;
std::pair<int, bool> g_shown;

bench::MainWindow& windowFor(int rows, bool filtered) {
    if (g_window == nullptr || g_shown != std::pair(rows, filtered)) {
        g_window.reset();
        databaseFor(rows);
        g_window = std::make_unique<bench::MainWindow>(workDir(rows));
        g_shown = {rows, filtered};
        // The auto search switches the filter on as the term is typed.
        auto* box = g_window->window->findChild<QLineEdit*>(QStringLiteral("Edit1"));
        for (const QChar c : filtered ? Term : QString()) {
            QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    return *g_window;
}

void BM_TitleClick(benchmark::State& state, int rows, bool filtered) {
    OccupationGrid& grid = windowFor(rows, filtered).window->grid();
    auto& samples = g_ms[key("click", rows, filtered)];
    // The first click of a window is not counted.
    if (samples.empty()) bench::timedTitleClick(grid, NameColumn);
    for (auto _ : state) {
        const QString direction = grid.sortDirection();
        const double ms = bench::timedTitleClick(grid, NameColumn);
        state.SetIterationTime(ms / 1000);
        samples.push_back(ms);
        // Every click turns the order round; a click read as anything else does not.
        if (grid.sortDirection() == direction ||
            grid.sortedField() != QLatin1String("meslek_adi") ||
            grid.recordSet().filtered() != filtered) {
            return state.SkipWithError("the click did not re-sort the list as asked");
        }
    }
}

// meslek-ara over the same file, sorted by name: the whole list, or with the
// term only the rows the window shows.
void BM_MeslekAra(benchmark::State& state, int rows, bool withTerm) {
    std::vector<std::string> args = {g_peer, "--db", databaseFor(rows).toStdString(), "--order-by",
                                     "meslek_adi"};
    if (withTerm) args.push_back(Term.toStdString());
    auto& samples = g_ms[key(withTerm ? "peer-term" : "peer", rows, false)];
    for (auto _ : state) {
        const double seconds = bench::timeCommand(args);
        if (seconds < 0) return state.SkipWithError("meslek-ara failed");
        state.SetIterationTime(seconds);
        samples.push_back(seconds * 1000);
    }
}

void printSummary() {
    std::printf(
        "\nTitle click to the end of the repaint, ms; meslek-ara --order-by meslek_adi, "
        "whole process, ms (medians):\n");
    std::printf("%9s %-10s %8s %8s %8s %6s %10s %6s\n", "rows", "search", "median", "worst", "peer",
                "ratio", "peer+term", "ratio");
    for (const auto& [rows, list] : g_lists) {
        for (bool filtered : {false, true}) {
            const auto& clicks = g_ms[key("click", rows, filtered)];
            if (clicks.empty()) continue;
            const double ours = bench::median(clicks);
            std::printf("%9d %-10s %8.1f %8.1f", rows, filtered ? "filtered" : "none", ours,
                        bench::worst(clicks));
            // The peer's columns stay empty when it was not run.
            const auto peer = [&](const char* what, int width) {
                const auto& runs = g_ms[key(what, rows, false)];
                if (!runs.empty()) {
                    std::printf(" %*.1f %6.2f", width, bench::median(runs),
                                ours / bench::median(runs));
                }
            };
            peer("peer", 8);
            if (filtered) peer("peer-term", 10);
            std::printf("\n");
        }
    }
    std::printf("Target: a title click at most 1.2x meslek-ara's whole-list figure.\n");
}

}  // namespace

int main(int argc, char** argv) {
    bench::WindowApplication application(argc, argv);
    QString listFile = bench::realListCsv();
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--list") == 0) listFile = QString::fromLocal8Bit(argv[i + 1]);
    }

    QTemporaryDir temp;
    g_temp = &temp;
    g_peer = QCoreApplication::applicationDirPath().toStdString() + "/meslek-ara";

    std::vector<Size> sizes;
    if (QFile::exists(listFile)) {
        auto real = bench::readOccupationCsv(listFile);
        if (!real.empty()) {
            const int rows = static_cast<int>(real.size());
            g_lists[rows] = std::move(real);
            sizes.push_back({rows, 15});
        }
    } else {
        std::printf("The real list (%s) is not here: that size is left out.\n",
                    qPrintable(listFile));
    }
    for (const Size size : {Size{100000, 9}, Size{1000000, 5}}) {
        g_lists[size.rows] = jet4::syntheticOccupations(size.rows, 42);
        sizes.push_back(size);
    }

    // Each size's window and meslek-ara one after the other, on the same machine.
    for (const Size size : sizes) {
        for (bool filtered : {false, true}) {
            const std::string name = key("BM_TitleClick", size.rows, filtered);
            bench::timedRuns(
                benchmark::RegisterBenchmark(name.c_str(), BM_TitleClick, size.rows, filtered),
                size.rounds);
        }
        for (bool withTerm : {false, true}) {
            const std::string name =
                key(withTerm ? "BM_MeslekAra/term" : "BM_MeslekAra", size.rows, false);
            bench::timedRuns(
                benchmark::RegisterBenchmark(name.c_str(), BM_MeslekAra, size.rows, withTerm),
                size.rounds);
        }
    }
    const int code = bench::runBenchmarks(argc, argv, printSummary);
    g_window.reset();
    return code;
}
