// The time of one auto search (filter off, then on, through the search
// commands) over lists of 10,000 and 1,000,000 occupations, for a term that
// many names hold and for one that none holds; beside it `grep -F -c` over the
// same names, folded, one per line. Also two terms with VE that many names
// hold each but none together (the scans take turns all through the list),
// and the first search after opening, which makes the blocks it scans.
#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "data/Connection.h"
#include "data/ConnectionSettings.h"
#include "data/OccupationRecordSet.h"
#include "search/SearchCommands.h"
#include "support/BenchSupport.h"
#include "support/OccupationFixtures.h"

namespace {

const QString ManyTerm = QStringLiteral("mühendis");
const QString NoTerm = QStringLiteral("pilot");
const QString OtherManyTerm = QStringLiteral("teknisyen");
constexpr int WindowRows = 25;

QTemporaryDir* g_temp = nullptr;
std::map<std::string, std::vector<double>> g_seconds;

class Boxes : public SearchInputs {
public:
    QString term1() const override { return term; }
    QString term2() const override { return term2_; }
    bool orChosen() const override { return false; }
    bool autoSearchChecked() const override { return true; }
    void clearTerms() override { term.clear(); }
    QString term;
    QString term2_;
};

// An open list of `rows` occupations with its search commands, and the same
// names folded in a text file.
struct SearchSetup {
    explicit SearchSetup(int rows) {
        const QString file = g_temp->filePath(QStringLiteral("rows-%1.mdb").arg(rows));
        const auto occupations = jet4::syntheticOccupations(rows, 42);
        jet4::writeDatabaseFile(
            file,
            jet4::occupationDatabase(occupations, ConnectionSettings::builtInDatabasePassword()));
        namesFile = g_temp->filePath(QStringLiteral("names-%1.txt").arg(rows)).toStdString();
        bench::writeFoldedNames(occupations, QString::fromStdString(namesFile));

        ConnectionSettings::applyTo(connection,
                                    ConnectionSettings::connectionStringWith(
                                        file, ConnectionSettings::builtInDatabasePassword()));
        records.setSql({ConnectionSettings::startupStatement()});
        records.setWindowSize(WindowRows);
        records.open();
    }

    Connection connection;
    OccupationRecordSet records{connection};
    Boxes boxes;
    SearchCommands commands{records, boxes};
    std::string namesFile;
};

SearchSetup& setupFor(int rows) {
    static std::map<int, std::unique_ptr<SearchSetup>> setups;
    auto& setup = setups[rows];
    if (!setup) setup = std::make_unique<SearchSetup>(rows);
    return *setup;
}

void autoSearch(benchmark::State& state, const QString& term, const std::string& label,
                const QString& term2 = QString()) {
    const int rows = static_cast<int>(state.range(0));
    SearchSetup& setup = setupFor(rows);
    setup.boxes.term = term;
    setup.boxes.term2_ = term2;
    setup.commands.autoSearch();  // the blocks are made on the first search
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        setup.commands.autoSearch();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        g_seconds[label + "/" + std::to_string(rows)].push_back(seconds);
    }
    state.counters["shown"] = setup.records.windowCount();
}

void BM_AutoSearchMany(benchmark::State& state) { autoSearch(state, ManyTerm, "many"); }
void BM_AutoSearchNone(benchmark::State& state) { autoSearch(state, NoTerm, "none"); }
void BM_AutoSearchBothNone(benchmark::State& state) {
    autoSearch(state, ManyTerm, "and-none", OtherManyTerm);
}

// Reopening drops the blocks; the search after it makes them again.
void BM_FirstSearchAfterOpen(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    SearchSetup& setup = setupFor(rows);
    setup.boxes.term = NoTerm;
    setup.boxes.term2_.clear();
    for (auto _ : state) {
        setup.records.close();
        setup.records.setFiltered(false);
        setup.records.open();
        const auto start = std::chrono::steady_clock::now();
        setup.commands.autoSearch();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        g_seconds["first" + bench::rowsKey(rows)].push_back(seconds);
    }
}

void grepCount(benchmark::State& state, const QString& term, const std::string& label) {
    const int rows = static_cast<int>(state.range(0));
    const std::vector<std::string> command = {"grep", "-F", "-c", term.toStdString(),
                                              setupFor(rows).namesFile};
    const std::string scratch = g_temp->filePath(QStringLiteral("out.txt")).toStdString();
    bench::timeCommand(command, scratch, "C.UTF-8", 1);  // brings the file into the cache
    for (auto _ : state) {
        const double seconds = bench::timeCommand(command, scratch, "C.UTF-8", 1);
        if (seconds < 0) return state.SkipWithError("grep failed");
        state.SetIterationTime(seconds);
        g_seconds[label + "/" + std::to_string(rows)].push_back(seconds);
    }
}

void BM_GrepMany(benchmark::State& state) { grepCount(state, ManyTerm, "grep-many"); }
void BM_GrepNone(benchmark::State& state) { grepCount(state, NoTerm, "grep-none"); }

void sizes(benchmark::internal::Benchmark* b) {
    b->Arg(10000)->Arg(1000000);
    bench::timedRuns(b, 9);
}

BENCHMARK(BM_AutoSearchMany)->Apply(sizes);
BENCHMARK(BM_GrepMany)->Apply(sizes);
BENCHMARK(BM_AutoSearchNone)->Apply(sizes);
BENCHMARK(BM_GrepNone)->Apply(sizes);
BENCHMARK(BM_AutoSearchBothNone)->Apply(sizes);
BENCHMARK(BM_FirstSearchAfterOpen)->Apply(sizes);

void printSummary() {
    std::printf("\nMedians (milliseconds) of one auto search, window of %d rows, and of grep:\n",
                WindowRows);
    std::printf("%9s %12s %10s %12s %10s %11s\n", "rows", "search-many", "grep-many", "search-none",
                "grep-none", "ratio-none");
    for (int rows : {10000, 1000000}) {
        const std::string key = bench::rowsKey(rows);
        const double many = bench::median(g_seconds["many" + key]) * 1000;
        const double grepMany = bench::median(g_seconds["grep-many" + key]) * 1000;
        const double none = bench::median(g_seconds["none" + key]) * 1000;
        const double grepNone = bench::median(g_seconds["grep-none" + key]) * 1000;
        if (none <= 0 || grepNone <= 0) continue;
        std::printf("%9d %12.3f %10.3f %12.3f %10.3f %11.2f\n", rows, many, grepMany, none,
                    grepNone, none / grepNone);
    }
    std::printf("%9s %12s %12s\n", "rows", "VE-none", "first-search");
    for (int rows : {10000, 1000000}) {
        const std::string key = bench::rowsKey(rows);
        std::printf("%9d %12.3f %12.3f\n", rows, bench::median(g_seconds["and-none" + key]) * 1000,
                    bench::median(g_seconds["first" + key]) * 1000);
    }
    std::printf("Target: search-none at most half of grep-none at 1,000,000 rows.\n");
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir temp;
    g_temp = &temp;
    return bench::runBenchmarks(argc, argv, printSummary);
}
