// Start-up of the program, a whole process each time, on the bundled database:
// the program as built (without a maker's site: the own page in the panel)
// beside a site's program with the web engine, when the tree is built for a
// site; and
// on a list of a million occupations, beside meslek-reader reading that file
// alone. For
// each, the median over the rounds of: spawn to the end of the list's first
// paint; spawn to the answer of a key typed at that first paint; the longest
// time the window could not answer during the two seconds after it. Needs a
// display (scripts/bench.sh provides Xvfb).
//
//   startup_bench [--rounds N]
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <map>
#include <vector>

#include "support/BenchSupport.h"

namespace {

long long monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

using Samples = std::map<QString, std::vector<double>>;

bool startOnce(const QString& probe, Samples& samples,
               const QString& folder = QCoreApplication::applicationDirPath()) {
    QProcess process;
    process.setWorkingDirectory(folder);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(probe, {QString::number(monotonicNs())});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed\n", qPrintable(probe));
        return false;
    }
    for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() == 2)
            samples[QString::fromLatin1(fields[0])].push_back(fields[1].toDouble());
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    const int rounds = bench::roundsArgument(argc, argv, 7);
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::printf("startup_bench: no display; run it under xvfb-run (scripts/bench.sh does)\n");
        return 0;
    }
    const QString dir = QCoreApplication::applicationDirPath();
    const std::vector<std::pair<const char*, QString>> programs = {
        {"without the web engine", dir + QStringLiteral("/startup-probe")},  // the tree's own panel
        {"with the web engine", dir + QStringLiteral("/startup-probe-engine")}};
    std::map<QString, Samples> results;
    for (int round = 0; round < rounds; ++round) {
        for (const auto& [label, probe] : programs) {
            if (!QFile::exists(probe)) continue;
            if (!startOnce(probe, results[QString::fromLatin1(label)])) return 1;
        }
    }
    std::printf(
        "Start-up on the national list, whole processes, medians of %d rounds (ms after spawn):\n",
        rounds);
    for (const auto& [label, probe] : programs) {
        Samples& s = results[QString::fromLatin1(label)];
        if (s["painted"].empty()) continue;
        std::printf(
            "  %-24s list painted %7.1f   key at first paint answered %7.1f (+%.1f)   "
            "longest block in the next 2 s %7.1f (worst %.1f)\n",
            label, bench::median(s["painted"]), bench::median(s["answered"]),
            bench::median(s["answered"]) - bench::median(s["painted"]), bench::median(s["blocked"]),
            bench::worst(s["blocked"]));
    }
    std::printf(
        "Targets: the engine adds at most 100 ms before the list is painted; a key typed at "
        "the first paint is answered within 100 ms.\n");

    // A million occupations: the window (with the engine, as users start it)
    // beside the reader alone on the same file.
    QTemporaryDir temp;
    const QString large = temp.filePath(QStringLiteral("large"));
    const QString largeDb = bench::writeProgramDatabase(large, bench::largeRealList(1000000));
    QFile::copy(dir + QStringLiteral("/yardim"), large + QStringLiteral("/yardim"));
    Samples largeRuns;
    std::vector<double> readerMs;
    const QString engineProbe = dir + QStringLiteral("/startup-probe-engine");
    const QString probe = QFile::exists(engineProbe) ? engineProbe : programs[0].second;
    for (int round = 0; round < rounds; ++round) {
        if (!startOnce(probe, largeRuns, large)) return 1;
        // Read as the window reads: both halves at once, codes and names only.
        readerMs.push_back(
            1000 *
            bench::timeCommand(
                {"sh", "-c",
                 "exec \"$0\" --values meslek_kodu --values meslek_adi \"$1\" meslekler 4 "
                 "4>/dev/null",
                 (dir + QStringLiteral("/meslek-reader")).toStdString(), largeDb.toStdString()}));
    }
    std::printf(
        "Start-up on 1,000,000 occupations, medians of %d rounds: list painted %7.1f ms "
        "(worst %.1f); meslek-reader alone on the file %7.1f ms. Target: 800 ms.\n",
        rounds, bench::median(largeRuns["painted"]), bench::worst(largeRuns["painted"]),
        bench::median(readerMs));
    return 0;
}
