// Script names pressed into the file under the system's ANSI code page, which
// the locale chooses: ctest runs this once per locale (LC_ALL), and a system
// that ignored the locale fails here instead of testing one page three times.
#include "testutil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <windows.h>

namespace qor
{
namespace
{

using namespace test;

struct CodePageCase {
    const char *name;
    std::string typed; // UTF-8, as the window hands it over
    // The bytes between the quotes on a Russian, a Western and a Japanese system.
    std::string cp1251, cp1252, cp932;
};

const CodePageCase codePageCases[] = {
    {"Cyrillic", "\xD0\x96\xD1\x83\xD0\xBA", "\xC6\xF3\xEA", "???", "\x84\x47\x84\x85\x84\x7B"},
    // Best fit would write "cafe" where é is missing.
    {"Accented", "caf\xC3\xA9", "caf?", "caf\xE9", "caf?"},
    {"Euro",
     "\xE2\x82\xAC"
     "5",
     "\x88"
     "5",
     "\x80"
     "5",
     "?5"},
    {"Kana", "\xE3\x81\x82", "?", "?", "\x82\xA0"},
    // Best fit on a Japanese system turns the yen sign into a backslash.
    {"Yen", "\xC2\xA5", "?", "\xA5", "?"},
    // Beyond the BMP: one "?" per character, not one per UTF-16 half.
    {"SurrogatePairs", "\xF0\x9F\x98\x80\xF0\xA0\x80\x8Bx", "??x", "??x", "??x"},
};

void PrintTo(const CodePageCase &c, std::ostream *os)
{
    *os << c.name;
}

class CodePages : public ::testing::TestWithParam<CodePageCase>
{
};

TEST_P(CodePages, ScriptNamesAreWrittenInTheSystemsPage)
{
    const char *locale = std::getenv("LC_ALL");
    ASSERT_NE(locale, nullptr) << "run through ctest, which sets the locale";
    const CodePageCase &c = GetParam();
    const std::map<std::string, std::pair<UINT, const std::string *>> pages = {
        {"ru_RU.UTF-8", {1251, &c.cp1251}}, {"en_US.UTF-8", {1252, &c.cp1252}}, {"ja_JP.UTF-8", {932, &c.cp932}}};
    const auto page = pages.find(locale);
    ASSERT_NE(page, pages.end()) << locale;
    ASSERT_EQ(GetACP(), page->second.first);
    const std::string &bytes = *page->second.second;

    FormRecord form;
    form.intro = c.typed;
    form.mission = "m";
    const std::string line = "\r\nonloadintro=\"" + bytes + "\"\r\n";
    EXPECT_EQ(press(form).substr(0, line.size()), line);
}

INSTANTIATE_TEST_SUITE_P(Table, CodePages, ::testing::ValuesIn(codePageCases),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace qor
