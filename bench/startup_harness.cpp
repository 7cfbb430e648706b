// Start-up harness: shows the real window, a bare window of the same
// controls, or a minimal window with one push button, and prints how long
// after the process was spawned its first frame was painted.
//
//   startup_harness real|bare|minimal
//
// The spawner passes its steady-clock time (nanoseconds) in QOR_SPAWN_NS;
// both processes read the same system-wide steady clock. Output, one line,
// milliseconds since the spawn at three points: QApplication made, window
// made, first frame painted:
//   app-ms <ms> window-ms <ms> first-frame-ms <ms>
#include "catalogue/catalogue.h"
#include "layout/layout.h"
#include "layout/texts.h"
#include "ui/qt/qorgenerator.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
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

QRect pixels(qor::layout::Twips t)
{
    using qor::layout::toPixels;
    return {toPixels(t.left), toPixels(t.top), toPixels(t.width), toPixels(t.height)};
}

QString text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// The floor for the real window: the same widgets (their Qt classes, count
// and places) in a scroll area above a status band, with the desktop's font
// and colours, no folder read, no painting of its own, nothing named or
// connected.
std::unique_ptr<QWidget> bareWindow()
{
    using namespace qor;
    auto window = std::make_unique<QWidget>();
    auto *column = new QVBoxLayout(window.get());
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto *area = new QScrollArea(window.get());
    auto *canvas = new QWidget;
    canvas->setFixedSize(pixels(layout::clientArea).size());
    for (const layout::ShapeRow &s : layout::shapes)
        (new QWidget(canvas))->setGeometry(pixels(s.box));
    for (const layout::LabelRow &s : layout::labels)
        (new QLabel(text(s.caption), canvas))->setGeometry(pixels(s.box));
    for (const layout::LineRow &s : layout::lines)
        (new QWidget(canvas))
            ->setGeometry(QRect(QPoint(layout::toPixels(s.x1), layout::toPixels(s.y1)),
                                QPoint(layout::toPixels(s.x2), layout::toPixels(s.y2)))
                              .normalized()
                              .adjusted(0, 0, s.widthPx, s.widthPx));
    for (int slot = 0; slot < checkBoxCount; ++slot)
        (new QCheckBox(text(catalogue[static_cast<std::size_t>(slot)].caption), canvas))
            ->setGeometry(pixels(layout::items.check[static_cast<std::size_t>(slot)]));
    for (const layout::BriefingRow &row : layout::briefing)
        (new QCheckBox(text(row.caption), canvas))->setGeometry(pixels(layout::briefingBox(row)));
    for (int slot = 0; slot < slotCount; ++slot)
        (new QLineEdit(QStringLiteral("1"), canvas))
            ->setGeometry(pixels(layout::items.count[static_cast<std::size_t>(slot)]));
    for (const layout::Twips box : {layout::txti1Box, layout::txti2Box, layout::txttBox})
        (new QLineEdit(canvas))->setGeometry(pixels(box));
    (new QPushButton(text(layout::cmdCaption), canvas))->setGeometry(pixels(layout::cmdBox));
    area->setWidget(canvas);
    column->addWidget(area, 1);
    auto *footer = new QWidget(window.get());
    auto *row = new QHBoxLayout(footer);
    row->addWidget(new QLabel(footer), 1);
    row->addWidget(new QPushButton(text(layout::folderCaption), footer));
    column->addWidget(footer);
    return window;
}

} // namespace

int main(int argc, char *argv[])
{
    const char *spawn = std::getenv("QOR_SPAWN_NS");
    const std::int64_t spawnNs = spawn ? std::strtoll(spawn, nullptr, 10) : nowNs();
    const bool real = argc > 1 && std::strcmp(argv[1], "real") == 0;
    const bool bare = argc > 1 && std::strcmp(argv[1], "bare") == 0;
    if (argc < 2 || (!real && !bare && std::strcmp(argv[1], "minimal") != 0)) {
        std::fprintf(stderr, "usage: %s real|bare|minimal\n", argv[0]);
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
    } else if (bare) {
        window = bareWindow();
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
