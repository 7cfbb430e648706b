// Renders the window into a picture for the documentation:
//
//   qorgenerator_screenshot <file.png> [dark]
//
// "dark" builds the window under a dark desktop scheme. On a screen smaller
// than the layout the window is scrolled down to the button, as a user sees
// it before pressing. `cmake --build <dir> --target screenshots` makes the
// pictures in docs/.
#include "darkpalette.h"
#include "ui/qt/qorgenerator.h"

#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    const bool dark = argc == 3 && std::strcmp(argv[2], "dark") == 0;
    if (argc != 2 && !dark) {
        std::fprintf(stderr, "usage: qorgenerator_screenshot <file.png> [dark]\n");
        return 2;
    }
    QApplication app(argc, argv);
    const QString path = QApplication::arguments().at(1);
    if (dark)
        QApplication::setPalette(qor::test::darkPalette());
    qor::QorGenerator window;
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "the window was never shown\n");
        return 1;
    }
    QScrollBar *down = window.findChild<QScrollArea *>(QStringLiteral("scroller"))->verticalScrollBar();
    down->setValue(down->maximum());
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "Cannot write %s\n", qPrintable(path));
        return 1;
    }
    return 0;
}
