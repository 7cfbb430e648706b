// Inputs far beyond anything typed by hand: megabyte script names of every
// kind of character, counts of a hundred thousand digits. The press must
// finish with the exact file, in bounded memory.
#include "press/checks.h"
#include "testutil.h"

#include <gtest/gtest.h>

#include <iostream>
#if defined(__unix__) || defined(__APPLE__)
#include <sys/resource.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
#define QOR_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QOR_ASAN 1
#endif
#endif

namespace qor
{
namespace
{

using namespace test;

constexpr std::size_t mebibyte = 1 << 20;

std::string repeat(const std::string &unit, std::size_t atLeast)
{
    std::string out;
    out.reserve(atLeast + unit.size());
    while (out.size() < atLeast)
        out += unit;
    return out;
}

// Peak resident memory where the system reports it; 0 elsewhere.
long maxRssKiB()
{
#if defined(__unix__) || defined(__APPLE__)
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
#else
    return 0;
#endif
}

struct NameCase {
    const char *name;
    std::string typed; // UTF-8, one repeating unit
    std::string bytes; // that unit in the file
};

const NameCase nameCases[] = {
    {"Ascii", "intro_01.sqs ", "intro_01.sqs "},
    {"InTheCodePage", "\xC3\xA9\xE2\x82\xAC\xC5\xA1\xC3\x9F", "\xE9\x80\x9A\xDF"},  // é € š ß
    {"OutsideTheCodePage", "\xC5\x9B\xD0\x96\xF0\x9F\x98\x80\xE4\xB8\xAD", "????"}, // ś Ж 😀 中
    {"ControlCharacters", std::string("\x01\t\x1F\x7F\x00", 5) + "\xC2\x85",
     std::string("\x01\t\x1F\x7F\x00?", 6)}, // NEL is not in it
    {"DoubleQuotes", "\"\"x\"", "\"\"x\""},
    {"BrokenUtf8", "\xFF\xC3x\xE2\x82", "??x?"},
    {"EverythingMixed", "a\xC3\xA9\xC5\x9B\"\x01\xF0\x9F\x98\x80\xFE", "a\xE9?\"\x01??"},
};

void PrintTo(const NameCase &c, std::ostream *os)
{
    *os << c.name;
}

class HugeScriptNames : public ::testing::TestWithParam<NameCase>
{
};

TEST_P(HugeScriptNames, AreWrittenWholeAndExact)
{
    const std::size_t units = mebibyte / GetParam().typed.size() + 1;
    FormRecord form;
    form.intro = repeat(GetParam().typed, units * GetParam().typed.size());
    form.mission = form.intro + "!";
    tick(form, "HK", "5");
    const std::string ansi = repeat(GetParam().bytes, units * GetParam().bytes.size());

    const long before = maxRssKiB();
    const std::string file = press(form);
    const long grownMiB = (maxRssKiB() - before) / 1024;

    ASSERT_GE(form.intro.size(), mebibyte);
    EXPECT_TRUE(form.messages.empty());
    const std::string expected =
        crlf(concat({headerLines(ansi, ansi + "!"), section("Weapons", {entry("HK", "5")}), section("Magazines", {})}));
    ASSERT_EQ(file.size(), expected.size());
    EXPECT_TRUE(file == expected) << "first difference at byte "
                                  << std::mismatch(file.begin(), file.end(), expected.begin()).first - file.begin();
    std::cout << GetParam().name << ": " << file.size() << " bytes, peak memory grew by " << grownMiB << " MiB\n";
#ifndef QOR_ASAN // the sanitizer's quarantine keeps freed blocks
    EXPECT_LT(grownMiB, 64) << "a few copies of the name, not one per character";
#endif
}

INSTANTIATE_TEST_SUITE_P(Kinds, HugeScriptNames, ::testing::ValuesIn(nameCases),
                         [](const auto &info) { return std::string(info.param.name); });

struct CountCase {
    const char *name;
    std::string typed;
    const char *count; // nullptr: "not a number"
};

const std::size_t manyDigits = 100000;

const CountCase countCases[] = {
    {"BeyondAnyDouble", "1" + std::string(manyDigits - 1, '0'), nullptr},
    {"BelowTheSmallestDouble", "0." + std::string(manyDigits - 2, '0') + "1", nullptr},
    {"LeadingZeros", std::string(manyDigits - 1, '0') + "7", "7"},
    {"LongFraction", "3." + std::string(manyDigits - 2, '3'), "3.33333333333333"},
    {"NinesScaledDown", std::string(manyDigits, '9') + "e-99990", "10000000000"},
    {"ExponentOfManyDigits", "2e-" + std::string(manyDigits, '0') + "1", "0.2"},
    {"HexadecimalWithLeadingZeros", "&H" + std::string(manyDigits - 2, '0') + "FF", "255"},
    {"HexadecimalBeyond32Bits", "&H" + std::string(manyDigits, 'F'), nullptr},
    {"HundredThousandBlanks", std::string(manyDigits / 2, ' ') + "1" + std::string(manyDigits / 2, '\t') + "2\n", "12"},
};

void PrintTo(const CountCase &c, std::ostream *os)
{
    *os << c.name;
}

class HugeCounts : public ::testing::TestWithParam<CountCase>
{
};

TEST_P(HugeCounts, ReadAsTheirValueOrAsNotANumber)
{
    FormRecord form;
    tick(form, "M16", GetParam().typed);
    form.counts[ammoBoxOf("M16")] = GetParam().typed; // the M16's ammo box
    const std::string file = press(form);
    if (GetParam().count) {
        EXPECT_TRUE(form.messages.empty());
        EXPECT_EQ(file, crlf(concat({headerLines(), section("Weapons", {entry("M16", GetParam().count)}),
                                     section("Magazines", {entry("M16", GetParam().count)})})));
    } else {
        EXPECT_EQ(form.messages, (std::vector<std::string>{notANumber, notANumber}));
        EXPECT_EQ(form.counts[slotOf("M16")], "");
        EXPECT_EQ(form.counts[ammoBoxOf("M16")], "");
        EXPECT_EQ(file, crlf(headerLines()));
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, HugeCounts, ::testing::ValuesIn(countCases),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace qor
