#include "qorgenerator.h"
#include "start/commandline.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>

int main(int argc, char *argv[])
{
    // Options and the folder are dealt with before QApplication connects to a
    // display: --help, --version and a bad folder work without one, and a bad
    // folder is refused before any window opens.
    const qor::StartRequest start = qor::readCommandLine(argc, argv);
    if (start.action != qor::StartRequest::Action::ShowWindow) {
        const bool printed = start.action == qor::StartRequest::Action::Print;
        std::fputs(start.text.c_str(), printed ? stdout : stderr);
        return printed ? 0 : qor::usageStatus;
    }
    if (start.hasFolder) {
        const std::string refused = qor::enterFolder(start.folder);
        if (!refused.empty()) {
            std::fputs(refused.c_str(), stderr);
            return qor::usageStatus;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("qorgenerator"));
    // Lets desktops match the window to its menu entry and installed icon,
    // both named after the application id the build defines.
    QGuiApplication::setDesktopFileName(QStringLiteral(QOR_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(QOR_APP_ID)));
    qor::QorGenerator window;
    window.show();
    return QApplication::exec();
}
