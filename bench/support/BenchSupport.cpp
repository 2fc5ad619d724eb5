#include "support/BenchSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMouseEvent>
#include <QTest>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>

#include "data/ConnectionSettings.h"
#include "grid/OccupationGrid.h"
#include "lists/Csv.h"
#include "text/FoldSearchText.h"
#include "widgets/Fonts.h"

extern char** environ;

namespace bench {

double timeCommand(const std::vector<std::string>& args, const std::string& output,
                   const std::string& locale, int okExitCode) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.empty() ? "/dev/null" : output.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> env;
    if (!locale.empty()) env.push_back("LC_ALL=" + locale);
    for (char** e = environ; *e != nullptr; ++e) {
        if (locale.empty() || std::string(*e).rfind("LC_ALL=", 0) != 0) env.emplace_back(*e);
    }
    std::vector<char*> envp;
    for (auto& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    const auto stop = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) > okExitCode) return -1;
    return std::chrono::duration<double>(stop - start).count();
}

// Fields of /proc/PID/status ("Name", "VmRSS", ...), keyed without the colon.
std::map<QByteArray, QByteArray> processStatus(const QString& pid) {
    std::map<QByteArray, QByteArray> fields;
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return fields;
    for (const QByteArray& line : status.readAll().split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0) fields[line.left(colon)] = line.mid(colon + 1).trimmed();
    }
    return fields;
}

// A "1234 kB" field in kB; -1 when absent.
long kilobytes(const std::map<QByteArray, QByteArray>& fields, const char* name) {
    const auto field = fields.find(name);
    return field == fields.end() ? -1 : field->second.split(' ').first().toLong();
}

namespace {

// The high-water mark of process `pid` once it runs `program` (before the
// exec it is a copy of this process); -1 before that or after its end.
long highWaterKb(pid_t pid, const std::string& program) {
    const auto fields = processStatus(QString::number(pid));
    const QByteArray name = QByteArray::fromStdString(program).split('/').last().left(15);
    const auto running = fields.find("Name");
    if (running == fields.end() || running->second != name) return -1;
    return kilobytes(fields, "VmHWM");
}

}  // namespace

// Peak resident memory of a whole process, in kB; -1 when it failed. Read
// from the process's own high-water mark until it exits: the rusage of a
// child forked from this large process would count this process's memory.
long peakKb(const std::vector<std::string>& args) {
    const pid_t pid = fork();
    if (pid == 0) {
        freopen("/dev/null", "w", stdout);
        std::vector<char*> argv;
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    long peak = -1;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        peak = std::max(peak, highWaterKb(pid, args[0]));
        usleep(2000);
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed (status %d)\n", args[0].c_str(), status);
        return -1;
    }
    // A process that ended before it could be looked at counts as nothing.
    return std::max(peak, 0L);
}

void timedRuns(benchmark::internal::Benchmark* b, int repetitions) {
    b->Iterations(1)
        ->Repetitions(repetitions)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->ReportAggregatesOnly(true);
}

int runBenchmarks(int& argc, char** argv, void (*summary)()) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    summary();
    return 0;
}

int PrintingBoxes::applicationMessageBox(const QString& text, const QString&, Icon, Buttons) {
    std::fprintf(stderr, "box: %s\n", qPrintable(text));
    return Ok;
}

void PrintingBoxes::fatalMessageBox(const QString& text, const QString&) {
    std::fprintf(stderr, "fatal: %s\n", qPrintable(text));
}

namespace {

int& offscreenByDefault(int& argc) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    return argc;
}

}  // namespace

WindowApplication::WindowApplication(int& argc, char** argv)
    : Application(offscreenByDefault(argc), argv) {
    QCoreApplication::setApplicationName(QStringLiteral("Tresvoli"));
    registerTahoma();
}

MainWindow::MainWindow(const QString& workDir) {
    const QString previous = QDir::currentPath();
    QDir::setCurrent(workDir);
    QElapsedTimer timer;
    timer.start();
    window = std::make_unique<TmeslekanaF>(reporter, defaultConnectionFactory());
    window->resize(1280, 800);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get())) std::fprintf(stderr, "not exposed\n");
    window->grid().viewport()->repaint();
    startupMs = elapsedMs(timer);
    QDir::setCurrent(previous);
}

