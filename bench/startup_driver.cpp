// Runs the start-up harness for the real window, a bare window of the same
// widgets and the minimal one-button window, in turns, on the current Qt
// platform, and prints the median time to the first frame, the median peak
// resident memory of each, and the real window's ratios to both.
//
//   startup_driver <path to startup_harness> [runs]
//
// One unmeasured run of each comes first, so that font and plug-in caches are
// warm for both. POSIX only: it spawns the harness and reads each child's peak
// memory from wait4().
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

extern char **environ;

namespace
{

struct Sample {
    double appMs = 0;    // QApplication made
    double windowMs = 0; // window made
    double ms = 0;       // first frame painted
    long maxRssKiB = 0;
};

bool runOnce(const char *harness, const char *which, Sample &out)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // Both streams into one pipe: Qt's warnings are shown only if a run fails.
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);

    std::vector<std::string> env;
    for (char **e = environ; *e; ++e)
        if (std::strncmp(*e, "QOR_SPAWN_NS=", 13) != 0)
            env.emplace_back(*e);
    const auto spawnNs =
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    env.push_back("QOR_SPAWN_NS=" + std::to_string(spawnNs));
    std::vector<char *> envp;
    for (auto &s : env)
        envp.push_back(s.data());
    envp.push_back(nullptr);
    char *argv[] = {const_cast<char *>(harness), const_cast<char *>(which), nullptr};

    pid_t pid = 0;
    const int rc = posix_spawn(&pid, harness, &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (rc != 0) {
        close(pipeFds[0]);
        std::fprintf(stderr, "cannot start %s: %s\n", harness, std::strerror(rc));
        return false;
    }
    std::string output;
    char buffer[256];
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, static_cast<std::size_t>(n));
    close(pipeFds[0]);

    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s %s failed (status %d): %s\n", harness, which, status, output.c_str());
        return false;
    }
    auto field = [&](const std::string &key, double &value) {
        const auto at = output.find(key + " ");
        if (at == std::string::npos)
            return false;
        value = std::strtod(output.c_str() + at + key.size() + 1, nullptr);
        return true;
    };
    if (!field("app-ms", out.appMs) || !field("window-ms", out.windowMs) || !field("first-frame-ms", out.ms)) {
        std::fprintf(stderr, "%s %s printed no times: %s\n", harness, which, output.c_str());
        return false;
    }
    out.maxRssKiB = usage.ru_maxrss; // KiB on Linux
    return true;
}

template <typename T> T median(std::vector<T> v)
{
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <startup_harness> [runs]\n", argv[0]);
        return 2;
    }
    const char *harness = argv[1];
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;
    const char *platform = std::getenv("QT_QPA_PLATFORM");

    constexpr int kinds = 3;
    const char *const names[kinds] = {"real", "bare", "minimal"};
    Sample warm;
    for (const char *name : names)
        if (!runOnce(harness, name, warm))
            return 1;

    std::vector<Sample> samples[kinds];
    for (int k = 0; k < runs; ++k) {
        // Each round starts the three in a rotated order, so that drift in
        // machine load hits all of them.
        for (int turn = 0; turn < kinds; ++turn) {
            const int which = (k + turn) % kinds;
            Sample s;
            if (!runOnce(harness, names[which], s))
                return 1;
            samples[which].push_back(s);
        }
    }

    struct Medians {
        double app, window, frame;
        long rss;
    };
    auto medians = [](const std::vector<Sample> &v) {
        std::vector<double> app, window, frame;
        std::vector<long> rss;
        for (const Sample &s : v) {
            app.push_back(s.appMs);
            window.push_back(s.windowMs);
            frame.push_back(s.ms);
            rss.push_back(s.maxRssKiB);
        }
        return Medians{median(app), median(window), median(frame), median(rss)};
    };
    const Medians r = medians(samples[0]), b = medians(samples[1]), m = medians(samples[2]);
    std::printf("platform %s, %d runs each, medians, ms since spawn\n", platform ? platform : "(default)", runs);
    std::printf("                  app made  window made  first frame   peak RSS\n");
    for (const auto &[name, x] : {std::pair{"real window:   ", r}, {"bare window:   ", b}, {"minimal window:", m}})
        std::printf("  %s %8.1f  %11.1f  %11.1f  %6.1f MiB\n", name, x.app, x.window, x.frame, x.rss / 1024.0);
    std::printf("  start-up ratio real/bare (same widgets): %.2f x (goal <= 1.2 x)\n", r.frame / b.frame);
    std::printf("  start-up ratio real/minimal (one button): %.2f x\n", r.frame / m.frame);
    std::printf("  window made, real - bare: %+.1f ms; first frame after window made, real - bare: %+.1f ms\n",
                r.window - b.window, (r.frame - r.window) - (b.frame - b.window));
    std::printf("  peak RSS difference real - minimal: %+.1f MiB (target <= 8 MiB)\n", (r.rss - m.rss) / 1024.0);
    return 0;
}
