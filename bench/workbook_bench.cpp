// meslek-mdb create --xlsx, a whole process each time, beside xlsx2csv only
// converting the same workbook to CSV, in the same run:
//   - the national list (7,764 rows) as the agency's workbook lays it out;
//   - 1,000,000 generated rows: time and peak resident memory.
//
//   workbook_bench [--rounds N]
#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <string>
#include <vector>

#include "support/BenchSupport.h"
#include "support/XlsxWriter.h"

namespace {

struct Medians {
    double seconds;
    long peakKb;
};

// Median wall time over the rounds (bench::timeCommand) and the peak resident
// memory of one more run (bench::peakKb).
Medians measure(const std::vector<std::string>& args, int rounds) {
    std::vector<double> seconds;
    for (int i = 0; i < rounds; ++i) {
        const double run = bench::timeCommand(args);
        if (run < 0) {
            std::fprintf(stderr, "failed: %s\n", args[0].c_str());
            return {-1, 0};
        }
        seconds.push_back(run);
    }
    return {bench::median(seconds), bench::peakKb(args)};
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

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int rounds = bench::roundsArgument(argc, argv, 5);
    QTemporaryDir temp;

    // The national list as the agency publishes it: header in row 1 over A and B.
    const QString national = temp.filePath(QStringLiteral("meslekkodlari.xlsx"));
    {
        std::vector<QStringList> rows = {{"meslek kodları", "MESLEK Adı"}};
        for (const jet4::OccupationRow& row : bench::readOccupationCsv(bench::realListCsv()))
            rows.push_back({row.code, row.name});
        xlsx::writeWorkbook(national,
                            xlsx::listWorkbook(rows, 1, 1, QStringLiteral("RaporPrmMeslekKodu")));
    }
    compare("National list (7,764 rows)", national.toStdString(),
            temp.filePath(QStringLiteral("national.mdb")).toStdString(), rounds);

    // A million rows: every code NNNN.NN once, names of the real list's lengths.
    const QString large = temp.filePath(QStringLiteral("large.xlsx"));
    {
        std::vector<QStringList> rows = {{"meslek kodları", "MESLEK Adı"}};
        const auto generated = jet4::syntheticOccupations(1000000, 7);
        for (std::size_t i = 0; i < generated.size(); ++i)
            rows.push_back({QStringLiteral("%1.%2")
                                .arg(i / 100, 4, 10, QLatin1Char('0'))
                                .arg(i % 100, 2, 10, QLatin1Char('0')),
                            generated[i].name});
        xlsx::writeWorkbook(large, xlsx::listWorkbook(rows));
    }
    compare("1,000,000 rows (target: peak at most 300 MB)", large.toStdString(),
            temp.filePath(QStringLiteral("large.mdb")).toStdString(), std::max(1, rounds / 5));
    return 0;
}
