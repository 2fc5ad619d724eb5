// One start of the program as a user starts it, on the bundled database in the
// working directory, reporting its own timings on the standard output for
// startup_bench. Built twice in a tree for a maker's site, with the web engine
// in the window and without; once, with the program's own page, in a tree
// without a site.
//
//   startup-probe SPAWN_NS
//
// SPAWN_NS is the CLOCK_MONOTONIC time at which the parent started this
// process. Printed, in milliseconds after that moment: the end of the first
// paint of the list; when a key typed at that first paint was answered (the
// list repainted after it); and the longest stretch during the next two
// seconds in which the window could not answer at all.
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/ProgramEntry.h"
#include "widgets/Application.h"
#include "widgets/MessageBoxes.h"
#ifdef MESLEK_WEB_ENGINE
#include "web/engine/WebEngineStart.h"
#endif

namespace {

double nowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

// No box may wait for anyone: a box here means the start failed.
class FailingBoxes : public MessageBoxes {
public:
    int applicationMessageBox(const QString& text, const QString&, Icon, Buttons) override {
        std::fprintf(stderr, "box: %s\n", qPrintable(text));
        std::_Exit(2);
    }
    void fatalMessageBox(const QString& text, const QString&) override {
        std::fprintf(stderr, "fatal: %s\n", qPrintable(text));
        std::_Exit(2);
    }
};

// Watches the list's first paint, types a key at its end, and then measures
// how late a 5 ms heartbeat comes for two seconds.
class StartWatch : public QObject {
public:
    explicit StartWatch(double spawnMs) : spawnMs_(spawnMs) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Paint || painted_ >= 0) return false;
        auto* viewport = qobject_cast<QWidget*>(watched);
        if (!viewport || !viewport->parentWidget() ||
            viewport->parentWidget()->objectName() != QLatin1String("meslekkoduGrid")) {
            return false;
        }
        viewport->removeEventFilter(this);
        // Paint now, so that the time is taken at the end of the first paint.
        qApp->removeEventFilter(this);
        static_cast<QObject*>(viewport)->event(event);
        painted_ = nowMs() - spawnMs_;
        typeKeyAtFirstPaint(viewport);
        return true;
    }

private:
    void typeKeyAtFirstPaint(QWidget* viewport) {
        QWidget* window = viewport->window();
        // A timer, like the web engine's start, so that the key waits behind
        // whatever the first paint set going, as a key typed then would.
        QTimer::singleShot(1, window, [this, window, viewport] {
            auto* box = window->findChild<QLineEdit*>(QStringLiteral("Edit1"));
            QTest::keyClick(box, Qt::Key_M);
            viewport->repaint();
            answered_ = nowMs() - spawnMs_;
            heartbeat();
        });
    }

    void heartbeat() {
        const double start = nowMs();
        last_ = start;
        auto* beat = new QTimer(this);
        beat->setTimerType(Qt::PreciseTimer);
        connect(beat, &QTimer::timeout, this, [this, beat, start] {
            const double now = nowMs();
            worstGap_ = std::max(worstGap_, now - last_);
            last_ = now;
            if (now - start > 2000) {
                beat->stop();
                std::printf("painted %.1f\nanswered %.1f\nblocked %.1f\n", painted_, answered_,
                            worstGap_);
                std::fflush(stdout);
                // Ends without a close request: no closing page from a benchmark.
                QCoreApplication::exit(0);
            }
        });
        beat->start(5);
    }

    double spawnMs_;
    double painted_ = -1;
    double answered_ = -1;
    double last_ = 0;
    double worstGap_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    const double spawnMs = argc > 1 ? std::atof(argv[1]) / 1e6 : nowMs();
#ifdef MESLEK_WEB_ENGINE
    prepareWebEngine();
#endif
    Application application(argc, argv);
    StartWatch watch(spawnMs);
    application.installEventFilter(&watch);
    FailingBoxes boxes;
    ProgramSeams seams;
    seams.boxes = &boxes;
#ifdef MESLEK_WEB_ENGINE
    seams.webPanel = engineWebPanelFactory();
#endif
    return runProgram(application, seams);
}
