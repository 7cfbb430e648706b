#include "scenarios.h"

#include "mission/messagetext.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace qor::scenario
{
namespace
{

namespace fs = std::filesystem;

// What stands at description.ext before the window opens the folder.
enum class Before { Nothing, StartFile, Fullest, HandAdded, AFolder };
// What must stand there at the end.
enum class After { Nothing, Unchanged, StartFile, AFolder, WithoutWeapons };

struct Step {
    enum class Kind { Click, Type, Press, Choose } kind;
    ControlId control{ControlName::txtt};
    std::string text; // Type: the text; Choose: "other" (holds the fullest file) or "missing"
};

Step click(ControlId id)
{
    return {Step::Kind::Click, id, {}};
}
Step type(ControlId id, std::string text)
{
    return {Step::Kind::Type, id, std::move(text)};
}
const Step press{Step::Kind::Press, {ControlName::txtt}, {}};
Step choose(std::string folder)
{
    return {Step::Kind::Choose, {ControlName::txtt}, std::move(folder)};
}

struct Row {
    const char *name;
    Before before;
    std::vector<Step> steps;
    std::vector<Answer> answers;
    After after;
    const char *status;   // a part of the status line at the end
    const char *question; // a part of the first question; empty: none asked
    const char *message;  // a part of the first message; empty: none shown
    const char *focus;
    bool startValues = false;
    // The folder's name: a long run without spaces ends up in a message.
    std::string folderName = "here";
};

const std::string longName(120, 'x');

const Row rows[] = {
    {"EmptyFolderPressWritesTheStartFile",
     Before::Nothing,
     {press},
     {},
     After::StartFile,
     ": Wrote description.ext, ",
     "",
     "",
     "cmd"},
    {"OwnFileComesBackAndPressesUnasked",
     Before::Fullest,
     {press},
     {},
     After::Unchanged,
     ": Wrote description.ext, ",
     "",
     "",
     "cmd"},
    {"LinesTheFormCannotHoldCancelKeepsTheFile",
     Before::HandAdded,
     {press},
     {Answer::Cancel},
     After::Unchanged,
     "cannot hold",
     "(line 26)",
     "",
     "cmd"},
    {"LinesTheFormCannotHoldReplaceDropsThem",
     Before::HandAdded,
     {press},
     {Answer::Replace},
     After::StartFile,
     ": Wrote description.ext, ",
     "(line 26)",
     "",
     "cmd"},
    {"StartValuesLeaveTheFileUnread",
     Before::Fullest,
     {},
     {},
     After::Unchanged,
     ": Started from the start values",
     "",
     "",
     "cmd",
     true},
    {"ACountThatIsNoNumberTakesTheFocus",
     Before::Nothing,
     {click(wep(0)), type(cant(0), "x"), press},
     {},
     After::WithoutWeapons,
     ": Wrote description.ext, ",
     "",
     "error; not a number",
     "cant_0"},
    {"AFolderThatCannotBeEnteredChangesNothing",
     Before::StartFile,
     {choose("missing")},
     {},
     After::Unchanged,
     "missing cannot be opened (",
     "",
     "",
     "folderButton"},
    {"UnwrittenValuesAskBeforeAnotherFolderCancelStays",
     Before::Nothing,
     {click(wep(5)), choose("other")},
     {Answer::Cancel},
     After::Nothing,
     ": No description.ext here yet",
     "not yet written",
     "",
     "folderButton"},
    {"UnwrittenValuesLeftForAnotherFolder",
     Before::Nothing,
     {click(wep(5)), choose("other")},
     {Answer::Replace},
     After::Nothing,
     "other: Read description.ext",
     "not yet written",
     "",
     "folderButton"},
    {"AFolderNamedLikeTheFileIsNotReplaced", Before::AFolder, {}, {}, After::AFolder, "is not a file", "", "", "cmd"},
    {"ALongPathInAMessageIsFittedToTheBox",
     Before::AFolder,
     {press},
     {},
     After::AFolder,
     "",
     "",
     "Cannot write ",
     "cmd",
     false,
     longName},
};

std::string dataFile(const char *name)
{
    return test::readFile(std::string(QOR_TEST_DATA) + "/" + name);
}

// Code points in the longest run without whitespace.
std::size_t longestRun(const std::string &text)
{
    std::size_t longest = 0, run = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        if ((c & 0xC0) == 0x80)
            continue;
        const bool breaks = c == ' ' || c == '\n' || c == '\t' || text.compare(at, 3, "\xE2\x80\x8B") == 0;
        run = breaks ? 0 : run + 1;
        longest = std::max(longest, run);
    }
    return longest;
}

// The first of `shown` holds `part`; with an empty part, nothing was shown.
void expectFirst(const std::vector<std::string> &shown, const std::string &part)
{
    if (part.empty())
        EXPECT_EQ(shown, std::vector<std::string>());
    else
        EXPECT_TRUE(!shown.empty() && shown[0].find(part) != std::string::npos)
            << (shown.empty() ? "nothing shown" : shown[0]);
}

void runRow(const Row &row, MakeDriver make, int n)
{
    SCOPED_TRACE(row.name);
    const fs::path previous = fs::current_path();
    const fs::path root = fs::temp_directory_path() / ("qor-scenario-" + std::to_string(n) + "-" +
                                                       std::to_string(reinterpret_cast<std::uintptr_t>(&row)));
    fs::remove_all(root);
    const fs::path here = root / row.folderName, other = root / "other";
    fs::create_directories(here);
    fs::create_directories(other);
    const std::string startFile = dataFile("start.ext"), fullest = dataFile("fullest.ext");
    ASSERT_TRUE(test::writeFile((other / "description.ext").string(), fullest));
    const fs::path file = here / "description.ext";
    std::string before = "<missing>";
    switch (row.before) {
    case Before::Nothing:
        break;
    case Before::StartFile:
        before = startFile;
        break;
    case Before::Fullest:
        before = fullest;
        break;
    case Before::HandAdded:
        before = startFile + "respawn = 3;\r\n";
        break;
    case Before::AFolder:
        fs::create_directory(file);
        break;
    }
    if (before != "<missing>") {
        ASSERT_TRUE(test::writeFile(file.string(), before));
    }
    fs::current_path(here);

    {
        std::unique_ptr<Driver> driver = make();
        driver->answers = row.answers;
        driver->open(row.startValues);
        for (const Step &step : row.steps) {
            switch (step.kind) {
            case Step::Kind::Click:
                driver->click(step.control);
                break;
            case Step::Kind::Type:
                driver->type(step.control, step.text);
                break;
            case Step::Kind::Press:
                driver->press();
                break;
            case Step::Kind::Choose:
                driver->chooseFolder((root / step.text).string());
                break;
            }
        }

        const std::string status = driver->status();
        EXPECT_NE(status.find(row.status), std::string::npos) << status;
        expectFirst(driver->questions, row.question);
        expectFirst(driver->messages, row.message);
        for (const std::string &m : driver->messages)
            EXPECT_LE(longestRun(m), messageLineLength) << m;
        EXPECT_EQ(driver->focus(), row.focus);
    }

    const std::string now = test::readFile(file.string());
    switch (row.after) {
    case After::Nothing:
        EXPECT_FALSE(fs::exists(file));
        break;
    case After::Unchanged:
        EXPECT_EQ(now, before);
        break;
    case After::StartFile:
        EXPECT_EQ(now, startFile);
        break;
    case After::AFolder:
        EXPECT_TRUE(fs::is_directory(file));
        break;
    case After::WithoutWeapons:
        EXPECT_EQ(now.find("class Weapons"), std::string::npos) << now;
        EXPECT_NE(now.find("class Magazines"), std::string::npos) << now;
        break;
    }
    fs::current_path(previous);
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

} // namespace

void runAll(MakeDriver make)
{
    int n = 0;
    for (const Row &row : rows)
        runRow(row, make, ++n);
}

} // namespace qor::scenario
