// The session a window runs: the scenario table against the core alone, and
// the rule of recently used folders.
#include "formrecord.h"
#include "io/filesink.h"
#include "layout/texts.h"
#include "mission/session.h"
#include "scenarios.h"

#include <gtest/gtest.h>

namespace qor::test
{
namespace
{

// The core with nothing but a FormRecord for a window: the real folders and
// file, the recent folders in memory.
class CoreDriver final : public scenario::Driver, private SystemDesk
{
  public:
    CoreDriver() : session_(form_, *this, descriptionSink) {}

    void open(bool startValues) override { session_.open(startValues); }
    void click(ControlId box) override
    {
        form_.setValue(box, form_.value(box) == ticked ? unticked : ticked);
        focus_ = layout::controlName(box);
    }
    void type(ControlId box, const std::string &text) override
    {
        form_.setText(box, text);
        focus_ = layout::controlName(box);
    }
    void press() override
    {
        focus_ = "cmd";
        const std::size_t moves = form_.focusMoves.size();
        session_.press();
        if (form_.focusMoves.size() > moves)
            focus_ = layout::controlName(form_.focusMoves.back());
        messages = form_.messages;
    }
    void chooseFolder(const std::string &folder) override
    {
        focus_ = "folderButton";
        session_.switchFolder(folder);
    }
    std::string status() override { return session_.status(); }
    std::string focus() override { return focus_; }

  private:
    Answer ask(const Question &q) override { return nextAnswer(q); }
    std::vector<std::string> storedFolders() const override { return stored_; }
    void storeFolders(const std::vector<std::string> &folders) override { stored_ = folders; }

    FormRecord form_;
    std::vector<std::string> stored_;
    std::string focus_ = "cmd";
    Session session_;
};

TEST(Scenario, TheCoreAlone)
{
    scenario::runAll([]() -> std::unique_ptr<scenario::Driver> { return std::make_unique<CoreDriver>(); });
}

TEST(RecentFolders, NewestFirstEachOnceAtMostEight)
{
    using List = std::vector<std::string>;
    // As on Windows, where case tells no two folders apart.
    const auto same = [](const std::string &a, const std::string &b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                          [](char x, char y) { return std::tolower(x) == std::tolower(y); });
    };
    const List nine{"1", "2", "3", "4", "5", "6", "7", "8", "9"};
    struct Row {
        List recent;
        std::string folder;
        List expected;
    } const table[] = {
        {{}, "a", {"a"}},
        {{"b", "a", "c"}, "a", {"a", "b", "c"}},
        {{"b", "A"}, "a", {"a", "b"}},
        {nine, "new", {"new", "1", "2", "3", "4", "5", "6", "7"}},
        {nine, "5", {"5", "1", "2", "3", "4", "6", "7", "8"}},
        // Settings written by hand or by an older copy: tidied on reading.
        {{"a", "", "a", "b"}, "", {"a", "b"}},
        {nine, "", {"1", "2", "3", "4", "5", "6", "7", "8"}},
    };
    for (const Row &r : table)
        EXPECT_EQ(withRecent(r.recent, r.folder, same), r.expected) << r.folder;
}

} // namespace
} // namespace qor::test
