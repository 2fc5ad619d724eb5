// The main window as a user meets it, offscreen: the time from a key press in
// the first search box to the end of the grid's repaint, over the national list,
// 10,000 and 1,000,000 occupations, for a term that many names hold and one
// that none holds; beside it grep -F -c over the same names, folded. Also the
// start-up time to the first painted list with the national list.
//
//   window_bench [--rounds N]
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <string>
#include <vector>

#include "app/TmeslekanaF.h"
#include "data/OccupationRecordSet.h"
#include "grid/OccupationGrid.h"
#include "support/BenchSupport.h"

namespace {

struct Timings {
    std::vector<double> many;
    std::vector<double> none;
};

// Every key of `term` typed, then every character erased with Backspace; one
// sample per key.
void typeText(TmeslekanaF& window, const QString& term, std::vector<double>& samples) {
    auto* box = window.findChild<QLineEdit*>(QStringLiteral("Edit1"));
    OccupationGrid& grid = window.grid();
    QElapsedTimer timer;
    for (const QChar c : term) {
        timer.start();
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
        grid.viewport()->repaint();
        samples.push_back(bench::elapsedMs(timer));
    }
    for (qsizetype i = 0; i < term.size(); ++i) {
        timer.start();
        QTest::keyClick(box, Qt::Key_Backspace);
        grid.viewport()->repaint();
        samples.push_back(bench::elapsedMs(timer));
    }
}

void report(const char* label, const std::vector<double>& samples) {
    std::printf("  %-28s median %8.3f ms   worst %8.3f ms   (%zu keys)\n", label,
                bench::median(samples), bench::worst(samples), samples.size());
}

}  // namespace

int main(int argc, char** argv) {
    bench::WindowApplication application(argc, argv);
    const int rounds = bench::roundsArgument(argc, argv, 5);

    QTemporaryDir temp;
    const QString many = QStringLiteral("mühendis");
    const QString none = QStringLiteral("xqz");

    // The national list, as the build made it.
    const QString listDir = QCoreApplication::applicationDirPath();
    if (QFile::exists(listDir + QStringLiteral("/AnaData/MeslekAna.mdb"))) {
        std::vector<double> startups;
        for (int i = 0; i < rounds; ++i) startups.push_back(bench::MainWindow(listDir).startupMs);
        std::printf(
            "Start-up to the first painted list, national list: median %.1f ms, worst %.1f ms\n",
            bench::median(startups), bench::worst(startups));
        bench::MainWindow national(listDir);
        Timings timings;
        for (int i = 0; i < rounds; ++i) {
            typeText(*national.window, many, timings.many);
            typeText(*national.window, none, timings.none);
        }
        std::printf("National list (%d rows):\n", national.window->recordSet().recordCount());
        report("term many names hold", timings.many);
        report("term no name holds", timings.none);
    }

    for (int rows : {10000, 1000000}) {
        const QString dir = temp.filePath(QStringLiteral("rows-%1").arg(rows));
        const auto occupations = jet4::syntheticOccupations(rows, 42);
        bench::writeProgramDatabase(dir, occupations);
        const QString namesFile = dir + QStringLiteral("/names.txt");
        bench::writeFoldedNames(occupations, namesFile);

        bench::MainWindow window(dir);
        Timings timings;
        typeText(*window.window, many, timings.many);  // the folded names are made here
        timings.many.clear();
        for (int i = 0; i < rounds; ++i) {
            typeText(*window.window, many, timings.many);
            typeText(*window.window, none, timings.none);
        }
        std::vector<double> grepNone;
        const std::vector<std::string> grep = {"grep", "-F", "-c", none.toStdString(),
                                               namesFile.toStdString()};
        const std::string scratch = temp.filePath(QStringLiteral("grep.out")).toStdString();
        bench::timeCommand(grep, scratch, "C.UTF-8", 1);  // brings the file into the cache
        for (int i = 0; i < rounds * 2 + 1; ++i) {
            grepNone.push_back(bench::timeCommand(grep, scratch, "C.UTF-8", 1) * 1000);
        }
        std::printf("%d rows (window shows %d):\n", rows, window.window->recordSet().windowSize());
        report("term many names hold", timings.many);
        report("term no name holds", timings.none);
        report("grep -F -c, no match", grepNone);
        std::printf("  ratio of medians, no match: %.2f\n",
                    bench::median(timings.none) / bench::median(grepNone));
    }
    std::printf(
        "Targets: median under 1 ms at 10,000 rows whatever the term; at 1,000,000 rows and "
        "no match, at most half of grep's median.\n");
    return 0;
}
