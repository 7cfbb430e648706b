#include "scenarios.h"

#include "mission/messagetext.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace qor::scenario
{
namespace
{

namespace fs = std::filesystem;

// What stands at description.ext before the window opens the folder.
enum class Before { Nothing, StartFile, Fullest, HandAdded, AFolder };
// What must stand there at the end.
enum class After { Nothing, Unchanged, StartFile, AFolder, WithoutWeapons };

// One thing the user does; a folder chosen is named under the row's root.
using Step = std::function<void(Driver &, const fs::path &root)>;
Step click(ControlId id)
{
    return [id](Driver &d, const fs::path &) { d.click(id); };
}
Step type(ControlId id, std::string text)
{
    return [id, text](Driver &d, const fs::path &) { d.type(id, text); };
}
const Step press = [](Driver &d, const fs::path &) { d.press(); };
// "other" holds the fullest file; "missing" does not exist.
Step choose(std::string folder)
{
    return [folder](Driver &d, const fs::path &root) { d.chooseFolder((root / folder).string()); };
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

// clang-format off
const Row rows[] = {
    {"EmptyFolderPressWritesTheStartFile", Before::Nothing, {press}, {}, After::StartFile,
     ": Wrote description.ext, ", "", "", "cmd"},
    {"OwnFileComesBackAndPressesUnasked", Before::Fullest, {press}, {}, After::Unchanged,
     ": Wrote description.ext, ", "", "", "cmd"},
    {"LinesThatContradictTheFormCancelKeepsTheFile", Before::HandAdded, {press}, {Answer::Cancel}, After::Unchanged,
     "asks before it drops 1 line that would contradict what the form writes (line 26)", "(line 26)", "", "cmd"},
    {"LinesThatContradictTheFormReplaceDropsThem", Before::HandAdded, {press}, {Answer::Replace}, After::StartFile,
     ": Wrote description.ext, ", "(line 26)", "", "cmd"},
    {"StartValuesLeaveTheFileUnread", Before::Fullest, {}, {}, After::Unchanged,
     ": Started from the start values", "", "", "cmd", true},
    {"ACountThatIsNoNumberTakesTheFocus", Before::Nothing, {click(wep(0)), type(cant(0), "x"), press}, {},
     After::WithoutWeapons, ": Wrote description.ext, ", "", "error; not a number", "cant_0"},
    {"AFolderThatCannotBeEnteredChangesNothing", Before::StartFile, {choose("missing")}, {}, After::Unchanged,
     "missing cannot be opened (", "", "", "folderButton"},
    {"UnwrittenValuesAskBeforeAnotherFolderCancelStays", Before::Nothing, {click(wep(5)), choose("other")},
     {Answer::Cancel}, After::Nothing, ": No description.ext here yet", "not yet written", "", "folderButton"},
    {"UnwrittenValuesLeftForAnotherFolder", Before::Nothing, {click(wep(5)), choose("other")}, {Answer::Replace},
     After::Nothing, "other: Read description.ext", "not yet written", "", "folderButton"},
    {"AFolderNamedLikeTheFileIsNotReplaced", Before::AFolder, {}, {}, After::AFolder,
     "description.ext here is a folder", "", "", "cmd"},
    {"ALongPathInAMessageIsFittedToTheBox", Before::AFolder, {press}, {}, After::AFolder,
     "", "", "Cannot write ", "cmd", false, std::string(120, 'x')},
};
// clang-format on

std::string dataFile(const char *name)
{
    return test::readFile(std::string(QOR_TEST_DATA) + "/" + name);
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
    const std::string befores[] = {"<missing>", startFile, fullest, startFile + "showMap=0;\r\n", "<folder>"};
    const std::string &before = befores[static_cast<int>(row.before)];
    if (before == "<folder>")
        fs::create_directory(file);
    ASSERT_TRUE(before[0] == '<' || test::writeFile(file.string(), before));
    fs::current_path(here);

    {
        std::unique_ptr<Driver> driver = make();
        driver->answers = row.answers;
        driver->open(row.startValues);
        for (const Step &step : row.steps)
            step(*driver, root);

        const std::string status = driver->status();
        EXPECT_NE(status.find(row.status), std::string::npos) << status;
        expectFirst(driver->questions, row.question);
        expectFirst(driver->messages, row.message);
        for (const std::string &m : driver->messages)
            EXPECT_EQ(fitForMessageBox(m), m) << "not fitted to the box";
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
