// Whole-process timings of reading the occupation table, side by side with
// mdb-export over the same files (and mdb-export piped into sort, which
// orders by code as meslek-ara does), and the first sort of a million names
// with the Turkish collation; beside them, meslek-ara with a term. The large
// lists have names drawn from the national list, unique codes and rows stored
// out of code order.
//
//   data_bench [benchmark flags]          runs everything and prints the ratios
//   data_bench --read-child FILE          (internal) reads FILE without ORDER BY
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "data/Connection.h"
#include "data/ConnectionSettings.h"
#include "data/FieldBinding.h"
#include "data/RowOrder.h"
#include "support/BenchSupport.h"
#include "support/OccupationFixtures.h"

namespace {

std::string g_self;
std::string g_dir;
QTemporaryDir* g_temp = nullptr;
std::map<std::string, std::vector<double>> g_seconds;

std::string databaseFor(int rows) {
    const std::string file =
        g_temp->filePath(QStringLiteral("rows-%1.mdb").arg(rows)).toStdString();
    if (!QFile::exists(QString::fromStdString(file))) {
        jet4::writeDatabaseFile(
            QString::fromStdString(file),
            jet4::occupationDatabase(bench::largeRealList(rows),
                                     ConnectionSettings::builtInDatabasePassword()));
    }
    return file;
}

// The real list, when the shared copy is around (never part of the repository).
std::string realListDatabase() {
    const QString csv = bench::realListCsv();
    if (!QFile::exists(csv)) return {};
    const QString file = g_temp->filePath(QStringLiteral("real.mdb"));
    if (!QFile::exists(file)) {
        bench::timeCommand(
            {g_dir + "/meslek-mdb", "create", file.toStdString(), "--csv", csv.toStdString()});
    }
    return QFile::exists(file) ? file.toStdString() : std::string();
}

void runCommand(benchmark::State& state, const std::string& label,
                const std::vector<std::string>& args) {
    for (auto _ : state) {
        const double seconds = bench::timeCommand(args);
        if (seconds < 0) {
            state.SkipWithError("command failed");
            return;
        }
        state.SetIterationTime(seconds);
        g_seconds[label + "/" + std::to_string(state.range(0))].push_back(seconds);
    }
}

std::string fileForRange(int rows) { return rows == 7764 ? realListDatabase() : databaseFor(rows); }

void BM_MdbExport(benchmark::State& state) {
    const std::string file = fileForRange(static_cast<int>(state.range(0)));
    if (file.empty()) return state.SkipWithError("real list not available");
    runCommand(state, "mdb-export", {"mdb-export", file, "meslekler"});
}

// What meslek-ara does, with standard tools: the rows, ordered by code.
void BM_MdbExportSorted(benchmark::State& state) {
    const std::string file = fileForRange(static_cast<int>(state.range(0)));
    if (file.empty()) return state.SkipWithError("real list not available");
    runCommand(state, "mdb-export-sort",
               {"sh", "-c", "mdb-export \"$0\" meslekler | LC_ALL=C sort -t, -k1,1", file});
}

void BM_ReadWithoutOrder(benchmark::State& state) {
    const std::string file = fileForRange(static_cast<int>(state.range(0)));
    if (file.empty()) return state.SkipWithError("real list not available");
    runCommand(state, "read", {g_self, "--read-child", file});
}

void BM_MeslekAraByCode(benchmark::State& state) {
    const std::string file = fileForRange(static_cast<int>(state.range(0)));
    if (file.empty()) return state.SkipWithError("real list not available");
    runCommand(state, "meslek-ara", {g_dir + "/meslek-ara", "--db", file});
}

// A search as users run it: a term many names hold, each row tested as read.
void BM_MeslekAraWithTerm(benchmark::State& state) {
    const std::string file = fileForRange(static_cast<int>(state.range(0)));
    if (file.empty()) return state.SkipWithError("real list not available");
    runCommand(state, "meslek-ara-term", {g_dir + "/meslek-ara", "--db", file, "mühendis"});
}

void BM_MeslekAraByNameDesc(benchmark::State& state) {
    const std::string file = fileForRange(static_cast<int>(state.range(0)));
    if (file.empty()) return state.SkipWithError("real list not available");
    runCommand(state, "meslek-ara-name-desc",
               {g_dir + "/meslek-ara", "--db", file, "--order-by", "meslek_adi", "--desc"});
}

// The sort alone, in process: the first order by name of a table of a
// million names, its collation keys made then (and once). The names of a
// large list repeat (there are only so many occupations), and rows of one
// name share a key; beside it the same names each made unique by a number,
// where every row needs a key of its own.
void firstNameSort(benchmark::State& state, bool unique) {
    RawTable table;
    table.columns.push_back({"meslek_adi", 0x0A, false, 510, FieldKind::WideString});
    const auto rows = bench::largeRealList(static_cast<int>(state.range(0)));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        table.appendCell(unique ? rows[i].name + QLatin1Char(' ') + QString::number(i)
                                : rows[i].name);
    }
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        auto order = orderRows(table, 0, false);
        benchmark::DoNotOptimize(order.data());
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        state.SetIterationTime(seconds);
        g_seconds[(unique ? "sort-unique/" : "sort/") + std::to_string(state.range(0))].push_back(
            seconds);
    }
}

