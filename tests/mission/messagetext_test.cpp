// Messages as a message box shows them: short ones untouched, long paths
// with both ends kept and a chance to wrap in every line's width.
#include "mission/messagetext.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace qor
{
namespace
{

const std::string zeroWidthSpace = "\xE2\x80\x8B";
const std::string ellipsis = "\xE2\x80\xA6";

std::string repeated(const std::string &piece, std::size_t times)
{
    std::string out;
    for (std::size_t n = 0; n < times; ++n)
        out += piece;
    return out;
}

std::string last(const std::string &text, std::size_t bytes)
{
    return text.substr(text.size() - bytes);
}

std::string withoutBreaks(std::string text)
{
    for (std::size_t at; (at = text.find(zeroWidthSpace)) != std::string::npos;)
        text.erase(at, zeroWidthSpace.size());
    return text;
}

// Code points in the longest run with no whitespace and no break chance.
std::size_t longestRun(const std::string &text)
{
    std::size_t longest = 0, run = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text.compare(at, zeroWidthSpace.size(), zeroWidthSpace) == 0 || text[at] == ' ') {
            run = 0;
            at += text[at] == ' ' ? 0 : zeroWidthSpace.size() - 1;
        } else if ((static_cast<unsigned char>(text[at]) & 0xC0) != 0x80) {
            longest = std::max(longest, ++run);
        }
    }
    return longest;
}

struct Fit {
    const char *name;
    std::string text;
    std::string shown; // without the break chances
};

const std::string longFolder = "/" + repeated("mission folder/", 340); // 5 KB, spaces in it
const std::string longName = "/" + repeated("a", 5000);                // 5 KB, no space at all
const std::string accented = repeated("\xC3\xA9", 1000);               // never cut inside a character

const Fit fits[] = {
    {"ShortMessage", "Cannot write /m/description.ext: Permission denied",
     "Cannot write /m/description.ext: Permission denied"},
    {"MarkupIsText", "Cannot write /<b>x</b>/x&lt;y: Is a directory", "Cannot write /<b>x</b>/x&lt;y: Is a directory"},
    {"LongPathWithSpaces", "Cannot write " + longFolder + "description.ext: Permission denied",
     ("Cannot write " + longFolder).substr(0, 400) + ellipsis +
         last(longFolder + "description.ext: Permission denied", 400)},
    {"LongPathWithoutSpaces", "Cannot write " + longName + "/description.ext: Permission denied",
     ("Cannot write " + longName).substr(0, 400) + ellipsis +
         last(longName + "/description.ext: Permission denied", 400)},
    {"TwoByteCharacters", accented, repeated("\xC3\xA9", 400) + ellipsis + repeated("\xC3\xA9", 400)},
};

class MessageBoxText : public ::testing::TestWithParam<Fit>
{
};

TEST_P(MessageBoxText, KeepsBothEndsAndWrapsWithinTheLine)
{
    const Fit &f = GetParam();
    const std::string got = fitForMessageBox(f.text);
    EXPECT_EQ(withoutBreaks(got), f.shown);
    EXPECT_LE(longestRun(got), messageLineLength);
    EXPECT_EQ(fitForMessageBox(got), got) << "fitted twice";
}

INSTANTIATE_TEST_SUITE_P(Messages, MessageBoxText, ::testing::ValuesIn(fits),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
} // namespace qor
