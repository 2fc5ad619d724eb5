// Loading help files: a formatted RTF file of about 1 MB and a plain-text file
// of about 15 MB (the help window's budget: well under 0.15 s and 1.5 s). Then
// the help window as the help button drives it, offscreen: from the press to
// the end of the view's first paint of the new text, and to the end of the
// layout the view goes on with in the background, with the longest time the
// window could not answer meanwhile; also for a 1 MB paragraph without a line
// break (one paragraph is laid out in one piece).
#include <QAbstractTextDocumentLayout>
#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "help/HelpView.h"
#include "help/TyardimF.h"
#include "rtf/HelpDocument.h"
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
const QByteArray& longParagraph() {
    static const QByteArray bytes = [] {
        QByteArray text;
        while (text.size() < (1 << 20)) text += "Meslek adları ve kodları arasında arama ";
        return text;
    }();
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

// One press of the help button (the window shown, then the file read) with
// `bytes` as the help file, until the layout has been quiet for three seconds.
struct WindowLoad {
    double painted = 0;
    double laidOut = 0;
    double blocked = 0;
};

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && at < 0) {
            static_cast<QObject*>(watched)->event(event);
            at = bench::elapsedMs(*timer);
            return true;
        }
        return false;
    }
    const QElapsedTimer* timer = nullptr;
    double at = -1;
};

WindowLoad pressHelpButton(TyardimF& window, const QByteArray& bytes) {
    QFile file(QStringLiteral("yardim"));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) std::abort();
    file.close();
    // Start from an empty view, as after a short help file.
    window.view().clear();
    QCoreApplication::processEvents();

    QElapsedTimer timer;
    FirstPaint paint;
    paint.timer = &timer;
    double lastLayout = 0;
    window.view().viewport()->installEventFilter(&paint);
    timer.start();
    window.Show();
    window.loadHelpFile();
    const double loaded = bench::elapsedMs(timer);
    // The view has a new document now; its layout goes on in later events.
    const QMetaObject::Connection sized =
        QObject::connect(window.view().document()->documentLayout(),
                         &QAbstractTextDocumentLayout::documentSizeChanged,
                         [&] { lastLayout = bench::elapsedMs(timer); });
    double last = loaded;
    double blocked = 0;
    // Qt's layout reports its growing size now and then, not at every step.
    while (paint.at < 0 || bench::elapsedMs(timer) - std::max(lastLayout, paint.at) < 3000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const double now = bench::elapsedMs(timer);
        if (paint.at >= 0) blocked = std::max(blocked, now - last);
        last = now;
        if (now > 60000) break;
    }
    window.view().viewport()->removeEventFilter(&paint);
    QObject::disconnect(sized);
    return {paint.at, std::max(lastLayout, paint.at), blocked};
}

void helpWindowTimings(int rounds) {
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    bench::PrintingBoxes boxes;
    FailureReporter reporter(boxes);
    TyardimF window(reporter);
    std::printf("\nThe help button, from the press (ms, medians of %d; the window offscreen):\n",
                rounds);
    for (const auto& [name, bytes] : {std::pair{"formatted RTF, 1 MB", &rtfFile()},
                                      std::pair{"plain text, 15 MB", &plainFile()},
                                      std::pair{"one 1 MB paragraph", &longParagraph()}}) {
        std::vector<double> painted, laidOut, blocked;
        for (int i = 0; i < rounds; ++i) {
            const WindowLoad load = pressHelpButton(window, *bytes);
            painted.push_back(load.painted);
            laidOut.push_back(load.laidOut);
            blocked.push_back(load.blocked);
        }
        std::printf(
            "  %-22s view painted %8.1f   layout done %8.1f   longest block after the paint "
            "%6.1f\n",
            name, bench::median(painted), bench::median(laidOut), bench::median(blocked));
    }
    std::printf("Budgets to the painted view: RTF 150 ms, plain text 1500 ms.\n");
    QDir::setCurrent(previous);
}

}  // namespace

BENCHMARK_CAPTURE(load, Rtf1MB, rtfFile(), "rtf")->Apply([](benchmark::internal::Benchmark* b) {
    bench::timedRuns(b, 10);
});
BENCHMARK_CAPTURE(load, Plain15MB, plainFile(), "plain")
    ->Apply([](benchmark::internal::Benchmark* b) { bench::timedRuns(b, 5); });

int main(int argc, char** argv) {
    bench::WindowApplication application(argc, argv);
    const int code = bench::runBenchmarks(argc, argv, printSummary);
    helpWindowTimings(5);
    return code;
}