double elapsedMs(const QElapsedTimer& timer) {
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

int roundsArgument(int argc, char** argv, int fallback) {
    int rounds = fallback;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--rounds") == 0) rounds = std::atoi(argv[i + 1]);
    }
    return rounds;
}

void sendMouse(QWidget* target, QEvent::Type type, const QPoint& point, Qt::MouseButtons held) {
    QMouseEvent event(type, point, target->mapToGlobal(point), Qt::LeftButton, held,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

double timedTitleClick(OccupationGrid& grid, int column) {
    QWidget* viewport = grid.viewport();
    const QPoint point = grid.cellRect(-1, column).center();
    sendMouse(viewport, QEvent::MouseButtonPress, point, Qt::LeftButton);
    QCoreApplication::processEvents();
    QElapsedTimer timer;
    timer.start();
    sendMouse(viewport, QEvent::MouseButtonRelease, point, Qt::NoButton);
    viewport->repaint();
    const double ms = elapsedMs(timer);
    QCoreApplication::processEvents();
    return ms;
}

QString writeProgramDatabase(const QString& workDir, const std::vector<jet4::OccupationRow>& rows) {
    QDir().mkpath(workDir + QStringLiteral("/AnaData"));
    const QString file = workDir + QStringLiteral("/AnaData/MeslekAna.mdb");
    jet4::writeDatabaseFile(
        file, jet4::occupationDatabase(rows, ConnectionSettings::builtInDatabasePassword()));
    return file;
}

QString realListCsv() { return QStringLiteral(MESLEK_SOURCE_DIR "/data/meslekler.csv"); }

std::vector<jet4::OccupationRow> largeRealList(int count, std::uint32_t seed) {
    const std::vector<jet4::OccupationRow> national = readOccupationCsv(realListCsv());
    if (national.empty()) return {};
    std::vector<jet4::OccupationRow> rows;
    rows.reserve(static_cast<std::size_t>(count));
    std::mt19937 random(seed);
    std::uniform_int_distribution<std::size_t> pick(0, national.size() - 1);
    for (int i = 0; i < count; ++i) {
        rows.push_back({QStringLiteral("%1.%2")
                            .arg(i / 100, 4, 10, QLatin1Char('0'))
                            .arg(i % 100, 2, 10, QLatin1Char('0')),
                        national[pick(random)].name, QString()});
    }
    std::shuffle(rows.begin(), rows.end(), random);
    return rows;
}

std::vector<jet4::OccupationRow> readOccupationCsv(const QString& file) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(file), qPrintable(in.errorString()));
        return {};
    }
    std::vector<jet4::OccupationRow> rows;
    try {
        const auto records = csv::parse(in.readAll());
        if (records.empty() ||
            records[0].fields.mid(0, 2) !=
                QStringList{QStringLiteral("meslek_kodu"), QStringLiteral("meslek_adi")}) {
            std::fprintf(stderr, "%s: no meslek_kodu,meslek_adi header\n", qPrintable(file));
            return {};
        }
        for (std::size_t i = 1; i < records.size(); ++i) {  // the header first
            const QStringList& fields = records[i].fields;
            if (fields.size() >= 2) rows.push_back({fields[0], fields[1], QString()});
        }
    } catch (const csv::ParseError& error) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(file), qPrintable(error.message));
        return {};
    }
    return rows;
}

double median(std::vector<double> values) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double worst(const std::vector<double>& values) {
    return values.empty() ? -1 : *std::max_element(values.begin(), values.end());
}

void writeFoldedNames(const std::vector<jet4::OccupationRow>& rows, const QString& file) {
    QByteArray lines;
    for (const auto& row : rows) lines += FoldSearchText(row.name).toUtf8() + '\n';
    QFile names(file);
    if (names.open(QIODevice::WriteOnly)) names.write(lines);
}

}  // namespace bench
