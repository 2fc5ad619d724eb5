// Loading help files: a formatted RTF file of about 1 MB and a plain-text file
// of about 15 MB (the help window's budget: well under 0.15 s and 1.5 s).
#include <QByteArray>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTextDocument>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "help/HelpDocument.h"
#include "support/BenchSupport.h"

namespace {

// About `bytes` of RTF as a word processor writes it: a font and colour table,
// Turkish letters as \'hh, bold and coloured runs, a link field and a table row
// now and then.
QByteArray formattedRtf(qsizetype bytes) {
    QByteArray rtf =
        "{\\rtf1\\ansi\\ansicpg1254\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset162 Arial;}"
        "{\\f1\\froman\\fcharset162 Times New Roman;}}"
        "{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\n";
    for (int i = 0; rtf.size() < bytes; ++i) {
        rtf += "\\pard\\sa120\\li" + QByteArray::number(i % 5 * 360) + "\\plain\\f" +
               QByteArray::number(i % 2) +
               "\\fs20 Meslek kodlar\\'fd ve adlar\\'fd {\\b kal\\'fdn} "
               "{\\i e\\'f0ik} {\\cf1 k\\'fdrm\\'fdz\\'fd} \\u351?ehir ";
        if (i % 10 == 0) {
            rtf +=
                "{\\field{\\*\\fldinst HYPERLINK \"http://www.example.com/\"}"
                "{\\fldrslt www.example.com}} ";
        }
        if (i % 25 == 0) rtf += "\\trowd\\cellx2000\\cellx4000\\pard\\intbl a\\cell b\\cell\\row ";
        rtf += "arama terimi ile VE VEYA se\\'e7imi.\\par\n";
    }
    rtf += "}";
    return rtf;
}

QByteArray plainText(qsizetype bytes) {
    // An address every tenth line.
    const QByteArray line = "Meslek kodları ve adları, Ağrı İğdır; arama terimi ile VE VEYA.\r\n";
    const QByteArray link = "Ayrıntılar www.example.com adresinde ve https://example.com/a.\r\n";
    QByteArray text;
    text.reserve(bytes + line.size());
    for (int i = 0; text.size() < bytes; ++i) text += i % 10 == 0 ? link : line;
    return text;
}

std::map<std::string, std::vector<double>> g_seconds;

const QByteArray& rtfFile() {
    static const QByteArray bytes = formattedRtf(1 << 20);
    return bytes;
}
const QByteArray& plainFile() {
    static const QByteArray bytes = plainText(15 << 20);
    return bytes;
}

void load(benchmark::State& state, const QByteArray& bytes, const std::string& label) {
    for (auto _ : state) {
        QTextDocument document;
        QElapsedTimer timer;
        timer.start();
        loadHelpDocument(bytes, document);
        const double seconds = timer.nsecsElapsed() / 1e9;
        state.SetIterationTime(seconds);
        g_seconds[label].push_back(seconds);
    }
}

void printSummary() {
    std::printf("\nLoading a help file into the help view's document, seconds:\n");
    for (const auto& [label, name, budget] : {std::tuple{"rtf", "formatted RTF, 1 MB", 0.15},
                                              std::tuple{"plain", "plain text, 15 MB", 1.5}}) {
        const auto& samples = g_seconds[label];
        std::printf("  %-22s median %7.3f   worst %7.3f   budget %5.2f   (%zu runs)\n", name,
                    bench::median(samples), bench::worst(samples), budget, samples.size());
    }
}

}  // namespace

BENCHMARK_CAPTURE(load, Rtf1MB, rtfFile(), "rtf")->Apply([](benchmark::internal::Benchmark* b) {
    bench::timedRuns(b, 10);
});
BENCHMARK_CAPTURE(load, Plain15MB, plainFile(), "plain")
    ->Apply([](benchmark::internal::Benchmark* b) { bench::timedRuns(b, 5); });

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    return bench::runBenchmarks(argc, argv, printSummary);
}
