// meslek-mdb create --xlsx, a whole process each time, beside xlsx2csv only
// converting the same workbook to CSV, in the same run:
//   - the national list (7,764 rows) as the agency's workbook lays it out;
//   - 1,000,000 generated rows: time and peak resident memory.
//
//   workbook_bench [--rounds N]
#include <QCoreApplication>
#include <QTemporaryDir>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "support/BenchSupport.h"
#include "workbook/XlsxWriter.h"

namespace {

struct Run {
    double seconds = -1;
    long peakKb = 0;
};

// One whole process, its output thrown away; seconds -1 when it failed.
Run runOnce(const std::vector<std::string>& args) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    QElapsedTimer timer;
    timer.start();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return {};
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    return {timer.nsecsElapsed() / 1e9, usage.ru_maxrss};
}

struct Medians {
    double seconds;
    long peakKb;
};

Medians measure(const std::vector<std::string>& args, int rounds) {
    std::vector<double> seconds;
    long peak = 0;
    for (int i = 0; i < rounds; ++i) {
        const Run run = runOnce(args);
        if (run.seconds < 0) {
            std::fprintf(stderr, "failed: %s\n", args[0].c_str());
            return {-1, 0};
        }
        seconds.push_back(run.seconds);
        peak = std::max(peak, run.peakKb);
    }
    return {bench::median(seconds), peak};
}

void compare(const char* label, const std::string& workbook, const std::string& out, int rounds) {
    const std::string mdb = QCoreApplication::applicationDirPath().toStdString() + "/meslek-mdb";
    const Medians ours = measure({mdb, "create", out, "--xlsx", workbook, "--quiet"}, rounds);
    const Medians peer = measure({"xlsx2csv", workbook, out + ".csv"}, rounds);
    std::printf("%s, medians of %d rounds:\n", label, rounds);
    std::printf("  meslek-mdb create --xlsx  %8.3f s  peak %6.1f MB\n", ours.seconds,
                ours.peakKb / 1024.0);
    std::printf("  xlsx2csv (convert only)   %8.3f s  peak %6.1f MB\n", peer.seconds,
                peer.peakKb / 1024.0);
    if (ours.seconds > 0 && peer.seconds > 0)
        std::printf("  ratio %.2f (target at most 1.0)\n", ours.seconds / peer.seconds);
}

// Runs `write` in a child process, so that this process stays small: the
// peak memory a child reports includes its parent's at the time of its start.
bool inChild(const std::function<void()>& write) {
    const pid_t pid = fork();
    if (pid == 0) {
        write();
        _exit(0);
    }
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rounds = bench::roundsArgument(argc, argv, 5);
    QTemporaryDir temp;

    // The national list as the agency publishes it: header in row 1 over A and B.
    const QString national = temp.filePath(QStringLiteral("meslekkodlari.xlsx"));
    inChild([&] {
        std::vector<QStringList> rows = {{"meslek kodları", "MESLEK Adı"}};
        for (const jet4::OccupationRow& row : bench::readOccupationCsv(bench::realListCsv()))
            rows.push_back({row.code, row.name});
        xlsx::writeWorkbook(national,
                            xlsx::listWorkbook(rows, 1, 1, QStringLiteral("RaporPrmMeslekKodu")));
    });
    compare("National list (7,764 rows)", national.toStdString(),
            temp.filePath(QStringLiteral("national.mdb")).toStdString(), rounds);

    // A million rows: every code NNNN.NN once, names of the real list's lengths.
    const QString large = temp.filePath(QStringLiteral("large.xlsx"));
    inChild([&] {
        std::vector<QStringList> rows = {{"meslek kodları", "MESLEK Adı"}};
        const auto generated = jet4::syntheticOccupations(1000000, 7);
        for (std::size_t i = 0; i < generated.size(); ++i)
            rows.push_back({QStringLiteral("%1.%2")
                                .arg(i / 100, 4, 10, QLatin1Char('0'))
                                .arg(i % 100, 2, 10, QLatin1Char('0')),
                            generated[i].name});
        xlsx::writeWorkbook(large, xlsx::listWorkbook(rows));
    });
    compare("1,000,000 rows (target: peak at most 300 MB)", large.toStdString(),
            temp.filePath(QStringLiteral("large.mdb")).toStdString(), std::max(1, rounds / 5));
    return 0;
}
