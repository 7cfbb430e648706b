// Invariants that hold for every form, checked on many seeded random forms.
#include "generate/ansi.h"
#include "generate/checks.h"
#include "generate/countformat.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <random>
#include <set>

namespace qor
{
namespace
{

using namespace test;

// File order of every class name each section can hold.
const std::vector<std::string> weaponOrder = {"M4",
                                              "M16",
                                              "M60",
                                              "HK",
                                              "M16GrenadeLauncher",
                                              "M21",
                                              "G36a",
                                              "HKG3",
                                              "FAL",
                                              "Steyr",
                                              "UZI",
                                              "XMS",
                                              "LAWLauncher",
                                              "CarlGustavLauncher",
                                              "AALauncher",
                                              "MM1",
                                              "Beretta",
                                              "Glock",
                                              "AK74Su",
                                              "AK74",
                                              "PK",
                                              "Bizon",
                                              "AK74GrenadeLauncher",
                                              "SVDDragunov",
                                              "AK47",
                                              "AK47GrenadeLauncher",
                                              "AT4Launcher",
                                              "9K32Launcher",
                                              "RPGLauncher",
                                              "6G30",
                                              "Tokarev",
                                              "Skorpion",
                                              "LaserDesignator",
                                              "Binocular",
                                              "NVGoggles",
                                              "Kozlice",
                                              "AK47CZ",
                                              "CZ75"};
const std::vector<std::string> magazineOrder = {"HandGrenade",
                                                "Mortar",
                                                "SmokeShell",
                                                "SmokeShellRed",
                                                "SmokeShellGreen",
                                                "Flare",
                                                "FlareRed",
                                                "FlareGreen",
                                                "FlareYellow",
                                                "PipeBomb",
                                                "TimeBomb",
                                                "Mine",
                                                "M16",
                                                "M60",
                                                "HK",
                                                "M21",
                                                "G36aMag",
                                                "HKG3Mag",
                                                "FALMag",
                                                "SteyrMag",
                                                "UZIMag",
                                                "LAWLauncher",
                                                "CarlGustavLauncher",
                                                "AALauncher",
                                                "MM1Magazine",
                                                "BerettaMag",
                                                "GlockMag",
                                                "PK",
                                                "BizonMag",
                                                "SVDDragunov",
                                                "AT4Launcher",
                                                "9K32Launcher",
                                                "RPGLauncher",
                                                "6G30Magazine",
                                                "TokarevMag",
                                                "SkorpionMag",
                                                "GrenadeLauncher",
                                                "M4",
                                                "Kozliceshell",
                                                "Kozliceball",
                                                "AK74",
                                                "AK47",
                                                "CZ75Mag"};

// Whether a pass fails, judged on the form before the press.
bool passFails(const FormRecord &f, std::span<const CheckGroup> groups)
{
    for (const CheckGroup &g : groups)
        for (int box = g.boxes.first; box <= g.boxes.last; ++box) {
            const auto &t = f.cantText[static_cast<std::size_t>(box)];
            if (f.wepValue[static_cast<std::size_t>(checkBoxOf(box))] == ticked && t != "0" && readCount(t) == 0)
                return true;
        }
    return false;
}

std::vector<std::string> splitLines(const std::string &file)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = file.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(file.substr(start, end - start));
    EXPECT_EQ(start, file.size()) << "file does not end with CR LF";
    return lines;
}

// Checks one section starting at lines[at]; returns the line after it.
std::size_t checkSection(const std::vector<std::string> &lines, std::size_t at, const std::string &title,
                         const std::vector<std::string> &order)
{
    EXPECT_EQ(lines.at(at), "class " + title);
    EXPECT_EQ(lines.at(at + 1), "{");
    at += 2;
    std::ptrdiff_t previous = -1;
    while (lines.at(at) != "};") {
        const std::string name = lines.at(at).substr(6);
        const auto position = std::find(order.begin(), order.end(), name) - order.begin();
        EXPECT_LT(position, std::ssize(order)) << name;
        EXPECT_GT(position, previous) << name << " out of order or twice";
        previous = position;
        EXPECT_EQ(lines.at(at + 1), "{");
        const std::string countLine = lines.at(at + 2);
        const std::string prefix = "         count = ";
        if (countLine.rfind(prefix, 0) != 0 || countLine.back() != ';') {
            ADD_FAILURE() << "count line: " << countLine;
            return lines.size();
        }
        const std::string count = countLine.substr(prefix.size(), countLine.size() - prefix.size() - 1);
        EXPECT_EQ(writeCount(readCount(count)), count);
        EXPECT_EQ(count.find_first_of("ni,"), std::string::npos) << count;
        EXPECT_EQ(lines.at(at + 3), "};");
        at += 4;
    }
    return at + 1;
}

TEST(Property, EveryRandomFormGivesAWellFormedFile)
{
    std::mt19937 rng(20261207);
    for (int round = 0; round < 3000; ++round) {
        FormRecord form = randomForm(rng);
        const FormRecord before = form;
        const bool weapons = !passFails(before, firstPassGroups);
        const bool magazines = !passFails(before, secondPassGroups);
        const std::string file = press(form);
        SCOPED_TRACE("round " + std::to_string(round));

        for (std::size_t n = 0; n < file.size(); ++n) {
            if (file[n] == '\r') {
                ASSERT_EQ(file.at(n + 1), '\n');
            }
            if (file[n] == '\n') {
                ASSERT_EQ(file.at(n - 1), '\r');
            }
        }
        const auto lines = splitLines(file);
        std::vector<int> flags;
        for (int n = 1; n <= 7; ++n)
            flags.push_back(before.value(chki(n)));
        const auto header = headerLines(toAnsi(before.intro), toAnsi(before.mission), flags);
        ASSERT_GE(lines.size(), header.size());
        EXPECT_TRUE(std::equal(header.begin(), header.end(), lines.begin()));

        std::size_t at = header.size();
        if (weapons)
            at = checkSection(lines, at, "Weapons", weaponOrder);
        if (magazines)
            at = checkSection(lines, at, "Magazines", magazineOrder);
        EXPECT_EQ(at, lines.size());

        EXPECT_LE(form.messages.size(), 9u);
        EXPECT_EQ(form.focusMoves.size(), form.messages.size());
        for (int s = 0; s < slotCount; ++s) {
            const auto i = static_cast<std::size_t>(s);
            if (form.cantText[i] != before.cantText[i]) {
                EXPECT_EQ(form.cantText[i], "");
                EXPECT_NE(std::find(form.focusMoves.begin(), form.focusMoves.end(), cant(s)), form.focusMoves.end());
            }
        }
        EXPECT_EQ(form.messages.empty(), weapons && magazines);
    }
}

} // namespace
} // namespace qor
