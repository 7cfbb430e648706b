// A sink that refuses its n-th operation, for every n a press makes: the
// press stops, says why, keeps the window and the old file, and the next
// press writes the right file.
#include "press/checks.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <functional>

namespace qor
{
namespace
{

using namespace test;

// Fails the test if the press touches the sink again after a refusal.
class StrictFile final : public OutputFile
{
  public:
    explicit StrictFile(MemoryFile &inner) : inner_(inner) {}
    bool open() override { return track(inner_.open()); }
    bool commit(std::string_view bytes) override { return track(inner_.commit(bytes)); }
    std::string path() const override { return inner_.path(); }
    std::string errorString() const override { return inner_.errorString(); }
    void expect(const Snapshot &version) override { inner_.expect(version); }
    bool changed() const override { return inner_.changed(); }
    Snapshot written() const override { return inner_.written(); }

  private:
    bool track(bool ok)
    {
        EXPECT_FALSE(refused_) << "operation " << inner_.operations << " after a refusal";
        refused_ = refused_ || !ok;
        return ok;
    }
    MemoryFile &inner_;
    bool refused_ = false;
};

void expectSameWindow(const FormRecord &a, const FormRecord &b)
{
    EXPECT_EQ(a.intro, b.intro);
    EXPECT_EQ(a.mission, b.mission);
    EXPECT_EQ(a.quote, b.quote);
    EXPECT_EQ(a.briefing, b.briefing);
    EXPECT_EQ(a.ticks, b.ticks);
    EXPECT_EQ(a.counts, b.counts);
}

struct FaultCase {
    const char *name;
    std::function<void(FormRecord &)> fill;
    std::vector<std::string> lines; // the file a fault-free press writes
    int checkFailures;              // "not a number" messages per press
};

FormRecord oneRifleWithMagazines()
{
    FormRecord f;
    f.intro = "introscript";
    f.mission = "missionscript";
    tick(f, "M16", "2");
    f.counts[ammoBoxOf("M16")] = "10";
    return f;
}

const FaultCase faultCases[] = {
    {"StartValues", [](FormRecord &) {}, concat({headerLines(), section("Weapons", {}), section("Magazines", {})}), 0},
    {"OneRifleWithMagazines", [](FormRecord &f) { f = oneRifleWithMagazines(); },
     concat({headerLines("introscript", "missionscript"), section("Weapons", {entry("M16", "2")}),
             section("Magazines", {entry("M16", "10")})}),
     0},
    {"SharedMagazinesAndNonAscii",
     [](FormRecord &f) {
         f.intro = "caf\xC3\xA9 \xD0\x96";
         f.mission = "say \"go\"";
         f.setValue(chki(7), greyed);
         tick(f, "M4", "1");
         tick(f, "XMS", "2.5");
         f.counts[ammoBoxOf("M4")] = "3";
         f.counts[ammoBoxOf("XMS")] = "4";
         tick(f, "HandGrenade", "&H10");
         tick(f, "Kozlice", "1");
         tick(f, "Kozliceshell", "6");
     },
     concat({headerLines("caf\xE9 ?", "say \"go\"", {1, 0, 1, 1, 0, 0, 2}),
             section("Weapons", {entry("M4", "1"), entry("XMS", "2.5"), entry("Kozlice", "1")}),
             section("Magazines", {entry("HandGrenade", "16"), entry("M4", "7"), entry("Kozliceshell", "6")})}),
     0},
    // The first pass empties box 5 before the Weapons section would start;
    // faults before that check leave box 5 as typed.
    {"CheckFailsInTheFirstPass",
     [](FormRecord &f) {
         tick(f, "M60", "4");
         tick(f, "M21", "x");
         f.counts[ammoBoxOf("M60")] = "9";
     },
     concat({headerLines(), section("Magazines", {entry("M60", "9")})}), 1},
};

void PrintTo(const FaultCase &c, std::ostream *os)
{
    *os << c.name;
}

class Faults : public ::testing::TestWithParam<FaultCase>
{
};

TEST_P(Faults, EveryRefusedOperationLosesNothing)
{
    const std::string old = "the file of the previous press\r\n";
    FormRecord start;
    GetParam().fill(start);

    // A fault-free press tells how many operations there are to refuse.
    FormRecord clean = start;
    MemoryFile cleanFile;
    WindowFields cleanFields;
    ASSERT_TRUE(cmd_Click(clean, cleanFile, cleanFields));
    ASSERT_EQ(cleanFile.committed, crlf(GetParam().lines));
    const int operations = cleanFile.operations;
    ASSERT_EQ(operations, 2) << "open, then commit with the whole file";

    for (int n = 1; n <= operations; ++n) {
        SCOPED_TRACE("refused operation " + std::to_string(n) + " of " + std::to_string(operations));
        FormRecord form = start;
        MemoryFile file;
        file.committed = old;
        file.failAt = n;
        file.reason = "Input/output error";
        StrictFile strict(file);
        WindowFields fields;
        EXPECT_FALSE(cmd_Click(form, strict, fields));
        EXPECT_EQ(file.operations, n) << "the press stops at the refusal";
        EXPECT_EQ(file.committed, old) << "old file byte for byte";

        // Refused at the open, nothing else has run: no count message and the
        // window untouched. Refused at the commit, every check has run first.
        const bool atOpen = n == 1;
        std::vector<std::string> messages(atOpen ? 0 : static_cast<std::size_t>(GetParam().checkFailures), notANumber);
        messages.push_back("Cannot write /memory/description.ext: Input/output error");
        EXPECT_EQ(form.messages, messages);
        EXPECT_EQ(form.kinds, std::vector<MessageKind>(messages.size(), MessageKind::warning));
        expectSameWindow(form, atOpen ? start : clean);
        EXPECT_EQ(form.focus, atOpen ? start.focus : clean.focus);

        // The fault is gone: the next press through the same sink is right.
        file.failAt = 0;
        StrictFile healed(file);
        ASSERT_TRUE(cmd_Click(form, healed, fields));
        EXPECT_EQ(file.committed, crlf(GetParam().lines));
    }
}

INSTANTIATE_TEST_SUITE_P(Forms, Faults, ::testing::ValuesIn(faultCases),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace qor
