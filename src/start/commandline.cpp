#include "start/commandline.h"
#include "start/usage.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QStringList>

#include <filesystem>
#include <string_view>
#include <system_error>

namespace qor
{

namespace
{

const std::string programName(usage::programName);

QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

struct QtOption {
    const char *name;
    bool takesValue;
};

// The options QGuiApplication and QApplication take on every platform, and
// those of X11.
constexpr QtOption qtOptions[] = {
    {"platform", true},        {"platformpluginpath", true},
    {"platformtheme", true},   {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowicon", true},
    {"qwindowtitle", true},    {"reverse", false},
    {"session", true},         {"style", true},
    {"stylesheet", true},      {"widgetcount", false},
    {"display", true},         {"geometry", true},
    {"nograb", false},         {"dograb", false},
    {"sync", false},
};

const QtOption *qtOption(std::string_view name)
{
    for (const QtOption &qt : qtOptions)
        if (name == qt.name)
            return &qt;
    return nullptr;
}

// Qt's options as the parser below takes them ("-style Fusion",
// "--style=Fusion"), each passed on as it was typed.
std::vector<std::string> qtArgumentsOf(int argc, const char *const argv[])
{
    std::vector<std::string> out{argc > 0 ? argv[0] : programName};
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--")
            break;
        if (arg.size() < 2 || arg[0] != '-')
            continue;
        const std::string_view word = arg.substr(arg.starts_with("--") ? 2 : 1);
        const QtOption *qt = qtOption(word.substr(0, word.find('=')));
        if (!qt)
            continue;
        out.emplace_back(arg);
        if (qt->takesValue && word.find('=') == std::string_view::npos && i + 1 < argc)
            out.emplace_back(argv[++i]);
    }
    return out;
}

std::string prefixed(const std::string &message)
{
    return programName + ": " + message + "\n";
}

} // namespace

StartRequest readCommandLine(int argc, const char *const argv[])
{
    // Latin-1 maps every byte to one character and back, so a folder name in
    // any encoding (or none) reaches chdir exactly as it was typed.
    QStringList args;
    for (int i = 0; i < argc; ++i)
        args << QString::fromLatin1(argv[i]);

    QCommandLineParser parser;
    parser.setApplicationDescription(qs(usage::description));
    parser.addPositionalArgument(QStringLiteral("FOLDER"), qs(usage::folderHelp), QStringLiteral("[FOLDER]"));
    // Own help and version options: Qt's would add --help-all, which lists
    // Qt's window-system options; those are Qt's to document.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, qs(usage::helpHelp));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, qs(usage::versionHelp));
    const QCommandLineOption startValues({QStringLiteral("n"), qs(usage::startValuesOption.substr(2))},
                                         qs(usage::startValuesHelp));
    parser.addOption(help);
    parser.addOption(version);
    parser.addOption(startValues);
    // Qt's own options, read by QApplication once it exists: a session
    // manager's restart adds "-session <id>", and users pass "-style" or
    // "-platform" as to any Qt program. Taken here only so that they and their
    // values are no FOLDER; hidden, since Qt documents them.
    for (const QtOption &qt : qtOptions) {
        QCommandLineOption option(QLatin1String(qt.name), QString(),
                                  qt.takesValue ? QStringLiteral("value") : QString());
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);

    StartRequest request;
    if (!parser.parse(args)) {
        request.action = StartRequest::Action::Refuse;
        request.text = prefixed(parser.errorText().toLatin1().toStdString() + " See --help.");
        return request;
    }
    if (parser.isSet(help)) {
        // The usage line names the program itself, not the "<executable_name>"
        // QCommandLineParser falls back to without an application object.
        QString text = parser.helpText();
        text.replace(0, text.indexOf(u'\n'), QStringLiteral("Usage: %1 [options] [FOLDER]").arg(qs(programName)));
        request.action = StartRequest::Action::Print;
        request.text = text.toStdString();
        return request;
    }
    if (parser.isSet(version)) {
        request.action = StartRequest::Action::Print;
        request.text = programName + " " + QOR_VERSION + "\n";
        return request;
    }
    request.startValues = parser.isSet(startValues);
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1) {
        request.action = StartRequest::Action::Refuse;
        request.text = prefixed(std::string(usage::oneFolder));
        return request;
    }
    if (!positional.isEmpty()) {
        request.hasFolder = true;
        request.folder = positional.front().toLatin1().toStdString();
    }
    request.qtArguments = qtArgumentsOf(argc, argv);
    return request;
}

std::string enterFolder(const std::string &folder)
{
    std::error_code error;
    std::filesystem::current_path(std::filesystem::path(folder), error);
    return error ? prefixed(folder + ": " + error.message()) : std::string();
}

} // namespace qor
