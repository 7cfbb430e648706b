#include "start/launch.h"
#include "ui/qt/qorgenerator.h"

#include <QApplication>
#include <QIcon>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char *argv[])
{
    // Before anything is written (a warning of Qt's to a file, say): under a
    // file-size limit, a write past it then fails with "File too large"
    // instead of ending the program.
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif

    // Options and the folder are dealt with before QApplication connects to a
    // display: --help, --version and a bad folder work without one, and a bad
    // folder is refused before any window opens.
    qor::StartRequest request =
        qor::readCommandLine(std::vector<std::string>(argv, argv + argc), {false, qor::qtOptions});
    const qor::Launch start = qor::launch(request, [](std::string_view text, bool isError) {
        std::fwrite(text.data(), 1, text.size(), isError ? stderr : stdout);
    });
    if (start.exitStatus)
        return *start.exitStatus;

    // Qt sees only its own options: a folder named "-reverse" after "--" is
    // a folder, not a mirrored window.
    std::vector<char *> qtArgv;
    for (std::string &arg : request.passedOn)
        qtArgv.push_back(arg.data());
    int qtArgc = static_cast<int>(qtArgv.size());
    qtArgv.push_back(nullptr);
    QApplication app(qtArgc, qtArgv.data());
    QApplication::setApplicationName(QStringLiteral("qorgenerator"));
    // Lets desktops match the window to its menu entry and installed icon,
    // both named after the application id the build defines.
    QGuiApplication::setDesktopFileName(QStringLiteral(QOR_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(QOR_APP_ID)));
    qor::QorGenerator window;
    qor::openAtStart(window, start);
    window.show();
    return QApplication::exec();
}
