#include "format/plaintext.h"
#include "io/workfolder.h"
#include "start/commandline.h"
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
    qor::StartRequest start =
        qor::readCommandLine(std::vector<std::string>(argv, argv + argc), {false, qor::qtOptions});
    if (start.action != qor::StartRequest::Action::ShowWindow) {
        const bool printed = start.action == qor::StartRequest::Action::Print;
        // Options and folder names come from outside: shown as plain text.
        std::fputs(qor::plainLines(start.text).c_str(), printed ? stdout : stderr);
        return printed ? 0 : qor::usageStatus;
    }
    if (start.hasFolder) {
        const std::string reason = qor::enterFolder(start.folder);
        if (!reason.empty()) {
            std::fputs(qor::plainLines(qor::refusal(start.folder + ": " + reason)).c_str(), stderr);
            return qor::usageStatus;
        }
    }

    // Qt sees only its own options: a folder named "-reverse" after "--" is
    // a folder, not a mirrored window.
    std::vector<char *> qtArgv;
    for (std::string &arg : start.passedOn)
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
    window.openWorkingFolder(start.startValues, start.hasFolder);
    window.show();
    return QApplication::exec();
}
