// One press of "G E N E R A T E" on the fullest form, into memory and into a
// real file, each beside a baseline measured in the same run. After the run
// the ratios to the baselines are printed.
#include "savefile.h"
#include "testutil.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace
{

using qor::test::fullestForm;

// The bytes the fullest press writes, for the baselines.
const std::string &fullestBytes()
{
    static const std::string bytes = [] {
        qor::FormRecord form = fullestForm();
        qor::MemoryFile file;
        qor::WindowFields fields;
        if (!qor::cmd_Click(form, file, fields))
            std::abort();
        return file.committed;
    }();
    return bytes;
}

// One folder for every file benchmark, so all of them hit the same disk.
// QOR_BENCH_DIR picks where it is created (default: the system's temp folder).
const QString &benchFolder()
{
    static QTemporaryDir dir = [] {
        const QByteArray where = qgetenv("QOR_BENCH_DIR");
        return where.isEmpty() ? QTemporaryDir()
                               : QTemporaryDir(QString::fromLocal8Bit(where) + QStringLiteral("/qorbench-XXXXXX"));
    }();
    static const QString path = dir.path();
    if (!dir.isValid())
        std::abort();
    return path;
}

QString targetPath()
{
    return QDir(benchFolder()).filePath(QStringLiteral("description.ext"));
}

void PressFullestInMemory(benchmark::State &state)
{
    qor::FormRecord form = fullestForm();
    qor::MemoryFile file;
    qor::WindowFields fields;
    for (auto _ : state) {
        const bool ok = qor::cmd_Click(form, file, fields);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(file.committed.data());
    }
    if (file.committed != fullestBytes())
        state.SkipWithError("press wrote unexpected bytes");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fullestBytes().size()));
}
BENCHMARK(PressFullestInMemory);

// What the window does on a press: a fresh SaveFile on description.ext.
void PressFullestIntoFile(benchmark::State &state)
{
    qor::FormRecord form = fullestForm();
    qor::WindowFields fields;
    const QString path = targetPath();
    for (auto _ : state) {
        qor::SaveFile file(path);
        if (!qor::cmd_Click(form, file, fields)) {
            state.SkipWithError("press failed");
            break;
        }
    }
    QFile check(path);
    if (!check.open(QIODevice::ReadOnly) || check.readAll().toStdString() != fullestBytes())
        state.SkipWithError("file holds unexpected bytes");
}
BENCHMARK(PressFullestIntoFile)->UseRealTime();

// Baseline: the same bytes, one open, one write, one close, same folder.
void PlainWriteBaseline(benchmark::State &state)
{
    const std::string &bytes = fullestBytes();
    const QString path = QDir(benchFolder()).filePath(QStringLiteral("plain.ext"));
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
            state.SkipWithError("plain write failed");
            break;
        }
        file.close();
    }
}
BENCHMARK(PlainWriteBaseline)->UseRealTime();

// Diagnostic: the same bytes in one write through QSaveFile, which writes a
// temporary file, syncs it to disk and renames it. Separates the cost of the
// atomic replace from the cost of the press itself.
void SaveFileOneWrite(benchmark::State &state)
{
    const std::string &bytes = fullestBytes();
    const QString path = QDir(benchFolder()).filePath(QStringLiteral("saved.ext"));
    for (auto _ : state) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes.data(), static_cast<qint64>(bytes.size())) < 0 ||
            !file.commit()) {
            state.SkipWithError("save failed");
            break;
        }
    }
}
BENCHMARK(SaveFileOneWrite)->UseRealTime();

// Prints the usual table and keeps each benchmark's time per iteration.
class RatioReporter : public benchmark::ConsoleReporter
{
  public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.error_occurred)
                continue;
            // Seconds per iteration: real time for the file benchmarks,
            // which wait on the disk; CPU time for the press in memory.
            const std::string &name = run.run_name.function_name;
            const double accumulated =
                name == "PressFullestInMemory" ? run.cpu_accumulated_time : run.real_accumulated_time;
            const double seconds = accumulated / static_cast<double>(run.iterations);
            if (run.run_type == Run::RT_Iteration)
                times_[name] = seconds;
            else if (run.aggregate_name == "median")
                medians_[name] = seconds; // aggregates keep the repetitions' iteration count
        }
    }

    double time(const std::string &name) const
    {
        if (auto it = medians_.find(name); it != medians_.end())
            return it->second;
        auto it = times_.find(name);
        return it == times_.end() ? 0 : it->second;
    }

  private:
    std::map<std::string, double> times_;
    std::map<std::string, double> medians_;
};

} // namespace

int main(int argc, char **argv)
{
    // The disk is shared and its latency drifts: by default run ten
    // repetitions of each benchmark in random interleaved order and compare
    // medians. Flags given on the command line come later and win.
    std::vector<char *> args{argv[0]};
    char repetitions[] = "--benchmark_repetitions=10";
    char interleave[] = "--benchmark_enable_random_interleaving=true";
    char aggregates[] = "--benchmark_report_aggregates_only=true";
    args.insert(args.end(), {repetitions, interleave, aggregates});
    args.insert(args.end(), argv + 1, argv + argc);
    int count = static_cast<int>(args.size());
    args.push_back(nullptr);
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data()))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double memory = reporter.time("PressFullestInMemory");
    const double press = reporter.time("PressFullestIntoFile");
    const double plain = reporter.time("PlainWriteBaseline");
    const double saved = reporter.time("SaveFileOneWrite");
    std::printf("\nfile: %zu bytes, folder %s\n", fullestBytes().size(), qPrintable(benchFolder()));
    if (memory > 0)
        std::printf("press in memory:               %8.2f us  (target < 20 us)\n", memory * 1e6);
    if (press > 0 && plain > 0) {
        std::printf("press into file / plain write: %8.2f x   (%.1f us / %.1f us; target <= 1.5 x)\n", press / plain,
                    press * 1e6, plain * 1e6);
    }
    if (saved > 0 && plain > 0)
        std::printf("QSaveFile one write / plain:   %8.2f x   (%.1f us)\n", saved / plain, saved * 1e6);
    if (press > 0 && saved > 0)
        std::printf("press into file / QSaveFile:   %8.2f x\n", press / saved);
    return 0;
}
