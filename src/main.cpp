#include "qorgenerator.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qorgenerator"));
    QApplication::setApplicationDisplayName(QString::fromLatin1(qor::applicationTitle));
    // Lets desktops match the window to its menu entry and installed icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.qorgenerator"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.example.qorgenerator")));
    qor::QorGenerator window;
    window.show();
    return QApplication::exec();
}
