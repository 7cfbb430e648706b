// The one command-line grammar, in both dialects: what each start asks for;
// and what a start does with it before a window exists.
#include "start/commandline.h"
#include "start/launch.h"

#include <filesystem>

#include <gtest/gtest.h>

namespace qor::test
{
namespace
{

using Action = StartRequest::Action;
const Dialect qt{false, qtOptions};
const Dialect windows{true, {}};

TEST(CommandLine, EachStartAsksForOneThing)
{
    struct Row {
        std::vector<std::string> args; // after the program's name
        const Dialect &dialect;
        Action action;
        std::string folderOrText; // ShowWindow: the folder; else how the text begins
        std::vector<std::string> passedOn = {};
        bool startValues = false;
    };
    const Row rows[] = {
        {{}, qt, Action::ShowWindow, ""},
        {{"/m/\xff\xfe x"}, qt, Action::ShowWindow, "/m/\xff\xfe x"},
        {{"--", "-style=bogus"}, qt, Action::ShowWindow, "-style=bogus"},
        {{"-session", "1a2b", "-style", "Fusion", "--reverse", "m"},
         qt,
         Action::ShowWindow,
         "m",
         {"-session", "1a2b", "-style", "Fusion", "--reverse"}},
        {{"--style=Fusion", "m", "--", "-reverse"}, qt, Action::Refuse, "qorgenerator: one FOLDER at most."},
        {{"-n", "m"}, qt, Action::ShowWindow, "m", {}, true},
        {{"--start-values"}, windows, Action::ShowWindow, "", {}, true},
        {{"m", "--version"}, qt, Action::Print, "qorgenerator " QOR_VERSION "\n"},
        {{"-h"}, qt, Action::Print, "Usage: qorgenerator [options] [FOLDER]\n"},
        {{"/?"}, windows, Action::Print, "Usage: qorgenerator"},
        {{"/?"}, qt, Action::ShowWindow, "/?"},
        {{"--bogus"}, qt, Action::Refuse, "qorgenerator: Unknown option '--bogus'. See --help.\n"},
        {{"-style"}, windows, Action::Refuse, "qorgenerator: Unknown option '-style'."},
        {{"-style"}, qt, Action::Refuse, "qorgenerator: Missing value after '-style'."},
        {{"--help=x"}, qt, Action::Refuse, "qorgenerator: Unexpected value after '--help'."},
        // Explorer's verb on a drive's or a share's root: "C:\" arrives as C:".
        {{"C:\""}, windows, Action::ShowWindow, "C:\\"},
        {{"D:\\Missions\\One\""}, windows, Action::ShowWindow, "D:\\Missions\\One\\"},
        {{"\\\\server\\share\""}, windows, Action::ShowWindow, "\\\\server\\share\\"},
        {{"\\\\server\\share\\"}, windows, Action::ShowWindow, "\\\\server\\share\\"},
        {{"odd\""}, qt, Action::ShowWindow, "odd\""},
    };
    for (const Row &r : rows) {
        std::vector<std::string> args{"qorgenerator"};
        args.insert(args.end(), r.args.begin(), r.args.end());
        const StartRequest s = readCommandLine(args, r.dialect);
        const std::string line = ::testing::PrintToString(r.args);
        EXPECT_EQ(s.action, r.action) << line;
        if (r.action != Action::ShowWindow) {
            EXPECT_EQ(s.text.substr(0, r.folderOrText.size()), r.folderOrText) << line;
            continue;
        }
        EXPECT_EQ(s.folder, r.folderOrText) << line;
        EXPECT_EQ(s.hasFolder, !r.folderOrText.empty()) << line;
        EXPECT_EQ(s.startValues, r.startValues) << line;
        std::vector<std::string> passed{"qorgenerator"};
        passed.insert(passed.end(), r.passedOn.begin(), r.passedOn.end());
        EXPECT_EQ(s.passedOn, passed) << line;
    }
}

// Each start either ends before a window with what it said and its status,
// or goes on in the folder it named.
TEST(Launch, EndsWithItsStatusOrEntersTheFolder)
{
    namespace fs = std::filesystem;
    const fs::path before = fs::current_path();
    const fs::path folder =
        fs::temp_directory_path() / ("qor launch " + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::create_directories(folder);
    struct Row {
        std::vector<std::string> args;
        std::optional<int> status;
        std::string said; // how what the start said begins
        bool isError = false;
        bool named = false;
        bool startValues = false;
    };
    const Row rows[] = {
        {{}, std::nullopt, ""},
        {{"--start-values"}, std::nullopt, "", false, false, true},
        {{folder.string()}, std::nullopt, "", false, true},
        {{"--help"}, 0, "Usage: qorgenerator"},
        {{"--bogus"}, usageStatus, "qorgenerator: Unknown option '--bogus'.", true},
        // The system's reason follows: each system has its own words for it.
        {{"/no such folder/\x1b[2J"}, usageStatus, "qorgenerator: /no such folder/\\u001B[2J: ", true},
    };
    for (const Row &r : rows) {
        std::vector<std::string> args{"qorgenerator"};
        args.insert(args.end(), r.args.begin(), r.args.end());
        std::string said;
        bool isError = false;
        const Launch start = launch(readCommandLine(args, qt), [&](std::string_view text, bool error) {
            said += text;
            isError = error;
        });
        const std::string line = args.back();
        EXPECT_EQ(start.exitStatus, r.status) << line;
        EXPECT_EQ(said.substr(0, r.said.size()), r.said) << line;
        EXPECT_EQ(said.empty(), r.said.empty()) << line;
        EXPECT_EQ(isError, r.isError) << line;
        EXPECT_EQ(start.namedFolder, r.named) << line;
        EXPECT_EQ(start.startValues, r.startValues) << line;
        EXPECT_EQ(fs::current_path() == fs::canonical(folder), r.named) << line;
        fs::current_path(before);
    }
    fs::remove(folder);
}

} // namespace
} // namespace qor::test
