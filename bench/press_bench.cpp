// One press of "G E N E R A T E" on the fullest form, into memory and into a
// real file, each beside a baseline measured in the same run; the file read
// back into the form beside the press in memory; a hand-written file edited
// beside the press of the form value. After the run the ratios to the
// baselines are printed, and the peak memory of a press of the largest
// generated files against their size.
#include "io/filesink.h"
#include "io/snapshot.h"
#include "mission/edit.h"
#include "mission/loader.h"
#include "testutil.h"

#include <atomic>
#include <chrono>
#include <malloc.h>
#include <new>

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <string>
#include <unistd.h>
#include <vector>

namespace
{
std::atomic<std::size_t> allocated{0}, peakAllocated{0};
} // namespace

// Every allocation counted, for the memory of a press of a large file.
void *operator new(std::size_t size)
{
    void *p = std::malloc(size ? size : 1);
    if (!p)
        throw std::bad_alloc();
    const std::size_t now = allocated += malloc_usable_size(p);
    for (std::size_t seen = peakAllocated; now > seen && !peakAllocated.compare_exchange_weak(seen, now);) {
    }
    return p;
}

void operator delete(void *p) noexcept
{
    if (p)
        allocated -= malloc_usable_size(p);
    std::free(p);
}

void operator delete(void *p, std::size_t) noexcept
{
    operator delete(p);
}

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

std::string inBenchFolder(const char *name)
{
    return QFile::encodeName(QDir(benchFolder()).filePath(QString::fromLatin1(name))).toStdString();
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

// The press alone: the fullest form's value into bytes, no window between.
void PressFullestForm(benchmark::State &state)
{
    const qor::Form form = fullestForm();
    qor::WindowFields fields;
    std::size_t size = 0;
    for (auto _ : state) {
        const qor::Pressed pressed = qor::pressForm(form, fields);
        size = pressed.bytes.size();
        benchmark::DoNotOptimize(pressed.bytes.data());
    }
    if (size != fullestBytes().size() || qor::pressForm(form, fields).bytes != fullestBytes())
        state.SkipWithError("press made unexpected bytes");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fullestBytes().size()));
}
BENCHMARK(PressFullestForm);

// The fullest form's file read back into a form: target no more than the
// press in memory above.
void ReadFullestIntoForm(benchmark::State &state)
{
    qor::Loaded loaded;
    for (auto _ : state) {
        loaded = qor::loadDescription(fullestBytes());
        benchmark::DoNotOptimize(loaded.report.items);
    }
    qor::WindowFields fields;
    if (qor::pressForm(loaded.form, fields).bytes != fullestBytes())
        state.SkipWithError("the file read back does not press the same bytes");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fullestBytes().size()));
}
BENCHMARK(ReadFullestIntoForm);

// A mission maker's own file of some 4 KB: the header scattered with blanks
// and comments, entries on one line out of table order, add-on entries, no
// Magazines section.
const std::string &handWritten()
{
    static const std::string bytes = [] {
        std::string s =
            "// Raid on the airfield\n// made by hand\nonLoadMission = \"Raid\"; // shown while loading\n\n";
        s += "showMap = 1;\nrespawn = 3;\nrespawnDelay = 30;\nshowCompass=0; showGPS=1;\n\nclass Weapons {\n";
        const auto &entries = qor::weaponEntries;
        for (std::size_t n = entries.size(); n-- > 0;)
            s += "    class " + std::string(entries[n].name) + " { count = " + std::to_string(n + 1) + "; }; // " +
                 std::string(entries[n].name) + "\n";
        for (int n = 0; s.size() < 3500; ++n)
            s += "    class Addon_Gun" + std::to_string(n) + " { count = 2; };\n";
        s += "};\nshowNotepad = 1;\nclass CfgSounds\n{\n    sounds[] = {};\n};\n";
        while (s.size() < 4096)
            s += "// notes on the mission, kept as they are\n";
        return s;
    }();
    return bytes;
}

// The edit a press makes of it with one count changed: the file read as a
// document once, the edit each time.
void EditHandWrittenFile(benchmark::State &state)
{
    const qor::Document document = qor::readDocument(handWritten());
    qor::Form form = document.loaded.form;
    form.counts[static_cast<std::size_t>(qor::slotOf("M16"))] = "99";
    qor::WindowFields fields;
    std::size_t size = 0;
    for (auto _ : state) {
        const qor::Edit e = qor::edit(document, form, fields);
        size = e.bytes.size();
        benchmark::DoNotOptimize(e.bytes.data());
    }
    if (size != handWritten().size() + 1)
        state.SkipWithError("the edit changed more than one count");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * handWritten().size()));
}
BENCHMARK(EditHandWrittenFile);

