// The grid's pop-up menu and the copy command as a user meets them, offscreen,
// over the national list the build makes: the time from the grid's request to
// the menu shown and painted, and of one copy of the current record's code to
// the clipboard (through the menu item, as Ctrl+C runs it).
//
//   copy_bench [benchmark flags]
#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QTest>
#include <QWindow>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "data/OccupationRecordSet.h"
#include "grid/OccupationGrid.h"
#include "support/BenchSupport.h"

namespace {

std::map<std::string, std::vector<double>> g_seconds;

// The main window over the national list, shown and painted.
struct Window : bench::MainWindow {
    QMenu* menu = window->findChild<QMenu*>(QStringLiteral("PopupMenu1"));

    Window() : MainWindow(QCoreApplication::applicationDirPath()) {}
};

// Made on first use; gone before the application object.
std::unique_ptr<Window> g_window;

Window& window() {
    if (!g_window) g_window = std::make_unique<Window>();
    return *g_window;
}

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_OpenPopupMenu(benchmark::State& state) {
    Window& w = window();
    if (w.menu == nullptr) return state.SkipWithError("no pop-up menu");
    OccupationGrid& grid = w.window->grid();
    const QPoint at = grid.mapToGlobal(QPoint(60, 80));
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        emit grid.popupMenuRequested(at);
        const QDeadlineTimer deadline(5000);
        while (!(w.menu->isVisible() && w.menu->windowHandle() != nullptr &&
                 w.menu->windowHandle()->isExposed()) &&
               !deadline.hasExpired()) {
            QCoreApplication::processEvents();
        }
        w.menu->repaint();
        const double seconds = secondsSince(start);
        if (!w.menu->isVisible()) return state.SkipWithError("the menu did not open");
        state.SetIterationTime(seconds);
        g_seconds["menu"].push_back(seconds);
        w.menu->close();
        QCoreApplication::processEvents();
    }
}

void BM_CopyCode(benchmark::State& state) {
    Window& w = window();
    if (w.menu == nullptr) return state.SkipWithError("no pop-up menu");
    OccupationRecordSet& set = w.window->recordSet();
    set.setCurrentWindowIndex(set.windowCount() / 2);
    const QString code = set.fieldText(OccupationRecordSet::MeslekKodu);
    QAction* copyCode = w.menu->actions().value(0);
    QClipboard& clipboard = *QGuiApplication::clipboard();
    for (auto _ : state) {
        clipboard.setText(QStringLiteral("önceki"));
        const auto start = std::chrono::steady_clock::now();
        copyCode->trigger();
        const double seconds = secondsSince(start);
        if (clipboard.text() != code)
            return state.SkipWithError("the code is not on the clipboard");
        state.SetIterationTime(seconds);
        g_seconds["copy"].push_back(seconds);
    }
    state.counters["rows"] = set.recordCount();
}

BENCHMARK(BM_OpenPopupMenu)->Apply([](benchmark::internal::Benchmark* b) {
    bench::timedRuns(b, 25);
});
BENCHMARK(BM_CopyCode)->Apply([](benchmark::internal::Benchmark* b) { bench::timedRuns(b, 25); });

void printSummary() {
    std::printf("\nNational list (%d rows), milliseconds:\n",
                window().window->recordSet().recordCount());
    for (const auto& [label, name] : {std::pair{"menu", "request to the pop-up menu shown"},
                                      std::pair{"copy", "one copy of the code"}}) {
        const auto& samples = g_seconds[label];
        std::printf("  %-34s median %8.3f   worst %8.3f   (%zu runs)\n", name,
                    bench::median(samples) * 1000, bench::worst(samples) * 1000, samples.size());
    }
    std::printf("Target: both well under 100 ms, which a user takes as at once.\n");
}

}  // namespace

int main(int argc, char** argv) {
    bench::WindowApplication application(argc, argv);
    if (!QFile::exists(QCoreApplication::applicationDirPath() +
                       QStringLiteral("/AnaData/MeslekAna.mdb"))) {
        std::fprintf(stderr, "no bundled database beside the program\n");
        return 1;
    }
    const int result = bench::runBenchmarks(argc, argv, printSummary);
    g_window.reset();
    return result;
}
