#include "qorgenerator.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qorgenerator"));
    // Lets desktops match the window to its menu entry and installed icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.qorgenerator"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.example.qorgenerator")));
    qor::QorGenerator window;
    window.show();
    return QApplication::exec();
}