void BM_FirstNameSort(benchmark::State& state) { firstNameSort(state, false); }
void BM_FirstNameSortUniqueNames(benchmark::State& state) { firstNameSort(state, true); }

void processArgs(benchmark::internal::Benchmark* b) {
    b->Arg(7764)->Arg(100000)->Arg(1000000);
    bench::timedRuns(b, 5);
}

// All in one run, so that the programs compared meet the same machine.
BENCHMARK(BM_MdbExport)->Apply(processArgs);
BENCHMARK(BM_MdbExportSorted)->Apply(processArgs);
BENCHMARK(BM_ReadWithoutOrder)->Apply(processArgs);
BENCHMARK(BM_MeslekAraByCode)->Apply(processArgs);
BENCHMARK(BM_MeslekAraByNameDesc)->Apply(processArgs);
BENCHMARK(BM_MeslekAraWithTerm)->Apply(processArgs);
BENCHMARK(BM_FirstNameSort)->Arg(1000000)->Apply([](benchmark::internal::Benchmark* b) {
    bench::timedRuns(b, 5);
});
BENCHMARK(BM_FirstNameSortUniqueNames)->Arg(1000000)->Apply([](benchmark::internal::Benchmark* b) {
    bench::timedRuns(b, 5);
});

void printSummary() {
    std::printf("\nMedians of five whole-process runs (seconds) and ratios:\n");
    std::printf("%9s %11s %9s %7s %11s %7s %15s %7s %12s %9s\n", "rows", "mdb-export", "read",
                "ratio", "meslek-ara", "ratio", "mdb-export|sort", "ratio", "by-name-desc",
                "a term");
    for (int rows : {7764, 100000, 1000000}) {
        const std::string key = bench::rowsKey(rows);
        const double exportS = bench::median(g_seconds["mdb-export" + key]);
        const double sortedS = bench::median(g_seconds["mdb-export-sort" + key]);
        const double readS = bench::median(g_seconds["read" + key]);
        const double araS = bench::median(g_seconds["meslek-ara" + key]);
        const double nameS = bench::median(g_seconds["meslek-ara-name-desc" + key]);
        const double termS = bench::median(g_seconds["meslek-ara-term" + key]);
        if (exportS <= 0) continue;
        std::printf("%9d %11.3f %9.3f %7.2f %11.3f %7.2f %15.3f %7.2f %12.3f %9.3f%s\n", rows,
                    exportS, readS, readS / exportS, araS, araS / exportS, sortedS, araS / sortedS,
                    nameS, termS, rows < 100000 ? "   (no target: process start dominates)" : "");
    }
    const double firstSort = bench::median(g_seconds["sort/1000000"]);
    const double uniqueSort = bench::median(g_seconds["sort-unique/1000000"]);
    if (firstSort > 0) {
        std::printf(
            "First sort of 1,000,000 names by the Turkish collation, keys made: %.3f s "
            "(target 0.25); every name unique: %.3f s\n",
            firstSort, uniqueSort);
    }
    std::printf(
        "Targets at 1,000,000 rows: meslek-ara <= 0.8x mdb-export and <= 0.6x "
        "mdb-export|sort.\n");
}

int readChild(const char* file) {
    try {
        Connection connection;
        ConnectionSettings::applyTo(connection, ConnectionSettings::connectionStringWith(
                                                    QString::fromLocal8Bit(file),
                                                    ConnectionSettings::builtInDatabasePassword()));
        // Read as the programs read: codes and names.
        connection.setValueColumns(occupationValueColumns());
        connection.open();
        auto result = connection.execute(QStringLiteral("select * FROM meslekler"));
        return result->recordCount() >= 0 ? 0 : 1;
    } catch (...) {
        return 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::string(argv[1]) == "--read-child") return readChild(argv[2]);

    g_self = QCoreApplication::applicationFilePath().toStdString();
    g_dir = QCoreApplication::applicationDirPath().toStdString();
    QTemporaryDir temp;
    g_temp = &temp;

    return bench::runBenchmarks(argc, argv, printSummary);
}
