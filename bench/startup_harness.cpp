// Start-up harness: shows either the real window or a minimal window with one
// push button, and prints how long after the process was spawned its first
// frame was painted.
//
//   startup_harness real|minimal
//
// The spawner passes its steady-clock time (nanoseconds) in QOR_SPAWN_NS;
// both processes read the same system-wide steady clock. Output, one line,
// milliseconds since the spawn at three points: QApplication made, window
// made, first frame painted:
//   app-ms <ms> window-ms <ms> first-frame-ms <ms>
#include "ui/qt/qorgenerator.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>

namespace
{

std::int64_t nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double msSince(std::int64_t ns)
{
    return static_cast<double>(nowNs() - ns) / 1e6;
}

// Notes the first paint in the window; once that event has been handled and
// the frame flushed, prints the time and ends the program.
class FirstFrame : public QObject
{
  public:
    explicit FirstFrame(std::int64_t spawnNs, std::string phases) : spawnNs_(spawnNs), phases_(std::move(phases)) {}

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            // Runs after the paint events of this frame and the flush.
            QTimer::singleShot(0, this, [this] {
                std::printf("%sfirst-frame-ms %.3f\n", phases_.c_str(), msSince(spawnNs_));
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    std::int64_t spawnNs_;
    std::string phases_;
    bool seen_ = false;
};

} // namespace

int main(int argc, char *argv[])
{
    const char *spawn = std::getenv("QOR_SPAWN_NS");
    const std::int64_t spawnNs = spawn ? std::strtoll(spawn, nullptr, 10) : nowNs();
    const bool real = argc > 1 && std::strcmp(argv[1], "real") == 0;
    if (argc < 2 || (!real && std::strcmp(argv[1], "minimal") != 0)) {
        std::fprintf(stderr, "usage: %s real|minimal\n", argv[0]);
        return 2;
    }

    QApplication app(argc, argv);
    std::string phases = "app-ms " + std::to_string(msSince(spawnNs)) + " ";
    std::unique_ptr<QWidget> window;
    if (real) {
        // As the program's main() does.
        auto real = std::make_unique<qor::QorGenerator>();
        real->openWorkingFolder(false); // reads description.ext where there is one
        window = std::move(real);
    } else {
        window = std::make_unique<QWidget>();
        auto *layout = new QVBoxLayout(window.get());
        layout->addWidget(new QPushButton(QStringLiteral("Press"), window.get()));
    }
    phases += "window-ms " + std::to_string(msSince(spawnNs)) + " ";
    FirstFrame firstFrame(spawnNs, std::move(phases));
    // Any widget's paint: the real window's own area lies wholly under its
    // opaque scroll area, so Qt never asks the window itself to paint.
    app.installEventFilter(&firstFrame);
    window->show();
    return QApplication::exec();
}
