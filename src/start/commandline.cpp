#include "start/commandline.h"
#include "start/usage.h"

namespace qor
{

namespace
{

struct OwnOption {
    std::string_view shortName, longName, help;
};

enum Own : std::size_t { help, version, startValues };
constexpr OwnOption ownOptions[] = {
    {"h", "help", usage::helpHelp},
    {"v", "version", usage::versionHelp},
    {"n", usage::startValuesOption.substr(2), usage::startValuesHelp},
};

std::string helpText()
{
    auto line = [](std::string_view words, std::string_view help) {
        std::string padded(words);
        padded.resize(20, ' ');
        return "  " + padded + std::string(help) + "\n";
    };
    std::string text = "Usage: " + std::string(usage::programName) + " [options] [FOLDER]\n" +
                       std::string(usage::description) + "\n\nOptions:\n";
    for (const OwnOption &o : ownOptions)
        text += line("-" + std::string(o.shortName) + ", --" + std::string(o.longName), o.help);
    return text + "\nArguments:\n" + line("FOLDER", usage::folderHelp);
}

StartRequest answer(StartRequest::Action action, std::string text)
{
    StartRequest request;
    request.action = action;
    request.text = std::move(text);
    return request;
}

} // namespace

std::string refusal(std::string_view message)
{
    return std::string(usage::programName) + ": " + std::string(message) + "\n";
}

StartRequest readCommandLine(const std::vector<std::string> &args, const Dialect &dialect)
{
    StartRequest request;
    request.passedOn.push_back(args.empty() ? std::string(usage::programName) : args.front());
    std::vector<std::size_t> folders;
    std::string refused;
    bool wants[std::size(ownOptions)] = {};
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--") {
            for (++i; i < args.size(); ++i)
                folders.push_back(i);
            break;
        }
        if (dialect.windows && arg == "/?") {
            wants[help] = true;
            continue;
        }
        if (arg.size() < 2 || arg[0] != '-') {
            folders.push_back(i);
            continue;
        }
        // One dash or two, as Qt programs take their options.
        const std::string_view word = arg.substr(arg.starts_with("--") ? 2 : 1);
        const std::size_t equals = word.find('=');
        const std::string_view name = word.substr(0, equals);
        const std::string_view typed = arg.substr(0, arg.size() - word.size() + name.size());
        bool known = false;
        for (std::size_t o = 0; o < std::size(ownOptions); ++o) {
            if (name != ownOptions[o].shortName && name != ownOptions[o].longName)
                continue;
            known = true;
            wants[o] = true;
            if (equals != std::string_view::npos && refused.empty())
                refused = "Unexpected value after '" + std::string(typed) + "'.";
        }
        for (const PassedOption &p : dialect.passOn) {
            if (known || name != p.name)
                continue;
            known = true;
            request.passedOn.emplace_back(arg);
            if (!p.takesValue || equals != std::string_view::npos)
                continue;
            if (i + 1 < args.size())
                request.passedOn.push_back(args[++i]);
            else if (refused.empty())
                refused = "Missing value after '" + std::string(typed) + "'.";
        }
        if (!known && refused.empty())
            refused = "Unknown option '" + std::string(typed) + "'.";
    }
    if (!refused.empty())
        return answer(StartRequest::Action::Refuse, refusal(refused + " See --help."));
    if (wants[help])
        return answer(StartRequest::Action::Print, helpText());
    if (wants[version])
        return answer(StartRequest::Action::Print, std::string(usage::programName) + " " + QOR_VERSION + "\n");
    if (folders.size() > 1)
        return answer(StartRequest::Action::Refuse, refusal(usage::oneFolder));
    request.startValues = wants[startValues];
    if (!folders.empty()) {
        request.hasFolder = true;
        request.folderArgument = folders.front();
        request.folder = folderMeant<char>(args[folders.front()], dialect);
    }
    return request;
}

} // namespace qor
