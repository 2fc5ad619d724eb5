#include "support/BenchSupport.h"

#include <QFile>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "search/FoldSearchText.h"

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