// 10 MB of classes the form does not know, each with a few keys: read and
// set aside in time linear in the size.
const std::string &unknownClasses()
{
    static const std::string bytes = [] {
        std::string s = qor::test::crlf(qor::test::headerLines());
        for (int n = 0; s.size() < 10u << 20; ++n)
            s += "class Unit" + std::to_string(n) + ": Base\r\n{\r\n\tside = \"WEST\"; // " + std::to_string(n) +
                 "\r\n\tpos[] = {1, {2, 3}};\r\n};\r\n";
        return s;
    }();
    return bytes;
}

void ReadTenMegabytesOfUnknownClasses(benchmark::State &state)
{
    std::size_t leftovers = 0;
    for (auto _ : state) {
        const qor::Loaded loaded = qor::loadDescription(unknownClasses());
        leftovers = loaded.report.leftovers.size();
        benchmark::DoNotOptimize(leftovers);
    }
    if (leftovers == 0)
        state.SkipWithError("the unknown classes were not set aside");
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * unknownClasses().size()));
}
BENCHMARK(ReadTenMegabytesOfUnknownClasses)->Unit(benchmark::kMillisecond);

// What the window does on a press: a fresh FileSink on description.ext in
// the working folder.
void PressFullestIntoFile(benchmark::State &state)
{
    qor::FormRecord form = fullestForm();
    qor::WindowFields fields;
    if (::chdir(inBenchFolder(".").c_str()) != 0) {
        state.SkipWithError("no bench folder");
        return;
    }
    for (auto _ : state) {
        qor::FileSink file(qor::fileName);
        if (!qor::cmd_Click(form, file, fields)) {
            state.SkipWithError("press failed");
            break;
        }
    }
    QFile check(QString::fromLatin1(qor::fileName));
    if (!check.open(QIODevice::ReadOnly) || check.readAll().toStdString() != fullestBytes())
        state.SkipWithError("file holds unexpected bytes");
}
BENCHMARK(PressFullestIntoFile)->UseRealTime();

// Baseline: the same bytes replaced durably with nothing else, straight
// through the system: a new temporary file, one write, fdatasync, rename;
// with syncFolder, then fsync of the folder, as the sink does.
void durableReplace(benchmark::State &state, bool syncFolder)
{
    const std::string &bytes = fullestBytes();
    const std::string temporary = inBenchFolder(".durable.ext.tmp");
    const std::string target = inBenchFolder("durable.ext");
    const int folder = ::open(inBenchFolder(".").c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (auto _ : state) {
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
            ::fdatasync(fd) != 0 || ::close(fd) != 0 || ::rename(temporary.c_str(), target.c_str()) != 0 ||
            (syncFolder && ::fsync(folder) != 0)) {
            state.SkipWithError("durable replace failed");
            break;
        }
    }
    ::close(folder);
}

void DurableReplaceBaseline(benchmark::State &state)
{
    durableReplace(state, false);
}
BENCHMARK(DurableReplaceBaseline)->UseRealTime();

// Diagnostic: the baseline plus the folder sync that makes the rename itself
// durable. The press is measured against it for the cost of its own checks.
void DurableReplaceAndFolderSync(benchmark::State &state)
{
    durableReplace(state, true);
}
BENCHMARK(DurableReplaceAndFolderSync)->UseRealTime();

// Diagnostic: the same bytes, one open, one write, one close, no sync.
// Separates the cost of durability from the cost of the press.
void PlainWrite(benchmark::State &state)
{
    const std::string &bytes = fullestBytes();
    const std::string path = inBenchFolder("plain.ext");
    for (auto _ : state) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd < 0 || ::write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
            ::close(fd) != 0) {
            state.SkipWithError("plain write failed");
            break;
        }
    }
}
BENCHMARK(PlainWrite)->UseRealTime();

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
            const bool inMemory = name == "PressFullestInMemory" || name == "PressFullestForm" ||
                                  name.rfind("Read", 0) == 0 || name.rfind("Edit", 0) == 0;
            const double accumulated = inMemory ? run.cpu_accumulated_time : run.real_accumulated_time;
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

// A press of a generated file of `size` bytes, as the window makes it: the
// file read into a document, the form changed in one count, the edit, and the
// written bytes read as the next document. The peak of what is allocated
// beyond the file, against the file and against the file plus the written
// bytes.
void pressMemory(const char *what, std::size_t size, const std::string &unit, bool inSection)
{
    const std::string section = "class Weapons {\r\nclass M16 { count = 4; };\r\n";
    std::string bytes = qor::test::crlf(qor::test::headerLines()) + (inSection ? section : "");
    bytes.reserve(size + unit.size() + 64);
    while (bytes.size() < size)
        bytes += unit;
    bytes += inSection ? "};\r\n" : section + "};\r\n";
    const std::size_t fileSize = bytes.size();
    const std::size_t before = allocated;
    peakAllocated = before;
    using Clock = std::chrono::steady_clock;
    const auto readStart = Clock::now();
    qor::Document document = qor::readDocument(std::move(bytes));
    const auto pressStart = Clock::now();
    qor::Form form = document.loaded.form;
    form.counts[static_cast<std::size_t>(qor::slotOf("M16"))] = "5";
    qor::WindowFields fields;
    qor::Edit e = qor::edit(document, form, fields);
    const std::size_t written = e.bytes.size();
    document = {};
    document = qor::readDocument(std::move(e.bytes));
    const auto pressEnd = Clock::now();
    const double peak = static_cast<double>(peakAllocated - before);
    const double read = std::chrono::duration<double>(pressStart - readStart).count();
    const double press = std::chrono::duration<double>(pressEnd - pressStart).count();
    std::printf("press of %-22s %5.1f MB: peak beyond the file %6.1f MB = %.2f x the file, %.2f x the file "
                "and the written bytes; read %6.1f ms, press %6.1f ms (%.2f x the read)\n",
                what, static_cast<double>(fileSize) / 1e6, peak / 1e6, peak / static_cast<double>(fileSize),
                peak / static_cast<double>(fileSize + written), read * 1e3, press * 1e3, press / read);
}

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
    const double durable = reporter.time("DurableReplaceBaseline");
    const double durableFolder = reporter.time("DurableReplaceAndFolderSync");
    const double plain = reporter.time("PlainWrite");
    std::printf("\nfile: %zu bytes, folder %s\n", fullestBytes().size(), qPrintable(benchFolder()));
    const double pure = reporter.time("PressFullestForm");
    if (pure > 0)
        std::printf("press of the form value:           %8.2f us  (target <= 2 us)\n", pure * 1e6);
    if (memory > 0)
        std::printf("cmd_Click in memory:               %8.2f us  (window read and shown too)\n", memory * 1e6);
    const double read = reporter.time("ReadFullestIntoForm");
    const double tenMegabytes = reporter.time("ReadTenMegabytesOfUnknownClasses");
    if (memory > 0 && read > 0)
        std::printf("read into the form / press in memory: %5.2f x   (%.1f us; target <= 1 x)\n", read / memory,
                    read * 1e6);
    if (tenMegabytes > 0)
        std::printf("10 MB of unknown classes read:     %8.1f ms  (%.0f MB/s)\n", tenMegabytes * 1e3,
                    static_cast<double>(unknownClasses().size()) / tenMegabytes / 1e6);
    if (press > 0 && durable > 0) {
        std::printf("press into file / durable replace: %8.2f x   (%.1f us / %.1f us; target <= 1.1 x)\n",
                    press / durable, press * 1e6, durable * 1e6);
    }
    if (press > 0 && durableFolder > 0) {
        std::printf("press into file / same + folder sync: %5.2f x   (%.1f us)\n", press / durableFolder,
                    durableFolder * 1e6);
    }
    if (durable > 0 && plain > 0)
        std::printf("durable replace / plain write:     %8.2f x   (%.1f us)\n", durable / plain, plain * 1e6);
    const double handEdit = reporter.time("EditHandWrittenFile");
    if (handEdit > 0 && pure > 0)
        std::printf("edit of a 4 KB hand-written file / press of the form value: %5.2f x   (%.2f us)\n",
                    handEdit / pure, handEdit * 1e6);

    std::printf("\n");
    const std::size_t largest = qor::maxFileSize - 4096;
    pressMemory("comments", largest, "// a note on the mission\r\n", false);
    pressMemory("add-on entries", largest, "class Addon_Gun { count = 2; };\r\n", true);
    pressMemory("entries listed again", largest, "class M16{count=1;};\r\n", true);
    pressMemory("keys given again", largest, "showMap=1\r\n", false);
    return 0;
}
